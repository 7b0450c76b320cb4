#include "gfx/draw.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_map>

#include "base/frame_clock.h"
#include "gfx/gl.h"
#include "gfx/texture.h"
#include "platform/platform.h"

namespace {

// One corner of a quad in the vertex stream.
struct Vertex {
    float x, y, z;
    float u, v;
    std::uint8_t r, g, b, a;
};
static_assert(sizeof(Vertex) == 24);

// How an image is filtered for a quad: as uploaded; drawn at its own size or larger (no minification filter); or
// texel for texel, on whole pixels (nearest filtering then gives the same picture at a fraction of the cost).
enum class Filter : std::uint8_t { Own, Magnified, Exact };

// How a run of quads is drawn. Quads with the same key in a row share one draw call.
struct BatchKey {
    GLuint object = 0;              // texture object (the white one for an image that never loaded)
    std::uint32_t image = 0;        // the texture name, for its filters; 0 for the white texture
    bool blend = true;
    bool alphaTest = true;          // fragments of alpha 0 are dropped
    bool depthTest = true;
    Filter filter = Filter::Own;
    BlendMode blendMode = BlendMode::Alpha;
    DepthFunc depth = DepthFunc::Less;
    bool operator==(const BatchKey&) const = default;
};

struct Batch {
    BatchKey key;
    std::size_t firstQuad = 0, quads = 0;
    float nearest = -1e9f, farthest = 1e9f;     // the largest and smallest z of its quads
};

// An image filtered once to the size it is drawn at, held in a texture of that size, so that it draws texel for
// texel. The filtering is the image's own (the same shader draws it into the texture as onto the screen), so the
// picture is the one a direct draw gives. Made once the same image is asked for at the same size in several frames
// running: while the zoom eases sizes change every frame, and an animation shows each of its frames for a few
// frames only; those are drawn directly.
struct SizedFrame {
    GLuint source = 0;              // the image's texture object it was made from
    GLuint object = 0;              // 0 while it has only been asked for
    std::uint64_t lastUsed = 0;
    std::uint32_t framesRunning = 0;
    std::size_t bytes = 0;
    bool failed = false;
};
constexpr std::uint32_t SizedFrameAfter = 8;                          // frames running before it is made
constexpr std::uint64_t SizedFrameKeptFrames = 30;                    // unused this long, it goes
constexpr std::size_t SizedFrameLargest = std::size_t(1920) * 1080 * 4;
constexpr std::size_t SizedFrameBytes = std::size_t(16) << 20;        // at most this much is kept

// The GL objects of the current context; made by SetupGlState, gone with the context.
struct Renderer {
    bool made = false;
    GLuint programs[2] = {0, 0};    // [0]: every fragment kept; [1]: fragments of alpha 0 dropped
    GLint scaleUniform[2] = {-1, -1};
    GLuint vertexBuffer = 0, indexBuffer = 0;
    std::size_t vertexBufferBytes = 0;      // the vertex buffer's storage
    GLuint white = 0;               // 1 x 1 white: what an image that never loaded draws with (the quad's colour)
    GLuint framebuffer = 0, sizedBuffer = 0;
    std::int32_t width = 0, height = 0;
    std::unordered_map<std::uint64_t, SizedFrame> sized;
    std::size_t sizedBytes = 0;
    std::vector<GLuint> retiredSized;       // deleted once the quads queued before are drawn
    std::uint64_t frame = 0;        // frames presented with this context
};

// What the next quad is drawn with, and the quads queued since the last submission. Kept for the whole run.
struct DrawState {
    std::uint32_t image = 0;        // the bound image's texture name (its GL record is looked up per quad: uploads
                                    // and releases between a bind and a quad move or clear it)
    std::uint8_t r = 255, g = 255, b = 255, a = 255;
    DepthFunc depth = DepthFunc::Less;
    BlendMode blend = BlendMode::Alpha;
    std::vector<Vertex> vertices;
    std::vector<Batch> batches;
    bool shortcuts = true;          // SetDrawShortcuts
    double lastPresent = 0;         // clock reading at the last swap
    Renderer gl;
} state;

constexpr double PresentSlack = 0.0003;             // a swap may come this much before its time
constexpr std::size_t MaxQuadsPerDraw = 16384;      // 65,536 vertices: what 16-bit indices reach

enum Attribute : GLuint { PositionAttribute = 0, TexCoordAttribute = 1, ColorAttribute = 2 };

// Pixels to clip space: y grows downwards, z in -128..128 maps to depth with larger z nearer the viewer.
const char* VertexShader = R"(
attribute vec3 position;
attribute vec2 texCoord;
attribute vec4 color;
uniform vec2 scale;
varying vec2 uv;
varying vec4 tint;
void main() {
    uv = texCoord;
    tint = color;
    gl_Position = vec4(position.x * scale.x - 1.0, 1.0 - position.y * scale.y, -position.z / 128.0, 1.0);
}
)";

