// Command-line parsing: values, ranges, exclusions and OUTPUT kinds.
#include "capture/options.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

struct Parse {
    ParseResult result;
    CaptureOptions options;
    std::string error;
};

Parse ParseWords(std::initializer_list<const char *> words) {
    std::vector<std::string> storage = {"brumlakor-capture"};
    storage.insert(storage.end(), words.begin(), words.end());
    std::vector<char *> argv;
    for (std::string &word : storage)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    Parse parse;
    parse.result = ParseCaptureOptions(static_cast<int>(storage.size()), argv.data(), parse.options,
                                       parse.error);
    return parse;
}

TEST(CaptureOptions, DefaultsCoverTheWholeShowFromFrameZero) {
    Parse parse = ParseWords({"out"});
    ASSERT_EQ(parse.result, ParseResult::Run) << parse.error;
    EXPECT_EQ(parse.options.frames, 3750);
    EXPECT_EQ(parse.options.start, 0);
    EXPECT_EQ(parse.options.scale, 1);
    EXPECT_EQ(parse.options.seed, 0u);
    EXPECT_EQ(parse.options.outputKind, OutputKind::Directory);
}

TEST(CaptureOptions, SecondsBecomeWholeFrames) {
    EXPECT_EQ(ParseWords({"--seconds", "60", "out"}).options.frames, 3000);
    EXPECT_EQ(ParseWords({"--seconds", "1.25", "out"}).options.frames, 63); // 62.5 rounds up
    EXPECT_EQ(ParseWords({"--seconds=0.02", "out"}).options.frames, 1);
    EXPECT_EQ(ParseWords({"--seconds", "0.005", "out"}).result, ParseResult::Error); // rounds to 0
    EXPECT_EQ(ParseWords({"--seconds", "nan", "out"}).result, ParseResult::Error);
    EXPECT_EQ(ParseWords({"--seconds", "-3", "out"}).result, ParseResult::Error);
}

TEST(CaptureOptions, NumbersOutsideTheirRangeNameTheOption) {
    for (auto words : {std::initializer_list<const char *>{"--scale", "0", "out"},
                       {"--scale", "9", "out"},
                       {"--scale", "2x", "out"},
                       {"--frames", "0", "out"},
                       {"--start", "-1", "out"},
                       {"--seed", "4294967296", "out"}}) {
        Parse parse = ParseWords(words);
        EXPECT_EQ(parse.result, ParseResult::Error);
        EXPECT_NE(parse.error.find(*words.begin()), std::string::npos) << parse.error;
    }
    Parse top = ParseWords({"--seed", "4294967295", "--scale", "8", "--start", "7", "out"});
    ASSERT_EQ(top.result, ParseResult::Run) << top.error;
    EXPECT_EQ(top.options.seed, 4294967295u);
    EXPECT_EQ(top.options.scale, 8);
    EXPECT_EQ(top.options.start, 7);
}

TEST(CaptureOptions, FramesAndSecondsExcludeEachOther) {
    Parse parse = ParseWords({"--frames", "10", "--seconds", "1", "out"});
    EXPECT_EQ(parse.result, ParseResult::Error);
    EXPECT_NE(parse.error.find("exclude"), std::string::npos);
}

TEST(CaptureOptions, UnknownOptionsAndMissingArgumentsAreNamed) {
    Parse unknown = ParseWords({"--frame-rate", "25", "out"});
    EXPECT_EQ(unknown.result, ParseResult::Error);
    EXPECT_NE(unknown.error.find("--frame-rate"), std::string::npos) << unknown.error;
    Parse missing = ParseWords({"out", "--frames"});
    EXPECT_EQ(missing.result, ParseResult::Error);
    EXPECT_NE(missing.error.find("--frames"), std::string::npos) << missing.error;
    EXPECT_NE(missing.error.find("missing"), std::string::npos) << missing.error;
}

TEST(CaptureOptions, ParsesAgainWithFreshState) {
    // getopt keeps its position between calls unless reset.
    ASSERT_EQ(ParseWords({"--frames", "5", "a"}).options.frames, 5);
    Parse second = ParseWords({"--frames", "6", "b"});
    EXPECT_EQ(second.options.frames, 6);
    EXPECT_EQ(second.options.output, "b");
}

TEST(CaptureOptions, OutputKindFollowsTheName) {
    Parse video = ParseWords({"Run.MP4"});
    EXPECT_EQ(video.options.outputKind, OutputKind::Video);
    EXPECT_EQ(video.options.container, "mp4");
    EXPECT_EQ(ParseWords({"x.mkv"}).options.container, "mkv");
    EXPECT_EQ(ParseWords({"x.webm"}).options.container, "webm");
    EXPECT_EQ(ParseWords({"frames-out"}).options.outputKind, OutputKind::Directory);
    EXPECT_EQ(ParseWords({"/tmp"}).options.outputKind, OutputKind::Directory);

    Parse avi = ParseWords({"clip.avi"});
    EXPECT_EQ(avi.result, ParseResult::Error);
    EXPECT_NE(avi.error.find("clip.avi"), std::string::npos);
    EXPECT_EQ(ParseWords({}).result, ParseResult::Error);
    EXPECT_EQ(ParseWords({"a", "b"}).result, ParseResult::Error);

    Parse manifestOnly = ParseWords({"--manifest", "m.txt"});
    ASSERT_EQ(manifestOnly.result, ParseResult::Run) << manifestOnly.error;
    EXPECT_EQ(manifestOnly.options.outputKind, OutputKind::None);
}

TEST(CaptureOptions, LosslessWebmIsRefused) {
    EXPECT_EQ(ParseWords({"--lossless", "x.webm"}).result, ParseResult::Error);
    Parse mkv = ParseWords({"--lossless", "x.mkv"});
    ASSERT_EQ(mkv.result, ParseResult::Run);
    EXPECT_TRUE(mkv.options.lossless);
}

TEST(CaptureOptions, HelpDocumentsEveryOption) {
    EXPECT_EQ(ParseWords({"--help"}).result, ParseResult::Help);
    EXPECT_EQ(ParseWords({"--frames", "x", "--version"}).result, ParseResult::Error);
    EXPECT_EQ(ParseWords({"--version", "--frames", "x"}).result, ParseResult::Version);
    std::string usage = CaptureUsage("brumlakor-capture");
    for (const char *name : {"--frames", "--seconds", "--start", "--scale", "--seed", "--manifest",
                             "--lossless", "--timings", "--help", "--version", "OUTPUT"})
        EXPECT_NE(usage.find(name), std::string::npos) << name;
}

} // namespace
