// Puts the program-wide render state back to its start values between tests.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "base/statistics.h"
#include "objects/object.h"
#include "render/camera.h"
#include "render/clock.h"
#include "render/frame.h"
#include "render/frameless.h"
#include "render/quad_renderer.h"
#include "render/recording_presenter.h"
#include "render/sample_grid.h"
#include "render/shading.h"

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        stats = Statistics{};
        sceneList = nullptr;
        frameNumber = 0;
        fillPolygons = 1;
        borderMode = 0;
        objectCountView = 0;
        frameless = 0;
        qualityLevel = 1;
        quadsDrawn = 0;
        raysThisFrame = 0;
        rayFrameRate = 0;
        readTicks = monotonicTicks;
        framelessBatchLimit = 0;
        initRenderer(setup);
    }
    void TearDown() override {
        sceneList = nullptr;
        readTicks = monotonicTicks;
        framelessBatchLimit = 0;
        for (Object* o : built) o->methods->destroy(o);
    }

    // Objects a test builds; the program never frees its scene, the tests do.
    Object* keep(Object* object) {
        built.push_back(object);
        return object;
    }

    // The window as the program opens it.
    void openWindow640x480() { reshapeWindow(setup, 640, 480); }

    RecordingPresenter setup;   // what initialisation and reshape asked for
    RecordingPresenter screen;  // what the frames drew
    std::vector<Object*> built;
};