const char* FragmentShader = R"(
#ifdef GL_ES
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
#endif
uniform sampler2D image;
varying vec2 uv;
varying vec4 tint;
void main() {
    vec4 colour = texture2D(image, uv) * tint;
#ifdef ALPHA_TEST
    if (colour.a <= 0.0) discard;
#endif
    gl_FragColor = colour;
}
)";

// Says on standard error why a shader or a program did not build (its status and log, read by the getters given).
template <typename GetStatus, typename GetLog>
void ReportFailure(GLuint object, GLenum status, GetStatus getStatus, GetLog getLog, const char* what) {
    GLint ok = 0;
    getStatus(object, status, &ok);
    if (ok) return;
    char log[1024] = {};
    getLog(object, sizeof log, nullptr, log);
    std::fprintf(stderr, "Error: %s: %s\n", what, log);
}

GLuint CompileShader(GLenum kind, const char* prefix, const char* source) {
    const GLuint shader = glCreateShader(kind);
    const char* parts[] = {prefix, source};
    glShaderSource(shader, 2, parts, nullptr);
    glCompileShader(shader);
    ReportFailure(shader, GL_COMPILE_STATUS, glGetShaderiv, glGetShaderInfoLog, "compiling a shader");
    return shader;
}

GLuint LinkProgram(bool alphaTest) {
    const GLuint program = glCreateProgram();
    const GLuint vertex = CompileShader(GL_VERTEX_SHADER, "", VertexShader);
    const GLuint fragment =
        CompileShader(GL_FRAGMENT_SHADER, alphaTest ? "#define ALPHA_TEST 1\n" : "", FragmentShader);
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glBindAttribLocation(program, PositionAttribute, "position");
    glBindAttribLocation(program, TexCoordAttribute, "texCoord");
    glBindAttribLocation(program, ColorAttribute, "color");
    glLinkProgram(program);
    ReportFailure(program, GL_LINK_STATUS, glGetProgramiv, glGetProgramInfoLog, "linking the shaders");
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "image"), 0);
    return program;
}

void MakeRenderer() {
    Renderer& gl = state.gl;
    if (gl.made) ForgetGlTextures();    // a new context: the old one's objects are gone with it
    gl = Renderer{};
    for (int i = 0; i < 2; ++i) {
        gl.programs[i] = LinkProgram(i == 1);
        gl.scaleUniform[i] = glGetUniformLocation(gl.programs[i], "scale");
    }
    // Nothing else is compiled: the compiler's tables (a few MiB in a software renderer) can go.
    glReleaseShaderCompiler();
    glGenBuffers(1, &gl.vertexBuffer);
    glGenBuffers(1, &gl.indexBuffer);
    // Every quad is two triangles of its four corners, in the corners' order, so they keep the quad's winding.
    std::vector<GLushort> indices(MaxQuadsPerDraw * 6);
    for (std::size_t q = 0; q < MaxQuadsPerDraw; ++q) {
        const GLushort first = static_cast<GLushort>(q * 4);
        const GLushort corners[6] = {first, GLushort(first + 1), GLushort(first + 2),
                                     first, GLushort(first + 2), GLushort(first + 3)};
        std::copy(corners, corners + 6, indices.begin() + static_cast<std::ptrdiff_t>(q * 6));
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, gl.indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(GLushort)), indices.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, gl.vertexBuffer);
    glEnableVertexAttribArray(PositionAttribute);
    glEnableVertexAttribArray(TexCoordAttribute);
    glEnableVertexAttribArray(ColorAttribute);
    glGenFramebuffers(1, &gl.framebuffer);
    glGenBuffers(1, &gl.sizedBuffer);
    glGenTextures(1, &gl.white);
    glBindTexture(GL_TEXTURE_2D, gl.white);
    const std::uint8_t white[4] = {255, 255, 255, 255};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl.made = true;
}

