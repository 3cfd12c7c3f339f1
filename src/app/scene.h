// Assembly of the scene from the three scene files, or from one file, and loading it again
// when those files change.
#pragma once

#include <string>
#include <vector>

struct Options;

// Loads the scene the command line names (one file, or the three files below --dir), with
// large unions regrouped into a bounding hierarchy unless --flat-unions, and warnings about the
// scene unless --quiet; reloads keep these settings.
void loadScene(const Options& options);

// Parses objects/cycle.pov, objects/arena.pov and objects/recognizer.pov (below directory,
// or the working directory when it is empty), places the recognizer, joins the three into
// one union that becomes sceneList, and prints the "Parsing done..." notice.
void loadScene(const std::string& directory = "");
// Parses one scene file whose object is the whole scene: nothing is joined or placed.
void loadSceneFile(const std::string& path);

// Puts the camera and the light where the scene's camera and light statements say; without
// them they stay as the renderer's set-up left them. Once, after that set-up.
void applySceneView();

// The files the scene is read from, as they were opened.
const std::vector<std::string>& sceneFiles();
// Those files and every file they include, as far as the last load read them: a change to any
// of them is a change to the scene.
const std::vector<std::string>& watchedSceneFiles();
// Loads the scene again from the same files. On success the new scene replaces the old one,
// which is freed, the light follows the new files and the camera a changed camera statement,
// and "Parsing done..." is printed; on an error its line is printed and the old scene, camera
// and light stay. True on success.
bool reloadScene();
