// Scenes of a capture and the chapters that mark their changes in a video.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The effect blocks a frame drew, as in the manifest: the six scene bits plus
// the scroller.
constexpr uint32_t BLOCK_SCROLLER = 0x40;

struct Chapter {
    int64_t start; // first frame, counted from the first written frame
    std::string title;
};

struct ChapterList {
    std::vector<Chapter> chapters;
    bool wipeSeen = false; // the title after the wipe is the second word
};

// The scene a frame belongs to, named after its leading effect.
std::string SceneTitle(uint32_t blocks, bool afterWipe);
// Adds frame (counted from the first written frame) and opens a chapter when
// its scene differs from the previous frame's.
void ChapterAddFrame(ChapterList &list, int64_t frame, uint32_t blocks);
// The chapters as an ffmpeg metadata file, times in frames (1/50 s); the last
// chapter ends at frameCount.
std::string FfmetadataText(const ChapterList &list, int64_t frameCount, const std::string &title);