GLenum GlDepthFunc(DepthFunc func) {
    switch (func) {
    case DepthFunc::LessEqual: return GL_LEQUAL;
    case DepthFunc::Equal: return GL_EQUAL;
    case DepthFunc::Always: return GL_ALWAYS;
    case DepthFunc::Less: break;
    }
    return GL_LESS;
}

// The filters of the bound image for a quad. A mipmapped image drawn at its own size or larger needs no minification
// filter, and one drawn texel for texel none at all: a software renderer then skips the level of detail of every
// pixel, or the filtering.
void SetFilters(TextureGpu& texture, Filter filter) {
    const bool nearest = texture.nearest || filter == Filter::Exact;
    const GLenum magnify = nearest ? GL_NEAREST : GL_LINEAR;
    GLenum minify = magnify;
    if (texture.mipmapped && filter == Filter::Own)
        minify = texture.nearest ? GL_NEAREST_MIPMAP_NEAREST : GL_LINEAR_MIPMAP_LINEAR;
    if (texture.magFilterSet != magnify) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GLint(magnify));
        texture.magFilterSet = magnify;
    }
    if (texture.minFilterSet != minify) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GLint(minify));
        texture.minFilterSet = minify;
    }
}

// The GL state of one batch; each piece is set only when it changes.
struct Applied {
    int program = -1;
    int blend = -1;             // 0 off, 1 alpha, 2 premultiplied
    int depthTest = -1;
    GLenum depth = 0;
    GLuint object = 0;
};

void Apply(const BatchKey& key, Applied& applied) {
    const int program = key.alphaTest ? 1 : 0;
    if (applied.program != program) {
        glUseProgram(state.gl.programs[program]);
        applied.program = program;
    }
    const int blend = !key.blend ? 0 : key.blendMode == BlendMode::Premultiplied ? 2 : 1;
    if (applied.blend != blend) {
        if (blend == 0) glDisable(GL_BLEND);
        else glEnable(GL_BLEND);
        if (blend == 1) glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        if (blend == 2) glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        applied.blend = blend;
    }
    if (applied.depthTest != int(key.depthTest)) {
        if (key.depthTest) glEnable(GL_DEPTH_TEST);
        else glDisable(GL_DEPTH_TEST);
        applied.depthTest = key.depthTest;
    }
    const GLenum depth = GlDepthFunc(key.depth);
    if (applied.depth != depth) {
        glDepthFunc(depth);
        applied.depth = depth;
    }
    if (applied.object != key.object) {
        glBindTexture(GL_TEXTURE_2D, key.object);
        applied.object = key.object;
    }
    if (TextureGpu* texture = key.image != 0 ? FindTextureGpu(key.image) : nullptr;
        texture && texture->object == key.object)
        SetFilters(*texture, key.filter);
}

