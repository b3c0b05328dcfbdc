// Command-line parsing for the capture tool (getopt_long).
#include "capture/options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <getopt.h>
#include <strings.h>
#include <sys/stat.h>

namespace {

bool Fail(std::string &error, const std::string &reason) {
    error = reason;
    return false;
}

ParseResult FailParse(std::string &error, const std::string &reason) {
    error = reason;
    return ParseResult::Error;
}

// A WAV file's sizes are 32-bit: 1,000,000 frames (5 h 33 min) of 16-bit stereo
// at 44100 Hz stay well inside them.
constexpr int64_t MAX_FRAMES = 1000000;
constexpr int64_t MAX_START = 9000000; // 50 hours, within the motion variables' resolution

bool ParseWhole(const char *text, int64_t low, int64_t high, int64_t &value) {
    errno = 0;
    char *end = nullptr;
    long long parsed = strtoll(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

bool ParseSeconds(const char *text, int64_t &frames) {
    // Decimal digits and a point only: strtod alone would take hex, "inf",
    // exponents and leading blanks.
    if (strspn(text, "0123456789.") != strlen(text))
        return false;
    errno = 0;
    char *end = nullptr;
    double seconds = strtod(text, &end);
    if (errno != 0 || end == text || *end != '\0' || !(seconds > 0) ||
        seconds > double(MAX_FRAMES) / CAPTURE_FPS)
        return false;
    long long count = std::llround(seconds * CAPTURE_FPS);
    if (count < 1)
        return false;
    frames = count;
    return true;
}

std::string Range(int64_t low, int64_t high) {
    return " (a whole number from " + std::to_string(low) + " to " + std::to_string(high) + ")";
}

struct Parsed {
    bool framesGiven = false;
    bool secondsGiven = false;
};

// One option; false with error set when its argument is unusable.
bool TakeOption(int code, const char *argument, CaptureOptions &options, Parsed &parsed,
                std::string &error) {
    int64_t value = 0;
    std::string given = argument ? std::string(" '") + argument + "'" : "";
    switch (code) {
    case 'f':
        if (!ParseWhole(argument, 1, MAX_FRAMES, value))
            return Fail(error, "--frames" + given + ": not a frame count" + Range(1, MAX_FRAMES));
        options.frames = value;
        parsed.framesGiven = true;
        return true;
    case 's':
        if (!ParseSeconds(argument, options.frames))
            return Fail(error, "--seconds" + given + ": not a decimal duration above 0 and up to " +
                                   std::to_string(MAX_FRAMES / CAPTURE_FPS) + " s");
        parsed.secondsGiven = true;
        return true;
    case 'b':
        if (!ParseWhole(argument, 0, MAX_START, options.start))
            return Fail(error, "--start" + given + ": not a frame number" + Range(0, MAX_START));
        return true;
    case 'k':
        if (!ParseWhole(argument, 1, MAX_CAPTURE_SCALE, value))
            return Fail(error, "--scale" + given + ": not a scale" + Range(1, MAX_CAPTURE_SCALE));
        options.scale = static_cast<int>(value);
        return true;
    case 'r':
        if (!ParseWhole(argument, 0, UINT32_MAX, value))
            return Fail(error, "--seed" + given + ": not a seed" + Range(0, UINT32_MAX));
        options.seed = static_cast<uint32_t>(value);
        return true;
    case 'm':
        if (*argument == '\0')
            return Fail(error, "--manifest: the file name is empty");
        options.manifestPath = argument;
        return true;
    case 'l':
        options.lossless = true;
        return true;
    case 't':
        options.timings = true;
        return true;
    }
    return false;
}

bool IsDirectory(const std::string &path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// True when the last path component has an extension of one to five letters
// (a name that looks like a file of some type, not a directory).
bool HasFileExtension(const std::string &path) {
    size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0 || name.size() - dot - 1 > 5 || dot + 1 == name.size())
        return false;
    for (size_t i = dot + 1; i < name.size(); ++i)
        if (!isalpha(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

bool ClassifyOutput(CaptureOptions &options, std::string &error) {
    if (options.output.empty()) {
        if (options.manifestPath.empty())
            return Fail(error, "no OUTPUT given (a directory, or a .mp4, .mkv or .webm file)");
        options.outputKind = OutputKind::None;
        return true;
    }
    options.container = VideoContainerOf(options.output);
    if (!options.container.empty()) {
        options.outputKind = OutputKind::Video;
        if (options.lossless && options.container == "webm")
            return Fail(error,
                        options.output +
                            ": WebM cannot hold lossless audio; use a .mkv file with --lossless");
        return true;
    }
    if (!IsDirectory(options.output) && HasFileExtension(options.output))
        return Fail(error,
                    options.output +
                        ": not a video type this tool writes (.mp4, .mkv, .webm) nor a directory");
    options.outputKind = OutputKind::Directory;
    return true;
}

} // namespace

std::string VideoContainerOf(const std::string &path) {
    for (const char *type : {"mp4", "mkv", "webm"}) {
        std::string suffix = std::string(".") + type;
        if (path.size() > suffix.size() &&
            strcasecmp(path.c_str() + path.size() - suffix.size(), suffix.c_str()) == 0)
            return type;
    }
    return "";
}

ParseResult ParseCaptureOptions(int argc, char **argv, CaptureOptions &options,
                                std::string &error) {
    static const option LONG_OPTIONS[] = {{"frames", required_argument, nullptr, 'f'},
                                          {"seconds", required_argument, nullptr, 's'},
                                          {"start", required_argument, nullptr, 'b'},
                                          {"scale", required_argument, nullptr, 'k'},
                                          {"seed", required_argument, nullptr, 'r'},
                                          {"manifest", required_argument, nullptr, 'm'},
                                          {"lossless", no_argument, nullptr, 'l'},
                                          {"timings", no_argument, nullptr, 't'},
                                          {"help", no_argument, nullptr, 'h'},
                                          {"version", no_argument, nullptr, 'V'},
                                          {nullptr, 0, nullptr, 0}};
    options = CaptureOptions{};
    Parsed parsed;
    optind = 0; // full re-initialisation, so the parser can run more than once
    opterr = 0;
    int code;
    while ((code = getopt_long(argc, argv, ":h", LONG_OPTIONS, nullptr)) != -1) {
        if (code == 'h')
            return ParseResult::Help;
        if (code == 'V')
            return ParseResult::Version;
        if (code == ':')
            return FailParse(error, std::string(argv[optind - 1]) + ": missing its argument");
        if (code == '?')
            return FailParse(error, optopt != 0
                                        ? std::string("unknown option -") + char(optopt)
                                        : std::string("unknown option ") + argv[optind - 1]);
        if (!TakeOption(code, optarg, options, parsed, error))
            return ParseResult::Error;
    }
    if (parsed.framesGiven && parsed.secondsGiven)
        return FailParse(error, "--frames and --seconds exclude each other");
    if (argc - optind > 1)
        return error = std::string("more than one OUTPUT given: '") + argv[optind + 1] + "'",
               ParseResult::Error;
    if (argc - optind == 1)
        options.output = argv[optind];
    if (!ClassifyOutput(options, error))
        return ParseResult::Error;
    return ParseResult::Run;
}

std::string CaptureUsage(const char *program) {
    return std::string("Usage: ") + program +
           " [options] OUTPUT\n"
           "Renders the presentation frame by frame, exactly as it runs at 50 frames per\n"
           "second, with no display, and writes its pictures and sound.\n"
           "\n"
           "OUTPUT\n"
           "  DIR                a directory (created if missing): frame-NNNNNN.png, one per\n"
           "                     frame, numbered by frame, and audio.wav (44100 Hz stereo)\n"
           "  FILE.mp4|.mkv|.webm  a video made by ffmpeg (which must be installed), with\n"
           "                     the sound muxed in and a chapter at each scene change\n"
           "  (none)             allowed with --manifest: only the manifest is written\n"
           "\n"
           "Options\n"
           "  --frames N         write N frames (default 3750, i.e. 75 s: every scene and\n"
           "                     the whole scroller)\n"
           "  --seconds S        write S seconds, a decimal number such as 12.5 (S x 50\n"
           "                     frames, rounded); not with --frames\n"
           "  --start F          first frame to write (frames count from 0, 20 ms each);\n"
           "                     earlier frames are still played, just not written\n"
           "  --scale K          render at K x 640 x K x 480 (1 to 8): the same picture, sharper\n"
           "  --seed N           the random seed and first reading of the virtual clock\n"
           "                     (default 0); the same seed gives the same capture\n"
           "  --manifest FILE    one line per written frame: FRAME CRC32 SCENES, the CRC-32\n"
           "                     of the frame's RGB bytes (rows top first) in hex and, in hex,\n"
           "                     the effects drawn: 01 panels, 02 wipe, 04 title, 08 sliding\n"
           "                     picture, 10 tunnel, 20 lit object, 40 scroller\n"
           "  --lossless         lossless video for archiving (.mkv: FFV1 and FLAC; .mp4:\n"
           "                     lossless RGB H.264 and ALAC; not possible in .webm)\n"
           "  --timings          print where the time went (rendering, read-back, sound,\n"
           "                     writing) when the capture ends\n"
           "  --help             this text\n"
           "  --version          the version of the tool\n"
           "\n"
           "Timing: frame F shows the picture at F x 20 ms; its sound is the 882 sample frames\n"
           "that follow, rendered after the picture, so a music event inside them shows from\n"
           "frame F + 1 on. Ctrl+C stops after the current frame and finishes the output\n"
           "cleanly (exit status 130); a second Ctrl+C stops at once and says what it kept.\n"
           "Exit status 0 on success, 1 on failure, 2 on a usage error.\n"
           "\n"
           "Example: " +
           program + " --seconds 60 brumlakor.mp4\n";
}
