// Effects: the scenes, each an immediate-mode drawing procedure that steps its
// own motion variables (the timeline holds them, driver/timeline.h). Besides
// OpenGL they use only the texture bank, the timeline's steps, the runtime's
// Random and MusicPlay through the binding.
#pragma once

#include <GL/gl.h>
#include <cstdint>

// Material emissions of the lit object's outer and inner copy: start-up points
// them at the driver's fixed arrays (five floats, of which GL reads four).
extern float *outerEmission;
extern float *innerEmission;

extern GLuint shapeList;
extern const char scrollMessage[];

// Procedural mesh.
float DegToRad(float degrees);
void CompileShapeList();

// Text and scroller.
void DrawGlyph(uint8_t code);
void DrawString(const char *text);
void DrawScroller();

// Ring tunnel.
void DrawRing();
void DrawTunnel();

// Title picture and strip wipe.
void DrawTitlePicture();
void DrawStripWipe();

// Flying panels, sliding picture, lit object.
void DrawPanel();
void DrawFlyingPanels();
void DrawSlidingPicture();
void DrawLitObject();