void PointAttributes(std::size_t firstQuad) {
    const std::size_t base = firstQuad * 4 * sizeof(Vertex);
    auto at = [base](std::size_t offset) { return reinterpret_cast<const void*>(base + offset); };
    glVertexAttribPointer(PositionAttribute, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex), at(offsetof(Vertex, x)));
    glVertexAttribPointer(TexCoordAttribute, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), at(offsetof(Vertex, u)));
    glVertexAttribPointer(ColorAttribute, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex), at(offsetof(Vertex, r)));
}

// An opaque batch hides whatever lies behind it, so it can be drawn before any batch all of whose quads lie strictly
// behind all of its own: each pixel of either ends the same (the opaque quad's where it passes the depth test, and
// the one behind fails there in either order). Drawn first, it lets the depth test drop the hidden pixels before
// they are shaded.
bool MovesForward(const Batch& batch) {
    const BatchKey& k = batch.key;
    return !k.blend && !k.alphaTest && k.depthTest && (k.depth == DepthFunc::Less || k.depth == DepthFunc::LessEqual);
}

bool StaysBehind(const Batch& behind, const Batch& opaque) {
    const BatchKey& k = behind.key;
    return k.depthTest && k.depth != DepthFunc::Always && behind.nearest < opaque.farthest;
}

// The order to draw the batches in: the queue's, with every opaque batch moved forward past the batches that stay
// behind it.
void OrderBatches(std::vector<std::size_t>& order) {
    order.clear();
    for (std::size_t i = 0; i < state.batches.size(); ++i) {
        std::size_t at = order.size();
        if (state.shortcuts && MovesForward(state.batches[i]))
            while (at > 0 && StaysBehind(state.batches[order[at - 1]], state.batches[i])) --at;
        order.insert(order.begin() + static_cast<std::ptrdiff_t>(at), i);
    }
}

// Textures whose last quads are drawn now.
void DeleteRetired() {
    DeleteRetiredTextures();
    std::vector<GLuint>& sized = state.gl.retiredSized;
    if (!sized.empty()) glDeleteTextures(static_cast<GLsizei>(sized.size()), sized.data());
    sized.clear();
}

// Draws every queued batch from one upload of the stream.
void Submit() {
    if (state.batches.empty()) {
        DeleteRetired();
        return;
    }
    Renderer& gl = state.gl;
    glBindBuffer(GL_ARRAY_BUFFER, gl.vertexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, gl.indexBuffer);
    // The buffer keeps its storage from frame to frame and grows by doubling: a new store every frame costs a
    // software renderer fresh pages to fault in and fill.
    const std::size_t bytes = state.vertices.size() * sizeof(Vertex);
    if (bytes > gl.vertexBufferBytes) {
        gl.vertexBufferBytes = std::max(bytes, gl.vertexBufferBytes * 2);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(gl.vertexBufferBytes), nullptr, GL_DYNAMIC_DRAW);
    }
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(bytes), state.vertices.data());
    Applied applied;
    static std::vector<std::size_t> order;
    OrderBatches(order);
    for (std::size_t index : order) {
        const Batch& batch = state.batches[index];
        Apply(batch.key, applied);
        for (std::size_t done = 0; done < batch.quads; done += MaxQuadsPerDraw) {
            const std::size_t quads = std::min(MaxQuadsPerDraw, batch.quads - done);
            PointAttributes(batch.firstQuad + done);
            glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(quads * 6), GL_UNSIGNED_SHORT, nullptr);
        }
    }
    state.vertices.clear();
    state.batches.clear();
    DeleteRetired();
}

BatchKey KeyOfQuad(const TextureGpu* texture, float w, float h, bool backdrop) {
    BatchKey key;
    key.object = texture ? texture->object : state.gl.white;
    key.image = texture ? state.image : 0;
    const bool opaqueImage = texture ? texture->opaque : true;
    const bool opaque = opaqueImage && state.a == 255 && state.shortcuts;
    // An opaque quad blends to itself and no fragment of it has alpha 0: it is drawn without either.
    key.blend = state.blend != BlendMode::Off && !opaque && !backdrop;
    key.blendMode = key.blend ? state.blend : BlendMode::Off;
    key.alphaTest = !opaque && !backdrop;
    key.depthTest = !backdrop;
    key.depth = state.depth;
    if (texture && state.shortcuts && w >= float(texture->width) && h >= float(texture->height))
        key.filter = Filter::Magnified;
    return key;
}

