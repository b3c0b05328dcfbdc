// brumlakor-capture: renders the presentation frame by frame, with no display,
// to PNG frames and WAV sound or to a video.
#include "capture/capture.h"
#include "capture/options.h"
#include "driver/version.h"

#include <cstdio>

int main(int argc, char **argv) {
    CaptureOptions options;
    std::string error;
    switch (ParseCaptureOptions(argc, argv, options, error)) {
    case ParseResult::Help:
        fputs(CaptureUsage("brumlakor-capture").c_str(), stdout);
        return 0;
    case ParseResult::Version:
        puts("brumlakor-capture " BRUMLAKOR_VERSION);
        return 0;
    case ParseResult::Error:
        fprintf(stderr, "brumlakor-capture: %s\nTry 'brumlakor-capture --help'.\n", error.c_str());
        return 2;
    case ParseResult::Run:
        break;
    }
    return RunCapture(options);
}
