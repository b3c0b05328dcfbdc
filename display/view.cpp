// The platform-neutral part of the display: the viewport hook, the fixed
// rendering state, the per-frame view and its presentation.
#include <GL/gl.h>
#include <GL/glu.h>

#include "display/display.h"
#include "display/display_backend.h"

float *lightPosition = nullptr;

intptr_t ViewportOnResize(void *, uint32_t message, uintptr_t, intptr_t) {
    if (message != MESSAGE_SIZE)
        return NOT_HANDLED;
    glViewport(0, 0, ClientAreaWidth(), ClientAreaHeight());
    return 1;
}

void SetFixedRenderingState() {
    // The whole drawable: 640 x 480 in the demo's window, more where the
    // drawable is scaled (HiDPI screens, enlarged capture).
    glViewport(0, 0, ClientAreaWidth(), ClientAreaHeight());
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    // Model-view is still the identity here, so the light stays at this
    // point in eye space for the whole run.
    glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
    glEnable(GL_LIGHT0);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
}

void ResetView() {
    // The perspective goes into the model-view matrix; the projection matrix
    // stays the identity. Lighting and fog depend on that.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluPerspective(90.0f, 1.333f, 0.1f, 1000.0f);
}

void PresentFrame() {
    glFlush();
    SwapFrame(mainWindow);
}
