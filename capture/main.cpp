// brumlakor-capture: renders the presentation frame by frame, with no display,
// to PNG frames and WAV sound or to a video.
#include "capture/capture.h"
#include "capture/options.h"
#include "driver/version.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// An answer on stdout; a failure when it does not get there (a full disk,
// stdout closed).
int Answer(const std::string &text) {
    if (fputs(text.c_str(), stdout) >= 0 && fflush(stdout) == 0)
        return 0;
    fprintf(stderr, "brumlakor-capture: standard output: %s\n", strerror(errno));
    return 1;
}

} // namespace

int main(int argc, char **argv) {
    CaptureOptions options;
    std::string error;
    switch (ParseCaptureOptions(argc, argv, options, error)) {
    case ParseResult::Help:
        return Answer(CaptureUsage("brumlakor-capture"));
    case ParseResult::Version:
        return Answer("brumlakor-capture " BRUMLAKOR_VERSION "\n");
    case ParseResult::Error:
        fprintf(stderr, "brumlakor-capture: %s\nTry 'brumlakor-capture --help'.\n", error.c_str());
        return 2;
    case ParseResult::Run:
        break;
    }
    return RunCapture(options);
}
