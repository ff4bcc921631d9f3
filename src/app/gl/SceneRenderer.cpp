#include "gl/SceneRenderer.h"

#include <QByteArray>
#include <cstddef>
#include <unordered_map>

namespace tessarin::app {

namespace {

const char* const kVertexShader = R"(#version 330 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 texel;   // tu, tv, page
layout(location = 2) in vec4 colour;
uniform mat4 mvp;
out vec3 vTexel;
out vec4 vColour;
void main() {
    gl_Position = mvp * vec4(position, 1.0);
    vTexel = texel;
    vColour = colour;
}
)";

// Keyed texels (alpha 0) are holes; every other texel is tinted by the vertex colour.
const char* const kFragmentShader = R"(#version 330 core
in vec3 vTexel;
in vec4 vColour;
uniform sampler2DArray pages;
out vec4 fragColour;
void main() {
    vec4 t = texture(pages, vTexel);
    if (t.a < 0.5) discard;
    fragColour = vec4(t.rgb * vColour.rgb, 1.0);
}
)";

// The box's corners through `m` (a world transform), as a new axis-aligned box.
viewer::Box transformBox(const viewer::Mat4& m, const viewer::Box& b) {
    viewer::Box out;
    if (b.empty()) return out;
    for (int i = 0; i < 8; ++i)
        out.add(m.transformPoint({(i & 1) ? b.max.x : b.min.x, (i & 2) ? b.max.y : b.min.y,
                                  (i & 4) ? b.max.z : b.min.z}));
    return out;
}

GLuint compile(QOpenGLFunctions_3_3_Core& gl, GLenum type, const char* source) {
    const GLuint shader = gl.glCreateShader(type);
    gl.glShaderSource(shader, 1, &source, nullptr);
    gl.glCompileShader(shader);
    GLint ok = 0;
    gl.glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[512] = {};
        gl.glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        qWarning("shader: %s", log);
        gl.glDeleteShader(shader);
        return 0;
    }
    return shader;
}

}  // namespace

SceneRenderer::~SceneRenderer() = default;

bool SceneRenderer::initialize() {
    if (!initializeOpenGLFunctions()) return false;
    const GLuint vs = compile(*this, GL_VERTEX_SHADER, kVertexShader);
    const GLuint fs = compile(*this, GL_FRAGMENT_SHADER, kFragmentShader);
    if (!vs || !fs) return false;
    m_program = glCreateProgram();
    glAttachShader(m_program, vs);
    glAttachShader(m_program, fs);
    glLinkProgram(m_program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint linked = 0;
    glGetProgramiv(m_program, GL_LINK_STATUS, &linked);
    if (!linked) return false;
    m_mvpLocation = glGetUniformLocation(m_program, "mvp");
    glGenVertexArrays(1, &m_roomVao);
    glGenBuffers(1, &m_roomVbo);
    glGenVertexArrays(1, &m_meshVao);
    glGenBuffers(1, &m_meshVbo);
    setupVertexArray(m_roomVao, m_roomVbo);
    setupVertexArray(m_meshVao, m_meshVbo);
    glGenTextures(1, &m_pages);
    m_ready = true;
    return true;
}

void SceneRenderer::release() {
    if (!m_ready) return;
    glDeleteTextures(1, &m_pages);
    glDeleteBuffers(1, &m_roomVbo);
    glDeleteBuffers(1, &m_meshVbo);
    glDeleteVertexArrays(1, &m_roomVao);
    glDeleteVertexArrays(1, &m_meshVao);
    glDeleteProgram(m_program);
    m_ready = false;
}

void SceneRenderer::setupVertexArray(GLuint vao, GLuint vbo) {
    using viewer::TriangleVertex;
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    const auto stride = static_cast<GLsizei>(sizeof(TriangleVertex));
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(TriangleVertex, x)));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(TriangleVertex, tu)));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride, reinterpret_cast<void*>(offsetof(TriangleVertex, r)));
    glBindVertexArray(0);
}

void SceneRenderer::uploadPages(const viewer::RgbaImage& pages) {
    if (!m_ready) return;
    m_pageCount = pages.height / viewer::kPageSize;
    glBindTexture(GL_TEXTURE_2D_ARRAY, m_pages);
    // The pages lie one below the other, so the strip is already the layers in order.
    const int layers = m_pageCount > 0 ? m_pageCount : 1;
    const std::vector<std::uint8_t> blank(static_cast<std::size_t>(viewer::kPageSize) * viewer::kPageSize * 4, 0);
    glTexImage3D(GL_TEXTURE_2D_ARRAY, 0, GL_RGBA8, viewer::kPageSize, viewer::kPageSize, layers, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, m_pageCount > 0 ? pages.pixels.data() : blank.data());
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

void SceneRenderer::uploadRooms(const viewer::TriangleBatches& rooms, const std::vector<viewer::Box>& roomBounds) {
    if (!m_ready) return;
    glBindBuffer(GL_ARRAY_BUFFER, m_roomVbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(rooms.vertices.size() * sizeof(viewer::TriangleVertex)),
                 rooms.vertices.data(), GL_STATIC_DRAW);
    m_roomRanges = rooms.ranges;
    m_roomBounds = roomBounds;
}

void SceneRenderer::uploadRooms(viewer::RoomTriangles& rooms, const std::vector<viewer::Box>& roomBounds) {
    if (!m_ready) return;
    glBindBuffer(GL_ARRAY_BUFFER, m_roomVbo);
    constexpr auto kVertexBytes = static_cast<GLsizeiptr>(sizeof(viewer::TriangleVertex));
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(rooms.vertexCount()) * kVertexBytes, nullptr, GL_STATIC_DRAW);
    // Pieces of about 2 MB: the vertices are never all held outside the buffer.
    std::vector<viewer::TriangleVertex> piece;
    GLintptr at = 0;
    while (rooms.next(piece, std::size_t{1} << 16)) {
        const auto bytes = static_cast<GLsizeiptr>(piece.size()) * kVertexBytes;
        glBufferSubData(GL_ARRAY_BUFFER, at, bytes, piece.data());
        at += bytes;
    }
    m_roomRanges = rooms.ranges();
    m_roomBounds = roomBounds;
}

