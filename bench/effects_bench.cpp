// Frame time of every scene of the presentation, drawn headless at 640 x 480
// on the software renderer, from the clear to the end of the present (the
// renderer is waited for, so the figure is the whole frame's cost). Each scene
// runs with the effects library as built ("optimised") and with the plain
// drawing the shortcuts are measured against ("plain").
//
//   effects_bench [frames per scene] [directory for one PNG per scene]
#include <GL/gl.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <time.h>
#include <vector>

#include "capture/png.h"
#include "display/display.h"
#include "display/textures.h"
#include "driver/demo.h"
#include "driver/timeline.h"
#include "effects/effects.h"
#include "reference_effects.h"
#include "tests/effects/gl_harness.h"

namespace {

struct Scene {
    const char *name;
    int32_t mask;
    bool scroller;
};

// The timeline's states, as the demo shows them.
const Scene SCENES[] = {
    {"title", SCENE_TITLE, false},
    {"wipe", SCENE_WIPE, false},
    {"panels", SCENE_PANELS, true},
    {"slide", SCENE_SLIDE, true},
    {"object", SCENE_OBJECT, true},
    {"final", SCENE_OBJECT | SCENE_TUNNEL, true},
    // The final scene's three effects one by one: where its time goes.
    {"-tunnel", SCENE_TUNNEL, false},
    {"-scroll", 0, true},
    {"-litobj", SCENE_OBJECT, false},
};

// Motion state from which every run of a scene starts: the scroller's text
// across the screen, panels and picture in view, the second word held.
void PrepareScene(const Scene &scene) {
    InitSceneVariables();
    // No effect left texturing on from the scene before.
    glDisable(GL_TEXTURE_2D);
    sceneMask.store(scene.mask);
    scrollerOn = scene.scroller ? 1 : 0;
    scrollPos = 20.0f;
    panelOffsetA = 1.0f;
    panelOffsetB = 1.5f;
    panelOffsetC = 1.0f;
    slidePhase = -1.0f;
    fadeAlpha = 1.0f;
}

// Keeps the opening's counters from ending the scene while it is timed.
void HoldScene(const Scene &scene) {
    titlePhase = 50;
    wipeCountdown = 1000;
    sceneMask.store(scene.mask);
}

struct Figures {
    double median, p99, cpu; // wall clock median and 99th percentile; CPU median
};

// CPU time of all the process's threads (the renderer's included): on a busy
// machine a steadier measure of the work than the wall clock.
double CpuMilliseconds() {
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

Figures TimeScene(const Scene &scene, void (*drawEffects)(), int frames) {
    PrepareScene(scene);
    std::vector<double> times, cpu;
    for (int frame = 0; frame < frames; frame++) {
        HoldScene(scene);
        if (frame % 25 == 0)
            pulse.store(0.3f);
        double cpuStart = CpuMilliseconds();
        auto start = std::chrono::steady_clock::now();
        BeginFrame();
        drawEffects();
        PresentFrame();
        glFinish();
        auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        cpu.push_back(CpuMilliseconds() - cpuStart);
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times[std::min(times.size() - 1, times.size() * 99 / 100)],
            Median(cpu)};
}

void SaveScene(const Scene &scene, const std::string &directory) {
    PrepareScene(scene);
    for (int frame = 0; frame < 10; frame++) {
        HoldScene(scene);
        BeginFrame();
        RunEffectBlocks();
    }
    Image frame = ReadBackBuffer();
    std::string error;
    if (!WritePng(directory + "/scene_" + scene.name + ".png", frame.rgb.data(), frame.width,
                  frame.height, error))
        std::fprintf(stderr, "effects_bench: %s\n", error.c_str());
}

} // namespace

int main(int argc, char **argv) {
    int frames = argc > 1 ? std::atoi(argv[1]) : 300;
    if (frames < 1 || !OpenEffectsDisplay()) {
        std::fprintf(stderr, "effects_bench: no GL context (or a bad frame count)\n");
        return 1;
    }
    CreateTextures();
    CompileShapeList();
    std::printf("%s\n", reinterpret_cast<const char *>(glGetString(GL_RENDERER)));
    std::printf("%-8s | optimised: %9s %9s %9s | plain: %9s %9s %9s\n", "scene", "median", "p99",
                "cpu med", "median", "p99", "cpu med");
    for (const Scene &scene : SCENES) {
        Figures plain = TimeScene(scene, DrawFrameEffectsReference, frames);
        Figures optimised = TimeScene(scene, RunEffectBlocks, frames);
        std::printf("%-8s |            %9.2f %9.2f %9.2f |        %9.2f %9.2f %9.2f\n", scene.name,
                    optimised.median, optimised.p99, optimised.cpu, plain.median, plain.p99,
                    plain.cpu);
        if (argc > 2)
            SaveScene(scene, argv[2]);
    }
    return 0;
}
