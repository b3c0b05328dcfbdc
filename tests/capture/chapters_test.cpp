// Chapters at scene changes and their ffmpeg metadata text; the progress line.
#include "capture/chapters.h"
#include "capture/progress.h"
#include "driver/timeline.h"

#include <gtest/gtest.h>

namespace {

// The opening as the timeline runs it: 34 title frames, the frame in which
// the title hands over to the wipe, 50 more wipe frames, 100 frames of the
// second word, then the panels with the scroller and the music's scenes.
ChapterList Opening() {
    ChapterList list;
    int64_t frame = 0;
    auto add = [&](int count, uint32_t blocks) {
        for (int i = 0; i < count; ++i)
            ChapterAddFrame(list, frame++, blocks);
    };
    add(34, SCENE_TITLE);
    add(1, SCENE_TITLE | SCENE_WIPE);
    add(50, SCENE_WIPE);
    add(99, SCENE_TITLE);
    add(1, SCENE_TITLE | BLOCK_SCROLLER); // the scroller starts in the last title frame's step
    add(10, SCENE_PANELS | BLOCK_SCROLLER);
    add(10, SCENE_SLIDE | BLOCK_SCROLLER);
    add(10, SCENE_OBJECT | BLOCK_SCROLLER);
    add(10, SCENE_OBJECT | SCENE_TUNNEL | BLOCK_SCROLLER);
    return list;
}

TEST(CaptureChapters, OneChapterPerSceneAtItsFirstFrame) {
    ChapterList list = Opening();
    std::vector<std::pair<int64_t, std::string>> got;
    for (const Chapter &chapter : list.chapters)
        got.emplace_back(chapter.start, chapter.title);
    std::vector<std::pair<int64_t, std::string>> expected = {{0, "Title"},
                                                             {34, "Wipe"},
                                                             {85, "Second title"},
                                                             {185, "Panels"},
                                                             {195, "Sliding picture"},
                                                             {205, "Lit object"},
                                                             {215, "Tunnel"}};
    EXPECT_EQ(got, expected);
}

TEST(CaptureChapters, MetadataTextEndsEachChapterAtTheNext) {
    ChapterList list;
    ChapterAddFrame(list, 0, SCENE_OBJECT);
    ChapterAddFrame(list, 1, SCENE_OBJECT | SCENE_TUNNEL);
    std::string text = FfmetadataText(list, 3, "A=B;C#D\\E");
    EXPECT_EQ(text, ";FFMETADATA1\n"
                    "title=A\\=B\\;C\\#D\\\\E\n"
                    "[CHAPTER]\nTIMEBASE=1/50\nSTART=0\nEND=1\ntitle=Lit object\n"
                    "[CHAPTER]\nTIMEBASE=1/50\nSTART=1\nEND=3\ntitle=Tunnel\n");
}

TEST(CaptureProgress, ShowsFramesSpeedAndTimeLeft) {
    // 100 of 400 frames (2 s of show) in 1 s of wall time: twice real time,
    // 300 frames = 6 s of show left = 3 s of wall time.
    std::string text = ProgressText(100, 400, 1.0);
    EXPECT_NE(text.find("100/400 frames"), std::string::npos) << text;
    EXPECT_NE(text.find("2.00x real time"), std::string::npos) << text;
    EXPECT_NE(text.find("0:03 left"), std::string::npos) << text;
    EXPECT_NE(text.find("[#######       "), std::string::npos) << text;
    EXPECT_EQ(ProgressText(0, 400, 0.0).find("real time"), std::string::npos);
}

} // namespace