void SceneRenderer::uploadStatics(const std::vector<viewer::StaticMeshPolys>& statics) {
    if (!m_ready) return;
    std::vector<viewer::TriangleVertex> all;
    m_meshes.assign(statics.size(), {});
    // Definitions that share a shape share its vertices on the device too.
    std::unordered_map<const viewer::StaticMeshShape*, std::size_t> uploaded;
    for (std::size_t i = 0; i < statics.size(); ++i) {
        const auto [at, isNew] = uploaded.emplace(statics[i].Shape.get(), i);
        if (!isNew) {
            m_meshes[i] = m_meshes[at->second];
            continue;
        }
        const viewer::TriangleBatches mesh = viewer::BatchMeshPolys(statics[i].polys());
        m_meshes[i].first = static_cast<std::uint32_t>(all.size());
        m_meshes[i].count = static_cast<std::uint32_t>(mesh.vertices.size());
        m_meshes[i].bounds = statics[i].bounds();
        all.insert(all.end(), mesh.vertices.begin(), mesh.vertices.end());
    }
    glBindBuffer(GL_ARRAY_BUFFER, m_meshVbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(all.size() * sizeof(viewer::TriangleVertex)), all.data(),
                 GL_STATIC_DRAW);
}

int SceneRenderer::render(const Frame& frame) {
    if (!m_ready) return 0;
    glViewport(0, 0, frame.width, frame.height);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClearDepth(1.0);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    // The device's default: faces turning their back to the camera are not drawn, so a room seen
    // from outside shows its inside.
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CW);
    glCullFace(GL_BACK);
    glUseProgram(m_program);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D_ARRAY, m_pages);
    glUniform1i(glGetUniformLocation(m_program, "pages"), 0);

    const viewer::Mat4 viewProjection = frame.projection * frame.view;
    const viewer::Mat4 roomsMvp = viewProjection * frame.world;
    // The far plane is one of the frustum's: flat, as the device clips, so rooms at the sides of the
    // view are drawn up to it even where they lie farther than its distance from the eye.
    const viewer::Frustum frustum(viewProjection);
    int calls = 0;

    // Rooms: the visible rooms' ranges of one pass go in one multi-draw (the page is a vertex
    // attribute of the array texture, so pages need no calls of their own).
    glUniformMatrix4fv(m_mvpLocation, 1, GL_FALSE, roomsMvp.data());
    glBindVertexArray(m_roomVao);
    std::vector<char> visible(m_roomBounds.size(), 0);
    for (std::size_t r = 0; r < m_roomBounds.size(); ++r) {
        const viewer::Box box = transformBox(frame.world, m_roomBounds[r]);
        const bool masked = frame.roomMask && r < frame.roomMask->size() && !(*frame.roomMask)[r];
        visible[r] = !masked && !box.empty() && frustum.intersects(box);
    }
    for (viewer::Pass pass : {viewer::Pass::Opaque, viewer::Pass::Additive}) {
        m_firsts.clear();
        m_counts.clear();
        for (const viewer::DrawRange& range : m_roomRanges) {
            if (range.pass != pass || range.count == 0) continue;
            const bool inLevel = range.room >= 0 && static_cast<std::size_t>(range.room) < visible.size();
            if (inLevel && !visible[static_cast<std::size_t>(range.room)]) continue;
            m_firsts.push_back(static_cast<GLint>(range.first));
            m_counts.push_back(static_cast<GLsizei>(range.count));
        }
        if (m_firsts.empty()) continue;
        if (pass == viewer::Pass::Additive) {
            glEnable(GL_BLEND);
            glBlendFunc(GL_ONE, GL_ONE);
        } else {
            glDisable(GL_BLEND);
        }
        glMultiDrawArrays(GL_TRIANGLES, m_firsts.data(), m_counts.data(), static_cast<GLsizei>(m_firsts.size()));
        ++calls;
    }
    glDisable(GL_BLEND);

    // Static meshes: one draw each, placed by their own position alone.
    if (frame.placements && !m_meshes.empty()) {
        glBindVertexArray(m_meshVao);
        for (const viewer::StaticPlacement& p : *frame.placements) {
            if (p.Definition < 0 || static_cast<std::size_t>(p.Definition) >= m_meshes.size()) continue;
            if (p.Room >= 0 && static_cast<std::size_t>(p.Room) < visible.size() && !visible[static_cast<std::size_t>(p.Room)])
                continue;
            const MeshRange& mesh = m_meshes[static_cast<std::size_t>(p.Definition)];
            if (mesh.count == 0) continue;
            const viewer::Mat4 model = frame.world * viewer::StaticMeshMatrix(p);
            const viewer::Box box = transformBox(model, mesh.bounds);
            if (!box.empty() && !frustum.intersects(box)) continue;
            const viewer::Mat4 mvp = viewProjection * model;
            glUniformMatrix4fv(m_mvpLocation, 1, GL_FALSE, mvp.data());
            glDrawArrays(GL_TRIANGLES, static_cast<GLint>(mesh.first), static_cast<GLsizei>(mesh.count));
            ++calls;
        }
    }
    glBindVertexArray(0);
    glUseProgram(0);
    // Qt's painter draws the overlay with the same context next and expects its defaults.
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    return calls;
}

}  // namespace tessarin::app
