// Where an installed program finds the bundled scene: beside itself, in BIN/../share/quadray.
#pragma once

#include <string>

// The directory to read the bundled scene from when the command line names neither FILE nor
// --dir: empty (the working directory, as always) when the working directory has an objects/
// folder or nothing is installed beside the running program, otherwise BIN/../share/quadray,
// which is then named in one line on standard error unless quiet.
std::string bundledSceneDirectory(bool quiet);
