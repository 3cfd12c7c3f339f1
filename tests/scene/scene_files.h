// Scene-language test helpers: a temporary scene file per test, a clean tokenizer before
// each test, and the exact error line of a fatal error in a forked process.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "scene/source_stack.h"

// The child process of a death test ends in exit(), which runs none of the test's
// destructors, so the files it made would stay behind. Every process removes the files it
// made and has not removed yet when it exits; those of its parent are left to the parent.
struct UnremovedSceneFiles {
    std::vector<std::pair<pid_t, std::string>> files;  // maker and path
    ~UnremovedSceneFiles() {
        for (const auto& [maker, path] : files)
            if (maker == getpid()) unlink(path.c_str());
    }
};

inline UnremovedSceneFiles& unremovedSceneFiles() {
    static UnremovedSceneFiles files;
    return files;
}

// A scene file with the given text, removed when the test ends.
class SceneFile {
public:
    explicit SceneFile(const std::string& text) {
        const char* tmp = std::getenv("TMPDIR");
        path_ = std::string(tmp && *tmp ? tmp : "/tmp") + "/quadray_scene_XXXXXX";
        const int fd = mkstemp(path_.data());
        EXPECT_GE(fd, 0);
        EXPECT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
        close(fd);
        unremovedSceneFiles().files.emplace_back(getpid(), path_);
    }
    ~SceneFile() {
        unlink(path_.c_str());
        auto& files = unremovedSceneFiles().files;
        files.erase(std::remove(files.begin(), files.end(), std::make_pair(getpid(), path_)), files.end());
    }
    SceneFile(const SceneFile&) = delete;
    SceneFile& operator=(const SceneFile&) = delete;

    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

// Every test starts from a tokenizer that has read nothing.
class SceneLanguageTest : public ::testing::Test {
protected:
    void SetUp() override { reset_tokenizer(); }
    void TearDown() override { reset_tokenizer(); }

    // Opens a new scene file holding text as the tokenizer's current file.
    void open(const std::string& text) {
        files_.emplace_back(new SceneFile(text));
        open_scene_file(files_.back()->path());
    }

private:
    std::vector<std::unique_ptr<SceneFile>> files_;
};

// Runs statement in a child process whose standard output goes to the captured stream, and
// expects exactly one line and exit status 255.
#define EXPECT_FATAL_LINE(statement, line)                                                   \
    EXPECT_EXIT(                                                                             \
        {                                                                                    \
            dup2(STDERR_FILENO, STDOUT_FILENO);                                              \
            statement;                                                                       \
        },                                                                                   \
        ::testing::ExitedWithCode(255), ::testing::Eq(std::string(line) + "\n"))
