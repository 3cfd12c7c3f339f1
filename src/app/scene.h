// Assembly of the scene from the three scene files, or from one file.
#pragma once

#include <string>

// Parses objects/cycle.pov, objects/arena.pov and objects/recognizer.pov (below directory,
// or the working directory when it is empty), places the recognizer, joins the three into
// one union that becomes sceneList, and prints the "Parsing done..." notice.
void loadScene(const std::string& directory = "");
// Parses one scene file whose object is the whole scene: nothing is joined or placed.
void loadSceneFile(const std::string& path);
