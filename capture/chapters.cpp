// Chapters at scene changes, written as an ffmpeg metadata file.
#include "capture/chapters.h"

#include "capture/options.h"
#include "driver/timeline.h"

namespace {

// ffmpeg's metadata syntax reserves '=', ';', '#', '\' and the line break.
std::string Escape(const std::string &text) {
    std::string escaped;
    for (char c : text) {
        if (c == '=' || c == ';' || c == '#' || c == '\\' || c == '\n')
            escaped += '\\';
        escaped += c;
    }
    return escaped;
}

} // namespace

std::string SceneTitle(uint32_t blocks, bool afterWipe) {
    // Later scenes draw over earlier ones' leftovers (the scroller runs from the
    // panels on), so the most advanced effect names the scene.
    if (blocks & SCENE_TUNNEL)
        return "Tunnel";
    if (blocks & SCENE_OBJECT)
        return "Lit object";
    if (blocks & SCENE_SLIDE)
        return "Sliding picture";
    if (blocks & SCENE_PANELS)
        return "Panels";
    if (blocks & SCENE_WIPE)
        return "Wipe";
    if (blocks & SCENE_TITLE)
        return afterWipe ? "Second title" : "Title";
    return "Black";
}

void ChapterAddFrame(ChapterList &list, int64_t frame, uint32_t blocks) {
    std::string title = SceneTitle(blocks, list.wipeSeen);
    if (blocks & SCENE_WIPE)
        list.wipeSeen = true;
    if (list.chapters.empty() || list.chapters.back().title != title)
        list.chapters.push_back({frame, title});
}

std::string FfmetadataText(const ChapterList &list, int64_t frameCount, const std::string &title) {
    std::string text = ";FFMETADATA1\ntitle=" + Escape(title) + "\n";
    for (size_t i = 0; i < list.chapters.size(); ++i) {
        int64_t end = i + 1 < list.chapters.size() ? list.chapters[i + 1].start : frameCount;
        text += "[CHAPTER]\nTIMEBASE=1/" + std::to_string(CAPTURE_FPS) +
                "\nSTART=" + std::to_string(list.chapters[i].start) +
                "\nEND=" + std::to_string(end) + "\ntitle=" + Escape(list.chapters[i].title) + "\n";
    }
    return text;
}
