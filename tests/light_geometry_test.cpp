// The geometry of the lights on the work area: hit testing, the spot's
// ellipse, and what handle drags do to each type of light.
#include <gtest/gtest.h>

#include <cmath>

#include "ui/light_geometry.h"
#include "ui/preview.h"

namespace {
LightSource lightAt(uint32_t type, int x, int y) {
    LightSource light;
    light.type = type;
    light.origin = {100, 100};
    light.position = {int16_t(x - 100), int16_t(y - 100)};
    return light;
}

double lengthOf(Point16 v) {
    return std::hypot(v.x, v.y);
}

int dot(Point16 a, Point16 b) {
    return a.x * b.x + a.y * b.y;
}

int cross(Point16 a, Point16 b) {
    return a.x * b.y - a.y * b.x;
}

// Drags a handle of the light from the press to each point in turn.
void dragHandle(LightSource& light, HitCode code, std::initializer_list<PixelPoint> points,
                Constraint constraint = Constraint::None) {
    const HandleDragStart start{code, light.vector0, light.vector1};
    for (PixelPoint p : points)
        applyHandleChange(light, start, p, constraint);
}
} // namespace

TEST(LightGeometry, HandlesAreHitInTheirOrderBeforeTheDot) {
    LightSource omni = lightAt(Omni, 50, 60);
    omni.radius = 20;
    EXPECT_EQ(HitTestLight(omni, {30, 60}, true), HitFirstBehind);
    EXPECT_EQ(HitTestLight(omni, {72, 62}, true), HitFirstAhead);
    EXPECT_EQ(HitTestLight(omni, {50, 38}, true), HitSecondBehind);
    EXPECT_EQ(HitTestLight(omni, {48, 80}, true), HitSecondAhead);
    EXPECT_EQ(HitTestLight(omni, {53, 63}, true), HitDot);
    EXPECT_EQ(HitTestLight(omni, {54, 60}, true), HitNothing) << "right and bottom exclusive";
    EXPECT_EQ(HitTestLight(omni, {30, 60}, false), HitNothing) << "dot only";

    // Radius 1: every handle covers the dot, and the first one wins.
    omni.radius = 1;
    EXPECT_EQ(HitTestLight(omni, {50, 60}, true), HitFirstBehind);
    EXPECT_EQ(HitTestLight(omni, {50, 60}, false), HitDot);

    LightSource directional = lightAt(Directional, 50, 60);
    directional.vector0 = {-25, 10};
    EXPECT_EQ(HitTestLight(directional, {25, 70}, true), HitFirstBehind);
    EXPECT_EQ(HitTestLight(directional, {75, 50}, true), HitNothing) << "one handle only";

    LightSource spot = lightAt(Spot, 50, 60); // vector0 (30, 30), vector1 (-15, 15)
    EXPECT_EQ(HitTestLight(spot, {20, 30}, true), HitFirstBehind);
    EXPECT_EQ(HitTestLight(spot, {80, 90}, true), HitFirstAhead);
    EXPECT_EQ(HitTestLight(spot, {65, 45}, true), HitSecondBehind);
    EXPECT_EQ(HitTestLight(spot, {35, 75}, true), HitSecondAhead);
    EXPECT_EQ(drawnHandles(omni)[1].at, (PixelPoint{50, 60})) << "right handle one pixel in";
}

TEST(LightGeometry, ThePressFindsTheSelectedLightsHandlesBeforeOtherDots) {
    Settings settings;
    settings.frameCenter = {100, 100};
    settings.addLightAt(50, 60);  // light 0: a spot, handle 4 at (80, 90)
    settings.addLightAt(80, 90);  // light 1: its dot under that handle
    settings.addLightAt(120, 60); // lights 2 and 3 on the same spot
    settings.addLightAt(120, 60);
    int index = -1;
    settings.currentLight = 0;
    EXPECT_EQ(HitTestLights(settings, {80, 90}, index), HitFirstAhead);
    EXPECT_EQ(index, 0);
    settings.currentLight = 3;
    EXPECT_EQ(HitTestLights(settings, {80, 90}, index), HitDot);
    EXPECT_EQ(index, 1) << "only the selected light's handles count";
    settings.currentLight = 1;
    EXPECT_EQ(HitTestLights(settings, {121, 61}, index), HitDot);
    EXPECT_EQ(index, 2) << "the first in index order";
    EXPECT_EQ(HitTestLights(settings, {5, 5}, index), HitNothing);
}

TEST(LightGeometry, TheEllipseIsACircleForEqualAxesAndASegmentWithoutASecondAxis) {
    const Preview preview; // holds the table of 40 cosines and sines
    LightSource spot = lightAt(Spot, 50, 60);
    spot.vector0 = {0, 24};
    spot.vector1 = {-24, 0};
    for (PixelPoint p : ellipsePolygon(spot, preview.ellipseTable))
        EXPECT_NEAR(std::hypot(p.x - 50, p.y - 60), 24, 1.5);

    spot.vector0 = {20, 20};
    spot.vector1 = {0, 0};
    const auto points = ellipsePolygon(spot, preview.ellipseTable);
    EXPECT_EQ(points[0], (PixelPoint{70, 80}));
    EXPECT_EQ(points[20], (PixelPoint{30, 40}));
    for (PixelPoint p : points)
        EXPECT_EQ(p.x - 50, p.y - 60) << "on the line through the centre";
}

