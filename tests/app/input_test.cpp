// Key commands, mouse steering with its printed lines, and the frame report.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "app/input.h"
#include "render/camera.h"
#include "render/frame.h"
#include "render/quad_renderer.h"
#include "render/recording_presenter.h"

namespace {

class Input : public ::testing::Test {
protected:
    void SetUp() override {
        fillPolygons = 1;
        borderMode = objectCountView = frameless = 0;
        printStatistics = 1;
        qualityLevel = 1;
        mouseMode = NO_BUTTON;
        lastX = lastY = 0;
        camera = {{1, 2, 3}, {0.6, 0, -0.8}, {0.8, 0, 0.6}, {0, 1, 0}};
    }
    RecordingPresenter screen;
};

std::string printedBy(void (*action)()) {
    ::testing::internal::CaptureStdout();
    action();
    std::fflush(stdout);
    return ::testing::internal::GetCapturedStdout();
}

std::string linesFor(const Camera& c) {
    char text[200];
    std::snprintf(text, sizeof text, "direction %f %f %f\nlocation %f %f %f\n", c.direction.x, c.direction.y,
                  c.direction.z, c.location.x, c.location.y, c.location.z);
    return text;
}

TEST_F(Input, PlusAndMinusChangeTheQualityLevel) {
    keyReleased(screen, '+');
    EXPECT_EQ(qualityLevel, 0);
    keyReleased(screen, '+');
    EXPECT_EQ(qualityLevel, 0);
    for (int i = 0; i < 12; ++i) keyReleased(screen, '-');
    EXPECT_EQ(qualityLevel, 12);
    keyReleased(screen, '=');  // + with shift already let go
    EXPECT_EQ(qualityLevel, 11);
    EXPECT_TRUE(screen.calls.empty());
}

TEST_F(Input, FramelessKeySelectsTheDrawBuffer) {
    keyReleased(screen, 'f');
    EXPECT_EQ(frameless, 1);
    keyReleased(screen, 'F');
    EXPECT_EQ(frameless, 0);
    ASSERT_EQ(screen.calls.size(), 2u);
    EXPECT_EQ(screen.calls[0].kind, DrawCall::DrawBuffer);
    EXPECT_EQ(screen.calls[0].value, 1);
    EXPECT_EQ(screen.calls[1].value, 0);
}

TEST_F(Input, PolygonKeySwitchesBetweenOutlineAndFill) {
    keyReleased(screen, 'p');
    EXPECT_EQ(fillPolygons, 0);
    keyReleased(screen, 'P');
    EXPECT_EQ(fillPolygons, 1);
    ASSERT_EQ(screen.calls.size(), 2u);
    EXPECT_EQ(screen.calls[0].kind, DrawCall::PolygonFill);
    EXPECT_EQ(screen.calls[0].value, 0);
    EXPECT_EQ(screen.calls[1].value, 1);
}

TEST_F(Input, ViewKeysToggleTheirFlagsInEitherCase) {
    keyReleased(screen, 'b');
    keyReleased(screen, 'c');
    keyReleased(screen, 's');
    EXPECT_EQ(borderMode, 1);
    EXPECT_EQ(objectCountView, 1);
    EXPECT_EQ(printStatistics, 0);
    keyReleased(screen, 'B');
    keyReleased(screen, 'C');
    keyReleased(screen, 'S');
    EXPECT_EQ(borderMode, 0);
    EXPECT_EQ(objectCountView, 0);
    EXPECT_EQ(printStatistics, 1);
}

TEST_F(Input, OtherKeysDoNothing) {
    for (int key : {int{'a'}, int{'x'}, int{'q'}, int{'1'}, int{' '}, int{'\r'}, 200})
        keyReleased(screen, static_cast<unsigned char>(key));
    EXPECT_TRUE(screen.calls.empty());
    EXPECT_EQ(qualityLevel, 1);
    EXPECT_EQ(fillPolygons, 1);
    EXPECT_EQ(borderMode + objectCountView + frameless, 0);
    EXPECT_EQ(printStatistics, 1);
}

TEST_F(Input, EscapeEndsTheProgramNormally) {
    EXPECT_EXIT(keyReleased(screen, 27), ::testing::ExitedWithCode(0), "");
}

TEST_F(Input, ButtonsSetTheModeAndHalfPixelPosition) {
    mouseButton(RIGHT_BUTTON, true, 101, 51);
    EXPECT_EQ(mouseMode, RIGHT_BUTTON);
    EXPECT_EQ(lastX, 50.5);
    EXPECT_EQ(lastY, 25.5);
    mouseButton(LEFT_BUTTON, true, 10, 20);  // another button replaces the mode
    EXPECT_EQ(mouseMode, LEFT_BUTTON);
    mouseButton(LEFT_BUTTON, false, 30, 40);
    EXPECT_EQ(mouseMode, NO_BUTTON);
    EXPECT_EQ(lastX, 15);
    EXPECT_EQ(lastY, 20);
}

TEST_F(Input, RightDragDownMovesForwardHalfADirectionPerPixel) {
    const Camera before = camera;
    mouseButton(RIGHT_BUTTON, true, 100, 100);
    const std::string out = printedBy([] { mouseMoved(100, 110); });
    EXPECT_EQ(camera.location, before.location + 5.0 * before.direction);
    EXPECT_EQ(camera.direction, before.direction);
    EXPECT_EQ(out, linesFor(camera));
    EXPECT_EQ(lastY, 55);

    mouseButton(MIDDLE_BUTTON, true, 100, 100);  // the middle button moves too, here backwards
    printedBy([] { mouseMoved(300, 96); });
    EXPECT_EQ(camera.location, before.location + 5.0 * before.direction + -2.0 * before.direction);
}

TEST_F(Input, LeftDragSidewaysRollsAboutTheViewDirection) {
    const Camera before = camera;
    mouseButton(LEFT_BUTTON, true, 100, 100);
    const std::string out = printedBy([] { mouseMoved(110, 100); });
    EXPECT_NEAR(camera.direction.x, before.direction.x, 1e-15);
    EXPECT_NEAR(camera.direction.y, before.direction.y, 1e-15);
    EXPECT_NEAR(camera.direction.z, before.direction.z, 1e-15);
    EXPECT_EQ(camera.location, before.location);
    // Rolled by -5 degrees about the view direction: up turns away from right.
    EXPECT_NEAR(dot(camera.up, before.up), std::cos(5 * M_PI / 180), 1e-14);
    EXPECT_NEAR(dot(camera.up, before.right), -std::sin(5 * M_PI / 180), 1e-14);
    EXPECT_NEAR(dot(camera.right, before.up), std::sin(5 * M_PI / 180), 1e-14);
    EXPECT_EQ(out, linesFor(camera));
    EXPECT_EQ(lastX, 55);
}

TEST_F(Input, LeftDragDownPitchesAboutRight) {
    const Camera before = camera;
    mouseButton(LEFT_BUTTON, true, 0, 0);
    printedBy([] { mouseMoved(0, 20); });
    // A quarter degree per pixel, so 5 degrees: the view tips downwards.
    EXPECT_NEAR(dot(camera.direction, before.direction), std::cos(5 * M_PI / 180), 1e-14);
    EXPECT_NEAR(dot(camera.direction, before.up), -std::sin(5 * M_PI / 180), 1e-14);
    EXPECT_NEAR(dot(camera.right, before.right), 1, 1e-14);
}

TEST_F(Input, MotionWithoutAButtonOnlyPrints) {
    const Camera before = camera;
    const std::string out = printedBy([] { mouseMoved(300, 200); });
    EXPECT_EQ(out, "direction 0.600000 0.000000 -0.800000\nlocation 1.000000 2.000000 3.000000\n");
    EXPECT_EQ(camera.up, before.up);
    EXPECT_EQ(lastX, 0);
}

TEST_F(Input, FrameReportLine) {
    raysThisFrame = 1234;
    quadsDrawn = 256;
    rayFrameRate = 61.234;
    EXPECT_EQ(printedBy(printFrameReport), "frameless: 1234 rpf, 256 quads @ refresh rate 30 (=61.23 fps) \n");
    printStatistics = 0;
    EXPECT_EQ(printedBy(printFrameReport), "");
}

}  // namespace
