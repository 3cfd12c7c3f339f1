// Finds the bundled scene installed beside the running program, so that an installed quadray
// started from any folder opens the same scene as one started in the source tree.
#include "app/install_paths.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::string bundledSceneDirectory(bool quiet) {
    std::error_code error;
    // A dangling objects link counts as a folder here: today's "file not found" stays.
    if (fs::exists(fs::symlink_status("objects", error))) return "";
    // /proc/self/exe is the program itself with every link resolved, wherever it was started from.
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error) return "";
    const fs::path shared = program.parent_path().parent_path() / "share" / "quadray";
    if (!fs::is_directory(shared / "objects", error)) return "";
    if (!quiet)
        std::fprintf(stderr, "%s: no objects/ folder here; reading the bundled scene from %s\n",
                     program.filename().c_str(), shared.c_str());
    return shared.string();
}
