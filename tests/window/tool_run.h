// Small file and process helpers of the window tests that run kolbrix-tool on a folder of their own.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

// Writes `bytes` to `path`, making the folders above it.
inline void WriteTestFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// Runs `command` through the shell; its exit code, or -1 when it did not exit normally.
inline int ExitCodeOf(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
