// The shader sources and their build. GLSL ES 1.00, as WebGL 1 takes it.
//
// Vertex stage: positions through the model-view (and projection) matrix;
// per-vertex lighting as fixed-function OpenGL computes it, in the
// coordinates the model-view matrix gives, which for the demo include the
// perspective: normals through the inverse transpose of the whole matrix,
// no renormalisation (GL_NORMALIZE is off), a positional light, the
// half-vector of an infinite viewer, colours clamped. Fog distance is |z| of
// those coordinates, as Mesa measures it by default.
//
// Fragment stage: GL_MODULATE with the texel (GL_ALPHA texels give alpha
// only), GL_CLAMP's border under GL_LINEAR magnification, GL_EXP fog toward
// the initial black fog colour at the initial density 1.
#include "webgl/shaders.h"

#include "webgl/es2.h"

Program programs[PROGRAM_VARIANTS];

namespace {

const char *const VERTEX_SOURCE = R"(
attribute vec4 position;
attribute vec4 color;
attribute vec2 texCoord;
attribute vec3 normal;
uniform mat4 modelView;
uniform mat4 modelViewProjection;
varying vec4 fragmentColor;
varying vec2 fragmentTexCoord;
varying float fogDistance;
#ifdef LIGHTING
uniform mat3 normalMatrix;
uniform vec4 lightPosition;  // eye coordinates over w, w 1; or a direction, w 0
uniform vec4 sceneColor;     // emission + ambient terms; alpha: the diffuse alpha
uniform vec3 diffuseProduct;
uniform vec3 specularProduct;
uniform float shininess;

vec4 LitColor(vec4 eye) {
    vec3 n = normalMatrix * normal;
    vec3 toLight = lightPosition.xyz - eye.xyz * lightPosition.w;
    toLight *= inversesqrt(dot(toLight, toLight));
    float diffuse = dot(n, toLight);
    vec3 lit = sceneColor.rgb + max(diffuse, 0.0) * diffuseProduct;
    if (diffuse > 0.0 && dot(specularProduct, specularProduct) > 0.0) {
        vec3 halfVector = normalize(toLight + vec3(0.0, 0.0, 1.0));
        lit += pow(max(dot(n, halfVector), 0.0), shininess) * specularProduct;
    }
    return clamp(vec4(lit, sceneColor.a), 0.0, 1.0);
}
#endif

void main() {
    vec4 eye = modelView * position;
    gl_Position = modelViewProjection * position;
#ifdef LIGHTING
    fragmentColor = LitColor(eye);
#else
    fragmentColor = clamp(color, 0.0, 1.0);
#endif
    fragmentTexCoord = texCoord;
    fogDistance = abs(eye.z);
}
)";

const char *const FRAGMENT_SOURCE = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
varying vec4 fragmentColor;
varying vec2 fragmentTexCoord;
varying float fogDistance;
const float FOG_DENSITY = 1.0;
const float LN2 = 0.69314718;
const vec3 FOG_COLOR = vec3(0.0);
#ifdef TEXTURE
uniform sampler2D image;
uniform float alphaImage;  // 1: a GL_ALPHA texture
uniform vec2 imageSize;    // level 0, in texels
uniform vec2 borderAxes;   // 1 where GL_CLAMP reaches the border under GL_LINEAR

// GL_CLAMP's linear filter takes the border (0) for the taps beyond the
// edge: the edge-clamped sample, weighted by the share of the taps inside.
// Magnified fragments only: minified ones filter GL_NEAREST_MIPMAP_LINEAR,
// which never reaches the border.
float BorderWeight() {
#ifdef GL_OES_standard_derivatives
    vec2 texels = fragmentTexCoord * imageSize;
    vec2 dx = dFdx(texels);
    vec2 dy = dFdy(texels);
    if (max(dot(dx, dx), dot(dy, dy)) > 1.0)
        return 1.0;
    vec2 s = clamp(fragmentTexCoord, 0.0, 1.0);
    vec2 inside = clamp(min(s, 1.0 - s) * imageSize + 0.5, 0.0, 1.0);
    inside = mix(vec2(1.0), inside, borderAxes);
    return inside.x * inside.y;
#else
    return 1.0;
#endif
}

