#include "viewer/ViewMath.h"

#include <algorithm>
#include <cmath>

namespace tessarin::viewer {

namespace {

Vec3 sub(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 scale(const Vec3& a, float s) { return {a.x * s, a.y * s, a.z * s}; }
float dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
float length(const Vec3& a) { return std::sqrt(dot(a, a)); }
Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

constexpr float kTiny = 1e-6f;

}  // namespace

Mat4 Mat4::identity() {
    Mat4 r;
    for (int i = 0; i < 4; ++i) r.at(i, i) = 1;
    return r;
}

Mat4 Mat4::translation(float x, float y, float z) {
    Mat4 r = identity();
    r.at(0, 3) = x;
    r.at(1, 3) = y;
    r.at(2, 3) = z;
    return r;
}

Mat4 Mat4::rotationX(float radians) {
    const float c = std::cos(radians), s = std::sin(radians);
    Mat4 r = identity();
    r.at(1, 1) = c;
    r.at(1, 2) = -s;
    r.at(2, 1) = s;
    r.at(2, 2) = c;
    return r;
}

Mat4 Mat4::rotationY(float radians) {
    const float c = std::cos(radians), s = std::sin(radians);
    Mat4 r = identity();
    r.at(0, 0) = c;
    r.at(0, 2) = s;
    r.at(2, 0) = -s;
    r.at(2, 2) = c;
    return r;
}

Vec3 Mat4::transformPoint(const Vec3& p) const {
    float out[4];
    for (int row = 0; row < 4; ++row) out[row] = at(row, 0) * p.x + at(row, 1) * p.y + at(row, 2) * p.z + at(row, 3);
    if (out[3] != 0 && out[3] != 1) return {out[0] / out[3], out[1] / out[3], out[2] / out[3]};
    return {out[0], out[1], out[2]};
}

Mat4 operator*(const Mat4& a, const Mat4& b) {
    Mat4 r;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) sum += a.at(row, k) * b.at(k, col);
            r.at(row, col) = sum;
        }
    return r;
}

Mat4 lookAt(const Vec3& eye, const Vec3& target, const Vec3& up) {
    Vec3 view = sub(target, eye);
    const float viewLength = length(view);
    // Eye on the target: no direction to look in, so the view stays as it was set (identity).
    if (viewLength < kTiny) return Mat4::identity();
    view = scale(view, 1 / viewLength);
    // Up made perpendicular to the view; looking straight along it falls back to other axes.
    const Vec3 candidates[] = {up, {0, 1, 0}, {0, 0, 1}};
    Vec3 trueUp;
    float upLength = 0;
    for (const Vec3& c : candidates) {
        trueUp = sub(c, scale(view, dot(c, view)));
        upLength = length(trueUp);
        if (upLength >= kTiny) break;
    }
    if (upLength < kTiny) return Mat4::identity();
    trueUp = scale(trueUp, 1 / upLength);
    const Vec3 right = cross(trueUp, view);

    Mat4 r = Mat4::identity();
    const Vec3 axes[] = {right, trueUp, view};
    for (int row = 0; row < 3; ++row) {
        r.at(row, 0) = axes[row].x;
        r.at(row, 1) = axes[row].y;
        r.at(row, 2) = axes[row].z;
        r.at(row, 3) = -dot(axes[row], eye);
    }
    return r;
}

Mat4 perspective(float fovY, float aspect, float nearPlane, float farPlane) {
    const float f = 1 / std::tan(fovY / 2);
    Mat4 r;
    r.at(0, 0) = aspect > 0 ? f / aspect : f;
    r.at(1, 1) = f;
    // View-space z grows into the screen; near maps to -1 and far to +1 as OpenGL clips.
    r.at(2, 2) = (farPlane + nearPlane) / (farPlane - nearPlane);
    r.at(2, 3) = -2 * farPlane * nearPlane / (farPlane - nearPlane);
    r.at(3, 2) = 1;
    return r;
}

void Box::add(const Vec3& p) {
    if (empty()) {
        min = max = p;
        return;
    }
    min = {std::min(min.x, p.x), std::min(min.y, p.y), std::min(min.z, p.z)};
    max = {std::max(max.x, p.x), std::max(max.y, p.y), std::max(max.z, p.z)};
}

Frustum::Frustum(const Mat4& m) {
    auto row = [&](int r) { return std::array<float, 4>{m.at(r, 0), m.at(r, 1), m.at(r, 2), m.at(r, 3)}; };
    const auto r3 = row(3);
    for (int axis = 0; axis < 3; ++axis) {
        const auto ra = row(axis);
        for (int k = 0; k < 4; ++k) {
            m_planes[static_cast<std::size_t>(axis * 2)][static_cast<std::size_t>(k)] = r3[static_cast<std::size_t>(k)] + ra[static_cast<std::size_t>(k)];
            m_planes[static_cast<std::size_t>(axis * 2 + 1)][static_cast<std::size_t>(k)] = r3[static_cast<std::size_t>(k)] - ra[static_cast<std::size_t>(k)];
        }
    }
}

bool Frustum::intersects(const Box& box) const {
    if (box.empty()) return false;
    for (const auto& p : m_planes) {
        // The box corner farthest along the plane's normal decides.
        const float x = p[0] >= 0 ? box.max.x : box.min.x;
        const float y = p[1] >= 0 ? box.max.y : box.min.y;
        const float z = p[2] >= 0 ? box.max.z : box.min.z;
        if (p[0] * x + p[1] * y + p[2] * z + p[3] < 0) return false;
    }
    return true;
}

}  // namespace tessarin::viewer
