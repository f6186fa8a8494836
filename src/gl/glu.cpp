// GLU on the subset: the same arithmetic as Mesa's libGLU (project.c and mipmap.c), in the same
// precision, so that both renderers see the matrices and texture levels GLU gave the piece.
#include "gl/gl.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace {

// GLU's own spelling of pi and of its two vector helpers, all in single precision but the
// square root.
constexpr double kGluPi = 3.14159265358979323846;

void Normalize(float v[3])
{
    const float r = static_cast<float>(std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]));
    if (r == 0.0f) return;
    v[0] /= r;
    v[1] /= r;
    v[2] /= r;
}

void Cross(const float a[3], const float b[3], float result[3])
{
    result[0] = a[1] * b[2] - a[2] * b[1];
    result[1] = a[2] * b[0] - a[0] * b[2];
    result[2] = a[0] * b[1] - a[1] * b[0];
}

// The power of two nearest to value, as GLU rounds it: 3 * 2^k and above round up.
GLint NearestPowerOfTwo(GLint value)
{
    GLint power = 1;
    for (;;) {
        if (value == 1) return power;
        if (value == 3) return power * 4;
        value >>= 1;
        power *= 2;
    }
}

int Log2(GLint powerOfTwo)
{
    int log = 0;
    while (powerOfTwo > 1) {
        powerOfTwo >>= 1;
        ++log;
    }
    return log;
}

// An image of bytes, `components` to a pixel, its rows `rowBytes` apart.
struct ImageView {
    const uint8_t* bytes;
    int width, height, components;
    size_t rowBytes;
    const uint8_t* Pixel(int x, int y) const
    {
        return bytes + static_cast<size_t>(y) * rowBytes + static_cast<size_t>(x) * components;
    }
};

// The next level: each pixel the mean of a 2 x 2 block, rounded half up; along a side of
// one pixel the mean of a pair, rounded down (GLU's two box filters, halveImage_ubyte and
// halve1Dimage_ubyte).
void HalveImage(const ImageView& from, std::vector<uint8_t>& to)
{
    const int width = std::max(from.width / 2, 1), height = std::max(from.height / 2, 1);
    const int c = from.components;
    to.resize(static_cast<size_t>(width) * height * c);
    uint8_t* out = to.data();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int k = 0; k < c; ++k) {
                if (from.width == 1) {
                    *out++ = static_cast<uint8_t>((from.Pixel(0, 2 * y)[k] + from.Pixel(0, 2 * y + 1)[k]) / 2);
                } else if (from.height == 1) {
                    *out++ = static_cast<uint8_t>((from.Pixel(2 * x, 0)[k] + from.Pixel(2 * x + 1, 0)[k]) / 2);
                } else {
                    const int sum = from.Pixel(2 * x, 2 * y)[k] + from.Pixel(2 * x + 1, 2 * y)[k] +
                                    from.Pixel(2 * x, 2 * y + 1)[k] + from.Pixel(2 * x + 1, 2 * y + 1)[k];
                    *out++ = static_cast<uint8_t>((sum + 2) / 4);
                }
            }
}

// An image whose sides are not powers of two, scaled to ones that are: each pixel the mean of
// the source area it covers, every source pixel weighted by the share of it inside that area.
// (GLU does the same with a box filter of its own; the piece's images are all powers of two.)
void ScaleImage(const ImageView& from, int width, int height, std::vector<uint8_t>& to)
{
    const int c = from.components;
    to.resize(static_cast<size_t>(width) * height * c);
    const double stepX = static_cast<double>(from.width) / width, stepY = static_cast<double>(from.height) / height;
    for (int y = 0; y < height; ++y) {
        const double y0 = y * stepY, y1 = (y + 1) * stepY;
        for (int x = 0; x < width; ++x) {
            const double x0 = x * stepX, x1 = (x + 1) * stepX;
            double sums[4] = {};
            for (int sy = static_cast<int>(y0); sy < from.height && sy < y1; ++sy) {
                const double wy = std::min<double>(sy + 1, y1) - std::max<double>(sy, y0);
                for (int sx = static_cast<int>(x0); sx < from.width && sx < x1; ++sx) {
                    const double weight = wy * (std::min<double>(sx + 1, x1) - std::max<double>(sx, x0));
                    for (int k = 0; k < c; ++k) sums[k] += weight * from.Pixel(sx, sy)[k];
                }
            }
            for (int k = 0; k < c; ++k)
                to[(static_cast<size_t>(y) * width + x) * c + k] =
                    static_cast<uint8_t>(std::lround(sums[k] / (stepX * stepY)));
        }
    }
}

