// The scroller (and tunnel) exactly as their plain algorithms read, without
// the shortcuts of the effects library: the oracle for the pixel comparisons
// and the "before" of the benchmark.
#pragma once

void DrawScrollerReference();
void DrawTunnelReference();
// The frame's effect blocks with the reference procedures in place of the
// optimised ones.
void DrawFrameEffectsReference();
