// Display lists of vertices: glNewList records the triangles of every
// primitive up to glEndList into one buffer, uploaded once; glCallList draws
// that buffer with the state current at the call. A list keeps positions and
// normals, and colours and texture coordinates only if it set them; other
// calls made while a list is open take effect at once instead of being kept
// (the demo's list holds vertex data only).
#include "webgl/es2.h"
#include "webgl/fixed_state.h"

namespace {

struct List {
    GLuint buffer = 0;
    int count = 0;
    bool colors = false;
    bool texCoords = false;
    Vertex last{}; // its last vertex: the current values a replay leaves
};

std::vector<List> lists; // list n is lists[n - 1]
List *recording = nullptr;
std::vector<Vertex> recorded;
uint32_t colorChangesAtStart = 0;
uint32_t texCoordChangesAtStart = 0;

List *Find(GLuint name) {
    return name >= 1 && name <= lists.size() ? &lists[name - 1] : nullptr;
}

} // namespace

bool ListRecording() {
    return recording != nullptr;
}

void RecordTriangles(const std::vector<Vertex> &triangles) {
    recorded.insert(recorded.end(), triangles.begin(), triangles.end());
}

extern "C" {

GLuint glGenLists(GLsizei range) {
    if (range <= 0)
        return 0;
    GLuint first = static_cast<GLuint>(lists.size()) + 1;
    lists.resize(lists.size() + static_cast<size_t>(range));
    return first;
}

void glNewList(GLuint name, GLenum mode) {
    if (recording != nullptr || mode != GL_COMPILE || Find(name) == nullptr)
        return;
    recording = Find(name);
    recorded.clear();
    colorChangesAtStart = colorChanges;
    texCoordChangesAtStart = texCoordChanges;
}

void glEndList() {
    if (recording == nullptr)
        return;
    List &list = *recording;
    recording = nullptr;
    list.count = static_cast<int>(recorded.size());
    list.colors = colorChanges != colorChangesAtStart;
    list.texCoords = texCoordChanges != texCoordChangesAtStart;
    if (list.count == 0)
        return;
    list.last = recorded.back();
    if (list.buffer == 0)
        es2.GenBuffers(1, &list.buffer);
    es2.BindBuffer(GL_ARRAY_BUFFER, list.buffer);
    es2.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(recorded.size() * sizeof(Vertex)),
                   recorded.data(), GL_STATIC_DRAW);
    recorded.clear();
    recorded.shrink_to_fit();
}

void glCallList(GLuint name) {
    List *list = Find(name);
    if (list == nullptr || list == recording || list->count == 0)
        return;
    DrawTriangleBuffer(list->buffer, list->count, list->colors, list->texCoords);
    const Vertex &last = list->last;
    for (int i = 0; i < 3; i++)
        currentNormal[i] = last.normal[i];
    if (list->colors)
        for (int i = 0; i < 4; i++)
            currentColor[i] = last.color[i];
    if (list->texCoords)
        currentTexCoord[0] = last.texCoord[0], currentTexCoord[1] = last.texCoord[1];
}

} // extern "C"