// Uploads a tightly packed level, whatever the unpack alignment says.
void UploadPackedLevel(GLenum target, GLint level, GLint internalFormat, int width, int height, GLenum format,
                       const std::vector<uint8_t>& pixels, GLint callersAlignment)
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(target, level, internalFormat, width, height, 0, format, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, callersAlignment);
}

} // namespace

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    const double radians = fovy / 2 * kGluPi / 180;
    const double deltaZ = zFar - zNear;
    const double sine = std::sin(radians);
    if (deltaZ == 0 || sine == 0 || aspect == 0) return;
    const double cotangent = std::cos(radians) / sine;
    double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    m[0] = cotangent / aspect;
    m[5] = cotangent;
    m[10] = -(zFar + zNear) / deltaZ;
    m[11] = -1;
    m[14] = -2 * zNear * zFar / deltaZ;
    m[15] = 0;
    // GLU hands the doubles to glMultMatrixd, which rounds each to float.
    GLfloat rounded[16];
    for (int i = 0; i < 16; ++i) rounded[i] = static_cast<GLfloat>(m[i]);
    glMultMatrixf(rounded);
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY, GLdouble centerZ,
               GLdouble upX, GLdouble upY, GLdouble upZ)
{
    float forward[3] = {static_cast<float>(centerX - eyeX), static_cast<float>(centerY - eyeY),
                        static_cast<float>(centerZ - eyeZ)};
    float up[3] = {static_cast<float>(upX), static_cast<float>(upY), static_cast<float>(upZ)};
    float side[3];
    Normalize(forward);
    Cross(forward, up, side); // side = forward x up
    Normalize(side);
    Cross(side, forward, up); // up = side x forward
    const GLfloat m[16] = {side[0], up[0], -forward[0], 0, side[1], up[1], -forward[1], 0,
                           side[2], up[2], -forward[2], 0, 0,       0,     0,           1};
    glMultMatrixf(m);
    glTranslatef(static_cast<GLfloat>(-eyeX), static_cast<GLfloat>(-eyeY), static_cast<GLfloat>(-eyeZ));
}

GLint gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format, GLenum type,
                        const void* data)
{
    if ((format != GL_RGB && format != GL_RGBA) || type != GL_UNSIGNED_BYTE) return GLU_INVALID_ENUM;
    if (width < 1 || height < 1) return GLU_INVALID_VALUE;
    const int components = format == GL_RGBA ? 4 : 3;

    // The largest powers of two near the sides that the driver takes.
    GLint fittedWidth = NearestPowerOfTwo(width), fittedHeight = NearestPowerOfTwo(height);
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    while (maxSize > 0 && (fittedWidth > maxSize || fittedHeight > maxSize) && (fittedWidth > 1 || fittedHeight > 1)) {
        fittedWidth = std::max(fittedWidth / 2, 1);
        fittedHeight = std::max(fittedHeight / 2, 1);
    }
    const int levels = std::max(Log2(fittedWidth), Log2(fittedHeight));

    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    size_t rowBytes = static_cast<size_t>(width) * components;
    if (alignment > 1 && rowBytes % static_cast<size_t>(alignment) != 0)
        rowBytes += static_cast<size_t>(alignment) - rowBytes % static_cast<size_t>(alignment);
    ImageView level{static_cast<const uint8_t*>(data), width, height, components, rowBytes};

    std::vector<uint8_t> current, next;
    if (width == fittedWidth && height == fittedHeight) {
        glTexImage2D(target, 0, internalFormat, width, height, 0, format, type, data);
    } else {
        ScaleImage(level, fittedWidth, fittedHeight, current);
        level = {current.data(), fittedWidth, fittedHeight, components, static_cast<size_t>(fittedWidth) * components};
        UploadPackedLevel(target, 0, internalFormat, fittedWidth, fittedHeight, format, current, alignment);
    }
    for (int index = 1; index <= levels; ++index) {
        HalveImage(level, next);
        current.swap(next);
        const int levelWidth = std::max(level.width / 2, 1), levelHeight = std::max(level.height / 2, 1);
        level = {current.data(), levelWidth, levelHeight, components, static_cast<size_t>(levelWidth) * components};
        UploadPackedLevel(target, index, internalFormat, levelWidth, levelHeight, format, current, alignment);
    }
    return 0;
}

const GLubyte* gluErrorString(GLenum error)
{
    const char* text = "unknown error";
    switch (error) {
    case GL_NO_ERROR: text = "no error"; break;
    case GL_INVALID_ENUM:
    case GLU_INVALID_ENUM: text = "invalid enumerant"; break;
    case GL_INVALID_VALUE:
    case GLU_INVALID_VALUE: text = "invalid value"; break;
    case GL_INVALID_OPERATION: text = "invalid operation"; break;
    case GL_OUT_OF_MEMORY:
    case GLU_OUT_OF_MEMORY: text = "out of memory"; break;
    default: break;
    }
    return reinterpret_cast<const GLubyte*>(text);
}
