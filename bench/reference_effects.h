// The scroller exactly as its plain algorithm reads, without the shortcuts of
// the effects library: the "before" of the benchmark.
#pragma once

void DrawScrollerReference();
// The frame's effect blocks with the reference scroller in place of the
// optimised one.
void DrawFrameEffectsReference();
