// The point lights of the scene, in the order the scene files give them.
#pragma once

#include <vector>

#include "objects/texture.h"

// Replaces the scene's lights; between frames only, while no thread traces. Each light keeps
// its own shadow caches, so they are all forgotten. An empty list (the files have no light)
// lets every object be lit by its own light link, the start light.
void setSceneLights(std::vector<Light> lights);
// The lights last set; empty until a scene sets some.
const std::vector<Light>& sceneLights();
