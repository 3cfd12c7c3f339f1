// File watching for reload on save, of the scene files and every file they include. An editor
// may write the file in place, or write a new file and rename it over the old one, so the
// inode and size are compared with the time.
#include "app/reload.h"

#include <sys/stat.h>

#include <string>
#include <vector>

#include "app/scene.h"
#include "render/clock.h"

namespace {

struct FileState {
    bool exists = false;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};

    bool operator==(const FileState& o) const {
        return exists == o.exists && inode == o.inode && size == o.size && modified.tv_sec == o.modified.tv_sec &&
               modified.tv_nsec == o.modified.tv_nsec;
    }
};

bool watching = false;  // off until watchSceneFiles, so --no-reload never looks
std::vector<FileState> watched;
std::uint32_t lastCheck = 0;

FileState stateOf(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return {};
    return {true, info.st_ino, info.st_size, info.st_mtim};
}

std::vector<FileState> currentStates() {
    std::vector<FileState> states;
    for (const std::string& path : watchedSceneFiles()) states.push_back(stateOf(path));
    return states;
}

}  // namespace

void watchSceneFiles() {
    watching = true;
    watched = currentStates();
    lastCheck = readTicks();
}

Reload reloadIfChanged() {
    const std::uint32_t now = readTicks();
    if (!watching || now - lastCheck < RELOAD_CHECK_MS) return Reload::Unchanged;
    lastCheck = now;
    std::vector<FileState> states = currentStates();
    if (states == watched) return Reload::Unchanged;
    // A failed load is not tried again until the files change once more.
    const std::vector<std::string> paths = watchedSceneFiles();
    const bool reloaded = reloadScene();
    // The new text may include other files: those are watched from now on, as they are now.
    watched = paths == watchedSceneFiles() ? std::move(states) : currentStates();
    return reloaded ? Reload::Loaded : Reload::Failed;
}
