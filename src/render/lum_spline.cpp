// lum_spline: cubic Hermite segment with forward-difference tangents.
#include "render/lum_spline.h"

float HermiteValue(float t, float p0, float p1, float p2)
{
    // Extended precision throughout, so paths evaluate the same whatever the compiler
    // does with float temporaries; only the result is rounded.
    const long double s = t;
    const long double s2 = s * s;
    const long double s3 = s2 * s;
    const long double h00 = 2.0L * s3 - 3.0L * s2 + 1.0L;
    const long double h10 = s3 - 2.0L * s2 + s;
    const long double h01 = -2.0L * s3 + 3.0L * s2;
    const long double h11 = s3 - s2;
    const long double a = p0, b = p1, c = p2;
    return static_cast<float>(h00 * a + h10 * (b - a) + h01 * b + h11 * (c - b));
}