TEST(LightGeometry, AnOmniRadiusFollowsItsHandleAndNeverFallsBelowOne) {
    LightSource omni = lightAt(Omni, 50, 60);
    dragHandle(omni, HitFirstAhead, {{75, 90}});
    EXPECT_EQ(omni.radius, 25);
    dragHandle(omni, HitSecondBehind, {{0, 49}});
    EXPECT_EQ(omni.radius, 11);
    dragHandle(omni, HitFirstBehind, {{80, 60}}); // across the centre
    EXPECT_EQ(omni.radius, 1);
}

TEST(LightGeometry, ShiftKeepsTheDirectionAndControlTheLength) {
    LightSource directional = lightAt(Directional, 50, 60);
    directional.vector0 = {30, 40}; // length 50
    dragHandle(directional, HitFirstBehind, {{40, 60}});
    EXPECT_EQ(directional.vector0.x, -10);
    EXPECT_EQ(directional.vector0.y, 0);

    directional.vector0 = {30, 40};
    dragHandle(directional, HitFirstBehind, {{50, 160}, {50, 35}}, Constraint::KeepDirection);
    EXPECT_EQ(directional.vector0.x, 15) << "25 pixels along (3, 4) / 5";
    EXPECT_EQ(directional.vector0.y, 20);

    directional.vector0 = {30, 40};
    dragHandle(directional, HitFirstBehind, {{40, 60}}, Constraint::KeepLength);
    EXPECT_EQ(directional.vector0.x, -50);
    EXPECT_EQ(directional.vector0.y, 0);

    // Nothing to scale: the mouse on the centre, or a direction of length 0.
    dragHandle(directional, HitFirstBehind, {{50, 60}}, Constraint::KeepLength);
    EXPECT_EQ(directional.vector0.x, -50);
    directional.vector0 = {0, 0};
    dragHandle(directional, HitFirstBehind, {{90, 90}}, Constraint::KeepDirection);
    EXPECT_EQ(directional.vector0.x, 0);
    EXPECT_EQ(directional.vector0.y, 0);

    EXPECT_EQ(constraintOf(true, true), Constraint::KeepDirection);
    EXPECT_EQ(constraintOf(false, true), Constraint::KeepLength);
    EXPECT_EQ(constraintOf(false, false), Constraint::None);
}

TEST(LightGeometry, ASpotsAxesStayPerpendicularWithTheSecondNeverLonger) {
    LightSource spot = lightAt(Spot, 50, 60);
    spot.vector0 = {40, 0};
    spot.vector1 = {0, 20};
    // The first axis dragged shorter than the second shortens the second.
    dragHandle(spot, HitFirstAhead, {{60, 60}});
    EXPECT_EQ(spot.vector0.x, 10);
    EXPECT_EQ(spot.vector1.x, 0);
    EXPECT_EQ(spot.vector1.y, 10);

    // The second axis dragged beyond the first lengthens the first.
    dragHandle(spot, HitSecondAhead, {{50, 100}, {50, 130}});
    EXPECT_EQ(spot.vector1.y, 70);
    EXPECT_EQ(spot.vector0.x, 70);
    EXPECT_EQ(spot.vector0.y, 0);
    // To the centre: a second axis of length 0 leaves the first as it was.
    dragHandle(spot, HitSecondBehind, {{50, 60}});
    EXPECT_EQ(spot.vector0.x, 70);
    EXPECT_EQ(spot.vector1.y, 0);

    spot.vector0 = {30, 30};
    spot.vector1 = {-15, 15};
    for (int angle = 0; angle < 360; angle += 17) {
        const PixelPoint p{50 + int(60 * std::cos(angle * 0.01745)),
                           60 + int(45 * std::sin(angle * 0.01745))};
        for (HitCode code : {HitFirstAhead, HitSecondBehind}) {
            dragHandle(spot, code, {p});
            EXPECT_LE(std::abs(dot(spot.vector0, spot.vector1)), lengthOf(spot.vector0) * 1.5)
                << "nearly perpendicular after rounding, angle " << angle;
            EXPECT_LE(lengthOf(spot.vector1), lengthOf(spot.vector0) + 1) << angle;
        }
    }
    spot.vector0 = {30, 30};
    dragHandle(spot, HitFirstBehind, {{50, 30}}, Constraint::KeepDirection);
    EXPECT_EQ(cross(spot.vector0, {30, 30}), 0) << "Shift keeps a spot's direction too";
}

TEST(LightGeometry, DragsStopOnePixelInsideTheBorderAndDropsCountOnlyStrictlyInside) {
    const PixelRect client{0, 0, 216, 309};
    const PixelRect dragArea = client.shrunkByOne();
    EXPECT_EQ(dragArea.clamp({-40, 500}), (PixelPoint{1, 307}));
    EXPECT_EQ(dragArea.clamp({300, 0}), (PixelPoint{214, 1}));
    EXPECT_TRUE(client.containsStrictly({1, 308}));
    EXPECT_FALSE(client.containsStrictly({0, 100}));
    EXPECT_FALSE(client.containsStrictly({100, 309}));

    EXPECT_EQ(positionForCentre(lightAt(Spot, 50, 60), {7, 8}).x, -93);
}
