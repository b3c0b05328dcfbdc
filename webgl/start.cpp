// The layer's start: entry points, programs, the vertex buffer.
#include "webgl/fixed_function.h"
#include "webgl/fixed_state.h"
#include "webgl/shaders.h"

bool StartFixedFunction(ProcAddressFunction procAddress, std::string &error) {
    const char *missing = nullptr;
    if (!LoadEs2(procAddress, missing)) {
        error = std::string("no OpenGL ES 2.0 entry point ") + missing;
        return false;
    }
    if (!BuildPrograms(error))
        return false;
    StartDrawing();
    return true;
}
