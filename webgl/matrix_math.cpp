// Matrix products and factors for the model-view and projection stacks.
#include "webgl/matrix_math.h"

#include <cmath>

namespace {

constexpr double PI = 3.14159265358979323846;

float &At(Matrix &m, int row, int column) {
    return m.m[column * 4 + row];
}

float At(const Matrix &m, int row, int column) {
    return m.m[column * 4 + row];
}

// A rotation about one coordinate axis is written directly, exactly, as
// Mesa does; any other axis goes through the general formula.
bool AxisRotation(float x, float y, float z, float s, float c, Matrix &r) {
    int first = 0; // the plane of the rotation: (first, second)
    int second = 0;
    float sign = 0.0f;
    if (x == 0.0f && y == 0.0f && z != 0.0f)
        first = 0, second = 1, sign = z < 0.0f ? -1.0f : 1.0f;
    else if (x == 0.0f && z == 0.0f && y != 0.0f)
        first = 2, second = 0, sign = y < 0.0f ? -1.0f : 1.0f;
    else if (y == 0.0f && z == 0.0f && x != 0.0f)
        first = 1, second = 2, sign = x < 0.0f ? -1.0f : 1.0f;
    else
        return false;
    At(r, first, first) = c;
    At(r, second, second) = c;
    At(r, first, second) = -sign * s;
    At(r, second, first) = sign * s;
    return true;
}

} // namespace

Matrix IdentityMatrix() {
    Matrix m{};
    for (int i = 0; i < 4; i++)
        At(m, i, i) = 1.0f;
    return m;
}

Matrix MultiplyMatrices(const Matrix &a, const Matrix &b) {
    Matrix p;
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 4; j++)
            At(p, i, j) = At(a, i, 0) * At(b, 0, j) + At(a, i, 1) * At(b, 1, j) +
                          At(a, i, 2) * At(b, 2, j) + At(a, i, 3) * At(b, 3, j);
    return p;
}

bool RotationMatrix(float angle, float x, float y, float z, Matrix &rotation) {
    Matrix r = IdentityMatrix();
    float s = static_cast<float>(std::sin(angle * PI / 180.0));
    float c = static_cast<float>(std::cos(angle * PI / 180.0));
    if (!AxisRotation(x, y, z, s, c, r)) {
        float length = std::sqrt(x * x + y * y + z * z);
        if (length <= 1.0e-4f)
            return false;
        x /= length, y /= length, z /= length;
        float xx = x * x, yy = y * y, zz = z * z;
        float xy = x * y, yz = y * z, zx = z * x;
        float xs = x * s, ys = y * s, zs = z * s;
        float oneC = 1.0f - c;
        At(r, 0, 0) = (oneC * xx) + c;
        At(r, 0, 1) = (oneC * xy) - zs;
        At(r, 0, 2) = (oneC * zx) + ys;
        At(r, 1, 0) = (oneC * xy) + zs;
        At(r, 1, 1) = (oneC * yy) + c;
        At(r, 1, 2) = (oneC * yz) - xs;
        At(r, 2, 0) = (oneC * zx) - ys;
        At(r, 2, 1) = (oneC * yz) + xs;
        At(r, 2, 2) = (oneC * zz) + c;
    }
    rotation = r;
    return true;
}

Matrix PerspectiveMatrix(double fovy, double aspect, double zNear, double zFar) {
    double radians = fovy / 2 * PI / 180;
    double deltaZ = zFar - zNear;
    double cotangent = std::cos(radians) / std::sin(radians);
    Matrix m = IdentityMatrix();
    At(m, 0, 0) = static_cast<float>(cotangent / aspect);
    At(m, 1, 1) = static_cast<float>(cotangent);
    At(m, 2, 2) = static_cast<float>(-(zFar + zNear) / deltaZ);
    At(m, 3, 2) = -1.0f;
    At(m, 2, 3) = static_cast<float>(-2 * zNear * zFar / deltaZ);
    At(m, 3, 3) = 0.0f;
    return m;
}

void TranslateMatrix(Matrix &m, float x, float y, float z) {
    for (int row = 0; row < 4; row++)
        At(m, row, 3) = At(m, row, 0) * x + At(m, row, 1) * y + At(m, row, 2) * z + At(m, row, 3);
}

void ScaleMatrix(Matrix &m, float x, float y, float z) {
    for (int row = 0; row < 4; row++) {
        At(m, row, 0) *= x;
        At(m, row, 1) *= y;
        At(m, row, 2) *= z;
    }
}

// Cofactors over the determinant.
bool InvertMatrix(const Matrix &matrix, Matrix &inverse) {
    const float *m = matrix.m;
    float inv[16];
    inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] +
             m[9] * m[7] * m[14] + m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] -
             m[8] * m[7] * m[14] - m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] +
             m[8] * m[7] * m[13] + m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] -
              m[8] * m[6] * m[13] - m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] -
             m[9] * m[3] * m[14] - m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] +
             m[8] * m[3] * m[14] + m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] -
             m[8] * m[3] * m[13] - m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] +
              m[8] * m[2] * m[13] + m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
             m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] -
             m[4] * m[3] * m[14] - m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] +
              m[4] * m[3] * m[13] + m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] -
              m[4] * m[2] * m[13] - m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] -
             m[5] * m[3] * m[10] - m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
             m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
              m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] +
              m[8] * m[1] * m[6] - m[8] * m[2] * m[5];
    float determinant = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
    if (determinant == 0.0f)
        return false;
    for (int i = 0; i < 16; i++)
        inverse.m[i] = inv[i] / determinant;
    return true;
}

void TransformPoint(const Matrix &m, const float in[4], float out[4]) {
    for (int row = 0; row < 4; row++)
        out[row] = At(m, row, 0) * in[0] + At(m, row, 1) * in[1] + At(m, row, 2) * in[2] +
                   At(m, row, 3) * in[3];
}
