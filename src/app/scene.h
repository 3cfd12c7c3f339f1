// The scene every ray is traced against, and its assembly from the three scene files.
#pragma once

#include <string>

struct Object;

extern Object* sceneList;

// Parses objects/cycle.pov, objects/arena.pov and objects/recognizer.pov (below directory,
// or the working directory when it is empty), places the recognizer, joins the three into
// one union that becomes sceneList, and prints the "Parsing done..." notice.
void loadScene(const std::string& directory = "");
