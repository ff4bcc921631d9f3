#pragma once
// ViewMath: the small vector, matrix, box and frustum types the 3D view is computed with.
//
// Matrices act on column vectors (p' = M * p) and are stored column by column, so data() can go to
// glUniformMatrix4fv without transposing. The view space is left-handed (x right, y up, z into the
// screen) as the viewer has always drawn it; the projection maps it to OpenGL's clip space.
#include <array>

namespace tessarin::viewer {

struct Vec3 {
    float x = 0, y = 0, z = 0;
};

struct Mat4 {
    std::array<float, 16> m{};  // m[column * 4 + row]

    static Mat4 identity();
    static Mat4 translation(float x, float y, float z);
    // Rotations as the viewer's matrix helpers define them (left-handed): rotationY(a) takes +x
    // towards -z, rotationX(a) takes +y towards +z.
    static Mat4 rotationX(float radians);
    static Mat4 rotationY(float radians);

    float& at(int row, int column) { return m[static_cast<std::size_t>(column * 4 + row)]; }
    float at(int row, int column) const { return m[static_cast<std::size_t>(column * 4 + row)]; }
    const float* data() const { return m.data(); }

    Vec3 transformPoint(const Vec3& p) const;  // with the perspective divide when w != 1
};

// a * b: b applies first.
Mat4 operator*(const Mat4& a, const Mat4& b);

// View matrix from an eye looking at a point, `up` giving the vertical (left-handed look-at).
Mat4 lookAt(const Vec3& eye, const Vec3& target, const Vec3& up);
// Perspective projection: vertical field of view, width / height, near and far planes.
Mat4 perspective(float fovY, float aspect, float nearPlane, float farPlane);

// Axis-aligned box; empty() until a point is added.
struct Box {
    Vec3 min{1, 1, 1};
    Vec3 max{-1, -1, -1};
    bool empty() const { return min.x > max.x; }
    void add(const Vec3& p);
};

// The six planes of a view-projection matrix; boxes wholly outside one of them are not visible.
class Frustum {
public:
    explicit Frustum(const Mat4& viewProjection);
    bool intersects(const Box& box) const;

private:
    std::array<std::array<float, 4>, 6> m_planes{};  // a, b, c, d with a*x + b*y + c*z + d >= 0 inside
};

}  // namespace tessarin::viewer
