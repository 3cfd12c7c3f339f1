// Loading the scene again when one of its files is saved: the files' modification times are
// compared from the idle callback, at most every RELOAD_CHECK_MS.
#pragma once

inline constexpr unsigned RELOAD_CHECK_MS = 250;

// Remembers the scene files as they are now; later changes are measured against this.
void watchSceneFiles();
enum class Reload { Unchanged, Loaded, Failed };

// Loads the scene again when the files are watched, a scene file changed since the last look
// and the check is due: Loaded when a new scene replaced the old one, Failed when the load
// ended with an error and the old scene stays.
Reload reloadIfChanged();
