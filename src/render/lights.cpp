// The scene's list of point lights.
#include "render/lights.h"

#include <utility>

#include "render/shading.h"

static std::vector<Light> lights;

void setSceneLights(std::vector<Light> list) {
    lights = std::move(list);
    forgetShadowCaches();
}

const std::vector<Light>& sceneLights() { return lights; }
