// Effects: the scenes, each an immediate-mode drawing procedure that steps its
// own motion variables (the timeline holds them, driver/timeline.h). Effects
// speak only OpenGL (and MusicPlay via the binding).
#pragma once

#include <GL/gl.h>
#include <cstdint>

// Material emissions of the lit object's outer and inner copy: four floats
// each, allocated and filled by start-up.
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