void Queue(const BatchKey& key, const Vertex (&corners)[4]) {
    if (state.batches.empty() || !(state.batches.back().key == key))
        state.batches.push_back(Batch{key, state.vertices.size() / 4, 0});
    Batch& batch = state.batches.back();
    ++batch.quads;
    batch.nearest = std::max(batch.nearest, corners[0].z);
    batch.farthest = std::min(batch.farthest, corners[0].z);
    state.vertices.insert(state.vertices.end(), corners, corners + 4);
}

bool Whole(float v) { return std::floor(v) == v; }

bool OnWholePixels(float x, float y, float w, float h) {
    return Whole(x) && Whole(y) && Whole(w) && Whole(h) && w > 0 && h > 0;
}

// Draws `image` (its texture bound with its filters for the size) into a new texture of w x h; 0 when it cannot.
GLuint MakeSizedImage(TextureGpu& image, std::int32_t w, std::int32_t h) {
    Renderer& gl = state.gl;
    GLuint object = 0;
    glGenTextures(1, &object);
    glBindTexture(GL_TEXTURE_2D, object);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindFramebuffer(GL_FRAMEBUFFER, gl.framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, object, 0);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (complete) {
        glViewport(0, 0, w, h);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glUseProgram(gl.programs[0]);
        glUniform2f(gl.scaleUniform[0], 2.0f / float(w), 2.0f / float(h));
        glBindTexture(GL_TEXTURE_2D, image.object);
        SetFilters(image, w >= image.width && h >= image.height ? Filter::Magnified : Filter::Own);
        const float fw = float(w), fh = float(h);
        const Vertex corners[4] = {{0, fh, 0, 0, 0, 255, 255, 255, 255}, {fw, fh, 0, 1, 0, 255, 255, 255, 255},
                                   {fw, 0, 0, 1, 1, 255, 255, 255, 255}, {0, 0, 0, 0, 1, 255, 255, 255, 255}};
        glBindBuffer(GL_ARRAY_BUFFER, gl.sizedBuffer);
        glBufferData(GL_ARRAY_BUFFER, sizeof corners, corners, GL_STREAM_DRAW);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, gl.indexBuffer);
        PointAttributes(0);
        glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, nullptr);
        glUniform2f(gl.scaleUniform[0], 2.0f / float(gl.width), 2.0f / float(gl.height));
        glViewport(0, 0, gl.width, gl.height);
        glEnable(GL_DEPTH_TEST);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (!complete) {
        glDeleteTextures(1, &object);
        return 0;
    }
    return object;
}

// The texture of `image` filtered to w x h, when there is one; 0 draws the image itself.
GLuint SizedImage(std::uint32_t image, float w, float h) {
    TextureGpu* texture = FindTextureGpu(image);
    if (!texture) return 0;
    Renderer& gl = state.gl;
    const std::uint64_t key = (std::uint64_t(image) << 32) | (std::uint64_t(w) << 16) | std::uint64_t(h);
    SizedFrame& sized = gl.sized[key];
    if (sized.object != 0 && sized.source != texture->object) {
        // The image was released and uploaded again since; quads queued before may still draw the old one.
        gl.retiredSized.push_back(sized.object);
        gl.sizedBytes -= sized.bytes;
        sized = SizedFrame{};
    }
    if (sized.object == 0) {
        sized.source = texture->object;
        if (sized.framesRunning == 0 || sized.lastUsed + 1 < gl.frame) sized.framesRunning = 1;
        else if (sized.lastUsed + 1 == gl.frame) ++sized.framesRunning;
    }
    sized.lastUsed = gl.frame;
    const std::size_t bytes = std::size_t(w) * std::size_t(h) * 4;
    if (sized.object == 0 && !sized.failed && sized.framesRunning >= SizedFrameAfter && bytes <= SizedFrameLargest) {
        sized.object = MakeSizedImage(*texture, std::int32_t(w), std::int32_t(h));
        sized.failed = sized.object == 0;
        sized.bytes = bytes;
        if (sized.object) gl.sizedBytes += sized.bytes;
    }
    return sized.object;
}