vec4 Texel() {
    vec4 texel = texture2D(image, fragmentTexCoord);
    float weight = BorderWeight();
    if (alphaImage > 0.5)
        return vec4(1.0, 1.0, 1.0, texel.a * weight);
    return vec4(texel.rgb * weight, texel.a);
}
#endif

void main() {
    vec4 color = fragmentColor;
#ifdef TEXTURE
    color *= Texel();
#endif
#ifdef FOG
    float f = clamp(exp2(-fogDistance * (FOG_DENSITY / LN2)), 0.0, 1.0);
    color.rgb = mix(FOG_COLOR, color.rgb, f);
#endif
    gl_FragColor = color;
}
)";

std::string Defines(unsigned features) {
    std::string defines;
    if (features & TEXTURE_FEATURE)
        defines += "#define TEXTURE\n";
    if (features & FOG_FEATURE)
        defines += "#define FOG\n";
    if (features & LIGHTING_FEATURE)
        defines += "#define LIGHTING\n";
    return defines;
}

GLuint Compile(GLenum stage, const std::string &source, std::string &error) {
    GLuint shader = es2.CreateShader(stage);
    const char *text = source.c_str();
    es2.ShaderSource(shader, 1, &text, nullptr);
    es2.CompileShader(shader);
    GLint compiled = 0;
    es2.GetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled)
        return shader;
    char log[1024] = "";
    es2.GetShaderInfoLog(shader, sizeof log, nullptr, log);
    error = std::string(stage == GL_VERTEX_SHADER ? "vertex" : "fragment") +
            " shader does not compile: " + log;
    return 0;
}

void FindUniforms(Program &p) {
    auto find = [&p](const char *name) { return es2.GetUniformLocation(p.name, name); };
    p.modelView = find("modelView");
    p.modelViewProjection = find("modelViewProjection");
    p.normalMatrix = find("normalMatrix");
    p.lightPosition = find("lightPosition");
    p.sceneColor = find("sceneColor");
    p.diffuseProduct = find("diffuseProduct");
    p.specularProduct = find("specularProduct");
    p.shininess = find("shininess");
    p.alphaImage = find("alphaImage");
    p.imageSize = find("imageSize");
    p.borderAxes = find("borderAxes");
}

bool Build(unsigned features, Program &p, std::string &error) {
    // The extension line must precede everything but other directives.
    std::string fragmentHead = "#ifdef GL_OES_standard_derivatives\n"
                               "#extension GL_OES_standard_derivatives : enable\n"
                               "#endif\n";
    GLuint vertex = Compile(GL_VERTEX_SHADER, Defines(features) + VERTEX_SOURCE, error);
    GLuint fragment =
        Compile(GL_FRAGMENT_SHADER, fragmentHead + Defines(features) + FRAGMENT_SOURCE, error);
    if (vertex == 0 || fragment == 0)
        return false;
    p.name = es2.CreateProgram();
    es2.AttachShader(p.name, vertex);
    es2.AttachShader(p.name, fragment);
    es2.BindAttribLocation(p.name, POSITION_ATTRIBUTE, "position");
    es2.BindAttribLocation(p.name, COLOR_ATTRIBUTE, "color");
    es2.BindAttribLocation(p.name, TEXCOORD_ATTRIBUTE, "texCoord");
    es2.BindAttribLocation(p.name, NORMAL_ATTRIBUTE, "normal");
    es2.LinkProgram(p.name);
    es2.DeleteShader(vertex);
    es2.DeleteShader(fragment);
    GLint linked = 0;
    es2.GetProgramiv(p.name, GL_LINK_STATUS, &linked);
    if (!linked) {
        char log[1024] = "";
        es2.GetProgramInfoLog(p.name, sizeof log, nullptr, log);
        error = std::string("shader program does not link: ") + log;
        return false;
    }
    FindUniforms(p);
    return true;
}

} // namespace

bool BuildPrograms(std::string &error) {
    for (unsigned features = 0; features < PROGRAM_VARIANTS; features++)
        if (!Build(features, programs[features], error))
            return false;
    return true;
}
