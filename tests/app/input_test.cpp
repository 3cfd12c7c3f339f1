// Key commands, mouse steering with its printed lines, and the frame report.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/input.h"
#include "app/png_image.h"
#include "render/camera.h"
#include "render/frame.h"
#include "render/quad_renderer.h"
#include "render/recording_presenter.h"
#include "render/refinement.h"

namespace {

class Input : public ::testing::Test {
protected:
    void SetUp() override {
        fillPolygons = 1;
        borderMode = objectCountView = frameless = 0;
        printStatistics = 1;
        showOverlay = 0;
        refineEnabled = 1;
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

std::string printedByKey(int key) {
    ::testing::internal::CaptureStdout();
    specialKeyPressed(key);
    std::fflush(stdout);
    return ::testing::internal::GetCapturedStdout();
}

void expectSameCamera(const Camera& a, const Camera& b) {
    EXPECT_EQ(a.location, b.location);
    EXPECT_EQ(a.direction, b.direction);
    EXPECT_EQ(a.right, b.right);
    EXPECT_EQ(a.up, b.up);
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
    for (int key : {int{'z'}, int{'x'}, int{'q'}, int{'1'}, int{' '}, int{'\r'}, 200})
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

// Each flying key moves the camera exactly as its drag of 10 pixels does, and prints the
// same lines.
TEST_F(Input, FlyingKeysStepAsTheirDrags) {
    struct Case {
        int key, button, dx, dy;  // the drag in pixels, y downwards
    };
    const Case cases[] = {
        {KEY_UP, RIGHT_BUTTON, 0, 10},    {KEY_DOWN, RIGHT_BUTTON, 0, -10},    {KEY_HOME, LEFT_BUTTON, -10, 0},
        {KEY_END, LEFT_BUTTON, 10, 0},    {KEY_PAGE_UP, LEFT_BUTTON, 0, 10}, {KEY_PAGE_DOWN, LEFT_BUTTON, 0, -10},
    };
    const Camera start = camera;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        camera = start;
        ::testing::internal::CaptureStdout();
        mouseButton(c.button, true, 100, 100);
        mouseMoved(100 + c.dx, 100 + c.dy);
        mouseButton(c.button, false, 100 + c.dx, 100 + c.dy);
        const std::string dragLines = ::testing::internal::GetCapturedStdout();
        const Camera dragged = camera;

        camera = start;
        EXPECT_EQ(printedByKey(c.key), dragLines);
        expectSameCamera(camera, dragged);
    }
    EXPECT_EQ(mouseMode, NO_BUTTON);
    camera = start;
    camera.right = cross(start.up, start.direction);  // the way round the scene's camera is
    printedByKey(KEY_PAGE_UP);
    EXPECT_GT(dot(camera.direction, start.up), 0) << "Page Up looks up";
}

// Left and Right turn towards the picture's left and right edges whichever way round the
// camera's vectors are, and undo each other.
TEST_F(Input, LeftAndRightTurnAboutUp) {
    for (double handedness : {1.0, -1.0}) {
        SCOPED_TRACE(handedness);
        camera.right = handedness * Vector3{0.8, 0, 0.6} * 1.5;  // as wide as a reshape makes it
        const Camera before = camera;
        const std::string printed = printedByKey(KEY_RIGHT);
        EXPECT_EQ(printed, linesFor(camera));
        EXPECT_NEAR(dot(camera.direction, before.direction), std::cos(TURN_STEP), 1e-14);
        EXPECT_NEAR(dot(camera.direction, normalize(before.right)), std::sin(TURN_STEP), 1e-14);
        EXPECT_NEAR(length(camera.right), 1.5, 1e-14);
        EXPECT_EQ(camera.location, before.location);
        EXPECT_NEAR(length(camera.up - before.up), 0, 1e-15);
        printedByKey(KEY_LEFT);
        printedByKey(KEY_LEFT);
        EXPECT_NEAR(dot(camera.direction, normalize(before.right)), -std::sin(TURN_STEP), 1e-14);
        printedByKey(KEY_RIGHT);
        EXPECT_NEAR(length(camera.direction - before.direction), 0, 1e-14);
        EXPECT_NEAR(length(camera.right - before.right), 0, 1e-14);
        camera = before;
    }
}

TEST_F(Input, OtherSpecialKeysLeaveTheCamera) {
    const Camera before = camera;
    for (int key : {KEY_F2, KEY_F3, 1, 99, 108, 200}) EXPECT_EQ(printedByKey(key), "");
    expectSameCamera(camera, before);
}

// r goes back to the camera kept at start-up, as wide as the window is now.
TEST_F(Input, RReturnsToTheStartCamera) {
    const Camera start = camera;
    rememberStartCamera();
    for (int key : {KEY_UP, KEY_LEFT, KEY_HOME, KEY_PAGE_UP}) printedByKey(key);
    camera.right = normalize(camera.right) * 2.0;  // a wider window
    ::testing::internal::CaptureStdout();
    keyReleased(screen, 'R');
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), linesFor(start));
    EXPECT_EQ(camera.location, start.location);
    EXPECT_EQ(camera.direction, start.direction);
    EXPECT_EQ(camera.up, start.up);
    EXPECT_EQ(camera.right, normalize(start.right) * 2.0);
    EXPECT_TRUE(screen.calls.empty());
}

TEST_F(Input, HTogglesTheReadoutOfTheLastFrame) {
    keyReleased(screen, 'h');
    EXPECT_EQ(showOverlay, 1);
    keyReleased(screen, 'H');
    EXPECT_EQ(showOverlay, 0);
    raysThisFrame = 36158;
    quadsDrawn = 16882;
    qualityLevel = 3;
    frameless = 1;
    const std::vector<std::string> lines = overlayLines(12.345, 2, 0);
    const std::vector<std::string> expected = {"fps       12.3",      "rays      36158", "quads     16882",
                                               "quality   3",         "renderer  frameless",
                                               "threads   2",         "samples   -"};
    EXPECT_EQ(lines, expected);
    frameless = 0;
    EXPECT_EQ(overlayLines(0, 1, 0)[4], "renderer  quad");
    EXPECT_EQ(overlayLines(0, 1, 7)[6], "samples   7");
}

// a switches refinement; each finished pass prints a line, the last one a second, and s
// silences both.
TEST_F(Input, RefiningKeyAndLines) {
    keyReleased(screen, 'A');
    EXPECT_EQ(refineEnabled, 0);
    keyReleased(screen, 'a');
    EXPECT_EQ(refineEnabled, 1);
    Refinement refinement;
    refinement.samples = 4;
    refinement.sums.samples = 3;
    refinement.passRays = 307200;
    refinement.passMs = 200;
    const auto report = [&refinement] {
        ::testing::internal::CaptureStdout();
        printRefineReport(refinement);
        return ::testing::internal::GetCapturedStdout();
    };
    EXPECT_EQ(report(), "refined: 3 of 4 samples per pixel, 307200 rays @ 1536000 rays per second\n");
    refinement.sums.samples = 4;
    EXPECT_EQ(report(), "refined: 4 of 4 samples per pixel, 307200 rays @ 1536000 rays per second\n"
                        "refined: done, 4 samples per pixel\n");
    keyReleased(screen, 's');
    EXPECT_EQ(report(), "");
}

// Pictures go to the first free quadray-NNNN.png of the working directory; one that cannot
// be written is reported on standard error and nothing else happens.
TEST_F(Input, PicturesTakeTheNextFreeName) {
    const char* tmp = std::getenv("TMPDIR");
    std::string directory = std::string(tmp && *tmp ? tmp : "/tmp") + "/quadray_pictures_XXXXXX";
    ASSERT_NE(mkdtemp(directory.data()), nullptr);
    char* home = getcwd(nullptr, 0);
    ASSERT_EQ(chdir(directory.c_str()), 0);
    const RgbImage picture = makeImage(3, 2);
    std::string printed;
    ::testing::internal::CaptureStdout();
    savePicture(picture);
    std::fclose(std::fopen("quadray-0002.png", "w"));
    savePicture(picture);
    printed = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, "saved quadray-0001.png\nsaved quadray-0003.png\n");
    EXPECT_EQ(access("quadray-0003.png", R_OK), 0);
    for (const char* name : {"quadray-0001.png", "quadray-0002.png", "quadray-0003.png"}) unlink(name);
    ASSERT_EQ(rmdir(directory.c_str()), 0);  // the working directory is gone: nothing can be written

    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    savePicture(picture);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "quadray: cannot write quadray-0001.png\n");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(chdir(home), 0);
    std::free(home);
}

}  // namespace