// After a frame is drawn: the sized images unused for a while go, and the oldest while they hold too much. True when
// any went.
bool TrimSizedImages() {
    Renderer& gl = state.gl;
    ++gl.frame;
    if (gl.frame % 10 != 0 && gl.sizedBytes <= SizedFrameBytes) return false;
    const std::size_t before = gl.sizedBytes;
    auto drop = [&gl](std::unordered_map<std::uint64_t, SizedFrame>::iterator at) {
        if (at->second.object) {
            glDeleteTextures(1, &at->second.object);
            gl.sizedBytes -= at->second.bytes;
        }
        return gl.sized.erase(at);
    };
    for (auto at = gl.sized.begin(); at != gl.sized.end();)
        at = at->second.lastUsed + SizedFrameKeptFrames < gl.frame ? drop(at) : std::next(at);
    while (gl.sizedBytes > SizedFrameBytes) {
        auto oldest = gl.sized.end();
        for (auto at = gl.sized.begin(); at != gl.sized.end(); ++at)
            if (at->second.object && (oldest == gl.sized.end() || at->second.lastUsed < oldest->second.lastUsed))
                oldest = at;
        if (oldest == gl.sized.end()) break;
        drop(oldest);
    }
    return gl.sizedBytes < before;
}

// Counter-clockwise as seen on screen, so the quad survives back-face culling (a quad of negative size does not, as
// it never did); texture v = 0 at the bottom.
void QueueQuad(float x, float y, float z, float w, float h, float u0, float v0, float u1, float v1, bool backdrop) {
    const std::uint8_t r = state.r, g = state.g, b = state.b, a = state.a;
    const Vertex corners[4] = {{x, y + h, z, u0, v0, r, g, b, a},
                               {x + w, y + h, z, u1, v0, r, g, b, a},
                               {x + w, y, z, u1, v1, r, g, b, a},
                               {x, y, z, u0, v1, r, g, b, a}};
    const TextureGpu* image = FindTextureGpu(state.image);
    BatchKey key = KeyOfQuad(image, w, h, backdrop);
    if (image && state.shortcuts && OnWholePixels(x, y, w, h)) {
        const TextureGpu& texture = *image;
        const float texelsX = (u1 - u0) * float(texture.width), texelsY = (v1 - v0) * float(texture.height);
        const bool wholeImage = u0 == 0 && v0 == 0 && u1 == 1 && v1 == 1;
        if (w == texelsX && h == texelsY && Whole(u0 * float(texture.width)) && Whole(v0 * float(texture.height))) {
            key.filter = Filter::Exact;
        } else if (wholeImage && !texture.nearest && w <= 4096 && h <= 4096) {
            if (const GLuint sized = SizedImage(state.image, w, h)) {
                key.object = sized;
                key.image = 0;
            }
        }
    }
    Queue(key, corners);
}

}  // namespace

void BindImage(std::uint32_t textureId) {
    textureId = ResidentTexture(textureId);     // a texture-pack frame is decoded when it is first drawn
    state.image = textureId;
}

void SetColor(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    state.r = r;
    state.g = g;
    state.b = b;
    state.a = a;
}

void SetDepthFunc(DepthFunc func) { state.depth = func; }

void SetDrawShortcuts(bool on) {
    FlushDrawing();
    state.shortcuts = on;
}

void SetBlend(BlendMode mode) { state.blend = mode; }

