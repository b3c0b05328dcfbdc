#include "tools/module/render.h"

#include <xmp.h>

#include <algorithm>
#include <cmath>

bool RenderModule(const std::vector<uint8_t> &module, double seconds, Rendering &out,
                  std::string &error, int solo) {
    xmp_context ctx = xmp_create_context();
    if (!ctx) {
        error = "no libxmp context";
        return false;
    }
    std::vector<uint8_t> copy = module; // libxmp takes a non-const pointer
    if (xmp_load_module_from_memory(ctx, copy.data(), static_cast<long>(copy.size())) != 0) {
        xmp_free_context(ctx);
        error = "libxmp cannot load the module";
        return false;
    }
    bool ok = xmp_start_player(ctx, RENDER_RATE, 0) == 0;
    ok = ok && xmp_set_player(ctx, XMP_PLAYER_INTERP, XMP_INTERP_SPLINE) == 0;
    if (!ok)
        error = "libxmp cannot start the player";
    for (int ch = 0; ok && solo >= 0 && ch < XMP_MAX_CHANNELS; ch++)
        xmp_channel_mute(ctx, ch, ch == solo ? 0 : 1);
    size_t limit = seconds > 0 ? static_cast<size_t>(seconds * RENDER_RATE) : SIZE_MAX;
    while (ok && out.pcm.size() / 2 < limit && xmp_play_frame(ctx) == 0) {
        xmp_frame_info info;
        xmp_get_frame_info(ctx, &info);
        if (seconds <= 0 && info.loop_count > 0)
            break;
        out.ticks.push_back({info.pos, info.row, info.loop_count, out.pcm.size() / 2});
        const auto *samples = static_cast<const int16_t *>(info.buffer);
        out.pcm.insert(out.pcm.end(), samples, samples + info.buffer_size / 2);
    }
    xmp_end_player(ctx);
    xmp_release_module(ctx);
    xmp_free_context(ctx);
    return ok;
}

Level MeasureLevel(const std::vector<int16_t> &pcm, size_t from, size_t to) {
    double peak = 0.0, sum = 0.0;
    size_t count = 0;
    for (size_t i = 2 * from; i < 2 * to && i < pcm.size(); i++) {
        double v = pcm[i] / 32768.0;
        peak = std::max(peak, std::fabs(v));
        sum += v * v;
        count++;
    }
    auto db = [](double x) { return x > 0 ? 20.0 * std::log10(x) : -200.0; };
    return {db(peak), db(count ? std::sqrt(sum / static_cast<double>(count)) : 0.0)};
}
