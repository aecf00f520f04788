#include <cfloat>

#include "lighting/det_math.h"
#include "lighting/render_preparation.h"
#include "settings/light_source.h"

namespace {
constexpr double kHalfSqrt2 = 0.70710678118654752;
constexpr double kQuarterPi = kSinglePrecisionPi * 0.25;
constexpr double kTanThirtyDegrees = 0.57735026;
constexpr float kSpotConeCosine = 0.707f;

bool isFinite(double x) {
    return x - x == 0;
}

// A light's geometry in render units: the form the preparation starts from,
// divided by its divisor.
struct Vector2 {
    double x, y;
};

struct LightGeometry {
    Vector2 position;
    Vector2 vector0;
    Vector2 vector1;
    double radius;
    Vector2 handle; // directional: vector0 in preview pixels (not divided)
};

void copyStrengths(const LightSource& light, RenderLight& prepared) {
    for (int c = 0; c < 3; ++c)
        prepared.strength[c] = int32_t(light.color[c]) * light.intensity / 32;
}

void placeOmni(const LightGeometry& g, RenderLight& prepared) {
    prepared.point[0] = float(g.position.x);
    prepared.point[1] = float(g.position.y);
    prepared.point[2] = float(g.radius * kTanThirtyDegrees);
}

// A short handle gives a steep light, one of 99 pixels or more a grazing one.
void aimDirectional(const Vector2& v, RenderLight& prepared) {
    double z = 100.0 - detSqrt(v.x * v.x + v.y * v.y);
    if (!(z >= 1.0))
        z = 1.0;
    const double length = float(detSqrt(v.x * v.x + v.y * v.y + z * z));
    prepared.direction[0] = float(v.x / length);
    prepared.direction[1] = float(v.y / length);
    prepared.direction[2] = float(z / length);
}

// A spot without a first axis has no ellipse to light: it lies in the image
// plane and looks straight up, so its cone meets no point of the image.
void placeDarkSpot(RenderLight& prepared) {
    for (int i = 0; i < 3; ++i)
        prepared.point[i] = 0.0f;
    prepared.direction[0] = 0.0f;
    prepared.direction[1] = 0.0f;
    prepared.direction[2] = 1.0f;
}

// Places and aims the spot so that its fixed 45° cone lights the ellipse with
// centre p and semi-axes a and b.
void placeSpot(const Vector2& p, const Vector2& a, const Vector2& b, RenderLight& prepared) {
    prepared.coneCosine = kSpotConeCosine;
    const double lengthA2 = a.x * a.x + a.y * a.y;
    const double length = detSqrt(lengthA2);
    if (!(length > 0) || !isFinite(length) || !isFinite(b.x * b.x + b.y * b.y) || !isFinite(p.x) ||
        !isFinite(p.y)) {
        placeDarkSpot(prepared);
        return;
    }
    const double theta = angleOf(-a.y, a.x); // the first axis, y turned upwards
    double ratio = detSqrt(lengthA2 + (b.x * b.x + b.y * b.y)) / length * kHalfSqrt2;
    ratio = ratio > 1 ? 1 : ratio < 0 ? 0 : ratio;
    const double phi = detAsin(ratio);
    const float twoAlpha = float(2 * (phi - kQuarterPi));
    const double h = length * detCos(twoAlpha);
    const double z = length * detSin(twoAlpha);
    const double cosTheta = detCos(theta), sinTheta = detSin(theta);
    prepared.point[0] = float(p.x + h * cosTheta);
    prepared.point[1] = float(p.y - h * sinTheta);
    prepared.point[2] = float(z);
    const double aim = twoAlpha / 2.0 + kQuarterPi;
    const double cosAim = detCos(aim);
    prepared.direction[0] = float(-cosAim * cosTheta);
    prepared.direction[1] = float(cosAim * sinTheta);
    prepared.direction[2] = float(-detSin(aim));
}

void prepareLight(const LightSource& light, const LightGeometry& g, RenderLight& prepared,
                  int tableSizeFlag) {
    prepared = RenderLight{}; // unused fields and the lights' cache copies stay zero
    prepared.type = light.type;
    copyStrengths(light, prepared);
    switch (light.type) {
    case Omni:
        placeOmni(g, prepared);
        break;
    case Directional:
        aimDirectional(g.handle, prepared);
        break;
    case Spot:
        fillSpotTable(light, prepared, tableSizeFlag);
        placeSpot(g.position, g.vector0, g.vector1, prepared);
        break;
    default:
        break;
    }
}

// Script values may be of any size: NaN counts as 0 and the infinities as the
// largest single-precision values, so that every derived value stays finite.
double finitePercent(float value) {
    if (value != value)
        return 0.0;
    return value > FLT_MAX ? FLT_MAX : value < -FLT_MAX ? -FLT_MAX : value;
}

Vector2 finitePercent(PointF p) {
    return {finitePercent(p.x), finitePercent(p.y)};
}

Vector2 divided(Vector2 v, double divisor) {
    return {v.x / divisor, v.y / divisor};
}
Vector2 divided(Point16 v, double divisor) {
    return {v.x / divisor, v.y / divisor};
}
} // namespace

double angleOf(double y, double x) {
    if (x == 0)
        return y >= 0 ? kSinglePrecisionPi / 2 : -kSinglePrecisionPi / 2;
    if (y == 0)
        return x >= 0 ? 0.0 : kSinglePrecisionPi;
    const double angle = detAtan(y / x);
    if (x > 0)
        return angle;
    return y > 0 ? angle + kSinglePrecisionPi : angle - kSinglePrecisionPi;
}

void prepareLightPreview(const LightSource& light, RenderLight& prepared, double divisor,
                         int tableSizeFlag) {
    LightGeometry g;
    g.position = divided(light.position, divisor);
    g.vector0 = divided(light.vector0, divisor);
    g.vector1 = divided(light.vector1, divisor);
    g.radius = light.radius / divisor;
    g.handle = {double(light.vector0.x), double(light.vector0.y)};
    prepareLight(light, g, prepared, tableSizeFlag);
}

void prepareLightPercent(const LightSource& light, RenderLight& prepared, double divisor,
                         uint16_t frameSize, int tableSizeFlag) {
    LightGeometry g;
    g.position = divided(finitePercent(light.positionPct), divisor);
    g.vector0 = divided(finitePercent(light.vector0Pct), divisor);
    g.vector1 = divided(finitePercent(light.vector1Pct), divisor);
    g.radius = finitePercent(light.radiusPct) / divisor;
    const Vector2 handle = finitePercent(light.vector0Pct);
    g.handle = {handle.x * frameSize * 0.01, handle.y * frameSize * 0.01};
    prepareLight(light, g, prepared, tableSizeFlag);
}
