// Texture bank: the six textures made once from the embedded images.
#pragma once

#include <GL/gl.h>

extern GLuint fontTexture;
extern GLuint ringTexture;
extern GLuint panelTexture;
extern GLuint titleTexture1;
extern GLuint titleTexture2;
extern GLuint pictureTexture;

// Needs the current GL context; leaves pictureTexture bound and unpack alignment 1.
void CreateTextures();
