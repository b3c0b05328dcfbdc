// The model-view and projection stacks and the calls that change them,
// gluPerspective among them: it multiplies into whichever matrix is selected,
// so the demo's perspective lives in the model-view matrix.
#include <GL/glu.h>

#include "webgl/fixed_state.h"

Matrix modelView = IdentityMatrix();
Matrix projection = IdentityMatrix();
uint32_t matrixVersion = 1;

namespace {

// OpenGL's minimum depths: 32 model-view matrices, 2 projection matrices.
constexpr size_t MODELVIEW_DEPTH = 32;
constexpr size_t PROJECTION_DEPTH = 2;

std::vector<Matrix> modelViewSaved;
std::vector<Matrix> projectionSaved;
bool projectionSelected = false;

Matrix &Selected() {
    return projectionSelected ? projection : modelView;
}

void Changed() {
    matrixVersion++;
}

void MultiplySelected(const Matrix &factor) {
    Selected() = MultiplyMatrices(Selected(), factor);
    Changed();
}

} // namespace

extern "C" {

void glMatrixMode(GLenum mode) {
    if (mode == GL_MODELVIEW || mode == GL_PROJECTION)
        projectionSelected = mode == GL_PROJECTION;
}

void glLoadIdentity() {
    Selected() = IdentityMatrix();
    Changed();
}

// A push beyond the stack's depth or a pop of its last matrix is an error in
// OpenGL that changes nothing; so here.
void glPushMatrix() {
    std::vector<Matrix> &saved = projectionSelected ? projectionSaved : modelViewSaved;
    size_t depth = projectionSelected ? PROJECTION_DEPTH : MODELVIEW_DEPTH;
    if (saved.size() + 1 < depth)
        saved.push_back(Selected());
}

void glPopMatrix() {
    std::vector<Matrix> &saved = projectionSelected ? projectionSaved : modelViewSaved;
    if (saved.empty())
        return;
    Selected() = saved.back();
    saved.pop_back();
    Changed();
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    TranslateMatrix(Selected(), x, y, z);
    Changed();
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    Matrix rotation;
    if (RotationMatrix(angle, x, y, z, rotation))
        MultiplySelected(rotation);
}

void glScalef(GLfloat x, GLfloat y, GLfloat z) {
    ScaleMatrix(Selected(), x, y, z);
    Changed();
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    // GLU leaves the matrix alone where the factor would divide by zero.
    if (zFar == zNear || aspect == 0.0 || fovy == 0.0)
        return;
    MultiplySelected(PerspectiveMatrix(fovy, aspect, zNear, zFar));
}

} // extern "C"
