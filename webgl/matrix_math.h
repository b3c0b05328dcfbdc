// 4 x 4 single-precision matrices in OpenGL's column-major order, with the
// products and factors that OpenGL 1.1 and GLU define, computed in the same
// order of operations as Mesa's fixed-function pipeline so that the layer's
// matrices come out as the desktop driver's.
#pragma once

struct Matrix {
    float m[16]; // m[column * 4 + row]
};

Matrix IdentityMatrix();
// a x b.
Matrix MultiplyMatrices(const Matrix &a, const Matrix &b);
// The factor glRotatef multiplies in: angle in degrees about (x, y, z).
// Returns false (and leaves rotation alone) for an axis too short to use.
bool RotationMatrix(float angle, float x, float y, float z, Matrix &rotation);
// gluPerspective's factor, built in double precision and stored as float.
Matrix PerspectiveMatrix(double fovy, double aspect, double zNear, double zFar);
// m x translation(x, y, z) and m x scale(x, y, z), in place.
void TranslateMatrix(Matrix &m, float x, float y, float z);
void ScaleMatrix(Matrix &m, float x, float y, float z);
// The full 4 x 4 inverse; false for a singular matrix.
bool InvertMatrix(const Matrix &m, Matrix &inverse);
// m x (x, y, z, w).
void TransformPoint(const Matrix &m, const float in[4], float out[4]);
