// Shared fixtures for the tests: a temporary program folder and a fresh headless back end.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "platform/headless.h"
#include "platform/platform.h"
#include "base/files.h"

// A fresh temporary folder that is removed again at the end of the test; it is made the program folder.
struct TempProgramFolder {
    std::filesystem::path path;

    TempProgramFolder() {
        static int counter = 0;
        path = std::filesystem::temp_directory_path() /
               ("kolbrix-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        SetProgramFolder(Folder());
    }
    ~TempProgramFolder() {
        SetProgramFolder("");
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string Folder() const { return path.string() + "/"; }
    std::string File(const std::string& name) const { return (path / name).string(); }
    void Write(const std::string& name, const std::string& bytes) const {
        std::filesystem::create_directories((path / name).parent_path());
        std::ofstream out(path / name, std::ios::binary);
        out << bytes;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(path / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
};

// Starts the headless back end afresh.
inline void UseHeadless() {
    static char name[] = "kolbrix-test";
    static char* argv[] = {name, nullptr};
    PlatformInit(PlatformBackend::Headless, 1, argv);
    HeadlessReset();
}
