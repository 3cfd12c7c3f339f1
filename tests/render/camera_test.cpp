// The camera after start-up, primary rays, aiming and rotation.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>

#include "objects/object.h"
#include "render/shading.h"
#include "render_fixture.h"
#include "trace/ray.h"

namespace {

void expectNear(const Vector3& v, double x, double y, double z, double tolerance = 1e-6) {
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

using Camera_ = RenderTest;

TEST_F(Camera_, StartsAimedAtTheArenaWithUnitVectors) {
    ASSERT_EQ(setup.calls.size(), 2u);
    EXPECT_EQ(setup.calls[0].kind, DrawCall::DepthTestOff);
    EXPECT_EQ(setup.calls[1].kind, DrawCall::DrawBuffer);
    EXPECT_EQ(setup.calls[1].value, 0);  // the back buffer

    EXPECT_EQ(camera.location, (Vector3{-0.664095, 1.810505, 4.61224}));
    expectNear(camera.direction, 0.398005, -0.061048, -0.915350);
    expectNear(camera.right, -0.917060, 0, -0.398749);
    expectNear(camera.up, 0.024343, 0.998135, -0.055985);
    EXPECT_NEAR(length(camera.direction), 1, 1e-15);
    EXPECT_NEAR(length(camera.up), 1, 1e-15);
    EXPECT_NEAR(length(camera.right), 1, 1e-15);

    const Light* light = sceneLight();
    EXPECT_EQ(light->location, (Vector3{200, 500, 200}));
    EXPECT_EQ(light->colour, (Vector3{1, 1, 1}));
}

TEST_F(Camera_, PrimaryRayOfTheCentreSampleIsNotTheViewDirection) {
    openWindow640x480();
    Ray ray;
    primaryRay(ray, 320, 240, sampleGrid.width, sampleGrid.height);
    const double u = 320.0 / 641 - 0.5, v = 240.0 / 481 - 0.5;
    EXPECT_EQ(ray.origin, camera.location);
    EXPECT_EQ(ray.direction, camera.direction + u * camera.right + v * camera.up);
    EXPECT_NE(ray.direction, camera.direction);
}

TEST_F(Camera_, PrimaryRaysSpanTheImagePlaneFromItsLowerLeftCorner) {
    camera = {{0, 0, 0}, {0, 0, 1}, {2, 0, 0}, {0, 1, 0}};
    Ray ray;
    primaryRay(ray, 0, 0, 4, 2);
    EXPECT_EQ(ray.direction, (Vector3{-1, -0.5, 1}));
    primaryRay(ray, 3, 1, 4, 2);
    EXPECT_EQ(ray.direction, (Vector3{0.5, 0, 1}));
}

TEST_F(Camera_, LookAtKeepsLengthsAndHandedness) {
    camera = {{0, 0, 0}, {0, 0, 3}, {-2, 0, 0}, {0, 0.5, 0}};
    lookAt(10, 0, 0);
    expectNear(camera.direction, 3, 0, 0, 1e-15);
    expectNear(camera.up, 0, 0.5, 0, 1e-15);
    // The camera was left-handed (right negated), and stays so.
    expectNear(camera.right, 0, 0, 2, 1e-15);
}

// Error lines go to standard output; death tests read standard error.
void redirectStdoutToStderr() { dup2(2, 1); }

TEST(CameraDeathTest, LookAtTheEyeItselfStopsTheProgram) {
    camera = {{1, 2, 3}, {0, 0, 1}, {1, 0, 0}, {0, 1, 0}};
    EXPECT_EXIT((redirectStdoutToStderr(), lookAt(1, 2, 3)), ::testing::ExitedWithCode(255),
                "^ERROR \\(100\\): main - Camera location and look_at point must be different\\.\n$");
}

TEST(CameraDeathTest, LookAtStraightUpStopsTheProgram) {
    camera = {{1, 2, 3}, {0, 0, 1}, {1, 0, 0}, {0, 1, 0}};
    EXPECT_EXIT((redirectStdoutToStderr(), lookAt(1, 7, 3)), ::testing::ExitedWithCode(255),
                "^ERROR \\(100\\): main - DOMAIN Error in look_at\n$");
}

TEST(RotateAboutAxis, QuarterTurnAboutZ) {
    Vector3 v{1, 0, 0};
    rotateAboutAxis(M_PI / 2, {0, 0, 1}, v);
    EXPECT_NEAR(v.x, 0, 1e-15);
    EXPECT_NEAR(v.y, 1, 1e-15);
    EXPECT_NEAR(v.z, 0, 1e-15);
}

TEST(RotateAboutAxis, KeepsLengthAndLeavesTheAxisInPlace) {
    const Vector3 axis = normalize({1, 2, 3});
    Vector3 v{3, -1, 2}, along = axis * 2.5;
    rotateAboutAxis(0.7, axis, v);
    rotateAboutAxis(0.7, axis, along);
    EXPECT_NEAR(length(v), std::sqrt(14.0), 1e-13);
    EXPECT_NEAR(dot(v, axis), dot(Vector3{3, -1, 2}, axis), 1e-13);
    expectNear(along, axis.x * 2.5, axis.y * 2.5, axis.z * 2.5, 1e-14);
}

TEST(RotateAboutAxis, PositiveAngleTurnsCounterClockwiseSeenFromTheAxisTip) {
    Vector3 v{0, 1, 0};
    rotateAboutAxis(M_PI / 6, {1, 0, 0}, v);
    EXPECT_NEAR(v.y, std::cos(M_PI / 6), 1e-15);
    EXPECT_NEAR(v.z, 0.5, 1e-15);
}

}  // namespace