void DrawQuad(std::int32_t x, std::int32_t y, std::int32_t z, std::int32_t w, std::int32_t h) {
    if (!PlatformHasGl()) {
        PlatformRecordQuad(QuadRecord{state.image, x, y, z, w, h, state.r, state.g, state.b, state.a,
                                      static_cast<std::int32_t>(state.depth), static_cast<std::int32_t>(state.blend)});
        return;
    }
    QueueQuad(float(x), float(y), float(z), float(w), float(h), 0, 0, 1, 1, false);
}

void DrawImageRegion(float x, float y, float z, float w, float h, float u0, float v0, float u1, float v1) {
    if (!PlatformHasGl()) return;
    QueueQuad(x, y, z, w, h, u0, v0, u1, v1, false);
}

void DrawBackdrop(std::int32_t x, std::int32_t y, std::int32_t z, std::int32_t w, std::int32_t h) {
    if (!PlatformHasGl()) {
        DrawQuad(x, y, z, w, h);
        return;
    }
    Submit();
    // The depth of z + 1/2 under the projection (z from -128 to 128, larger z nearer): between every whole z at or
    // behind z and every whole z in front of it, whatever the depth buffer's rounding.
    const float depth = static_cast<float>((1.0 - (z + 0.5) / 128.0) / 2.0);
#if KOLBRIX_GL_ES
    glClearDepthf(depth);
#else
    glClearDepth(depth);
#endif
    glEnable(GL_SCISSOR_TEST);
    glScissor(x, state.gl.height - y - h, w, h);
    glClear(GL_DEPTH_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
#if KOLBRIX_GL_ES
    glClearDepthf(1.0f);
#else
    glClearDepth(1.0);
#endif
    QueueQuad(float(x), float(y), float(z), float(w), float(h), 0, 0, 1, 1, true);
}

void SetupGlState(std::int32_t width, std::int32_t height) {
    if (!PlatformHasGl()) return;
    state.vertices.clear();
    state.batches.clear();
    MakeRenderer();
    state.gl.width = width;
    state.gl.height = height;
    for (int i = 0; i < 2; ++i) {
        glUseProgram(state.gl.programs[i]);
        glUniform2f(state.gl.scaleUniform[i], 2.0f / float(width), 2.0f / float(height));
    }
    glViewport(0, 0, width, height);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
}

void ClearBuffers() {
    if (!PlatformHasGl()) return;
    Submit();
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void FlushDrawing() {
    if (PlatformHasGl()) Submit();
}

bool PresentFrame() {
    bool freed = false;
    if (PlatformHasGl()) {
        Submit();
        freed = TrimSizedImages();
        // The frame is drawn while the swap waits for its time, so frames reach the screen evenly spaced however long
        // each took to draw: the frame pacing waits from the start of a frame, and a frame that took longer to draw
        // than the one before would otherwise come late by the difference.
        if (PlatformFixedFrameTime() <= 0 && state.lastPresent > 0) {
            glFlush();
            PlatformWaitUntil(state.lastPresent + MinFrameInterval - PresentSlack);
        }
    }
    PlatformPresent();
    state.lastPresent = PlatformClock();
    return freed;
}

bool ReadBackBuffer(std::int32_t width, std::int32_t height, std::vector<std::uint8_t>& rgb) {
    if (!PlatformHasGl() || width <= 0 || height <= 0) return false;
    Submit();
    const size_t row = static_cast<size_t>(width) * 4;
    std::vector<std::uint8_t> bottomUp(row * static_cast<size_t>(height));
    while (glGetError() != GL_NO_ERROR) {
    }   // an earlier call's error is not this read's
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    if (glGetError() != GL_NO_ERROR) return false;
    // GL counts rows from the bottom of the window.
    rgb.resize(static_cast<size_t>(width) * 3 * static_cast<size_t>(height));
    std::uint8_t* out = rgb.data();
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint8_t* in = bottomUp.data() + row * static_cast<size_t>(height - 1 - y);
        for (std::int32_t x = 0; x < width; ++x, in += 4, out += 3) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
        }
    }
    return true;
}
