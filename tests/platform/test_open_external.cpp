// The desktop's opener: the game hands it a target and goes on at once, whatever the opener does; a relative target
// names a file of the program folder. A stand-in xdg-open on PATH waits for the test's go-ahead, so the test knows
// the call came back while the opener was still running, and then writes down what it was asked to open.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "test_support.h"

namespace {

constexpr auto PollStep = std::chrono::milliseconds(20);
constexpr int PollSteps = 500;         // ten seconds: far more than a stand-in that is let go needs

// Writes "started" (its process id) on start, waits for "release" (at most ten seconds, so a caller that waits for
// it still ends), then writes "outputs" (where its standard output and error go) and "opened" (its argument).
// Each file appears whole, by a rename.
const char* StandInOpener = R"(#!/bin/sh
dir="$(dirname "$0")/.."
echo $$ > "$dir/started.tmp"; mv "$dir/started.tmp" "$dir/started"
i=0
while [ ! -e "$dir/release" ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); done
out=$(readlink /proc/$$/fd/1); err=$(readlink /proc/$$/fd/2)
printf '%s\n%s\n' "$out" "$err" > "$dir/outputs.tmp"
printf '%s' "$1" > "$dir/opened.tmp"
mv "$dir/outputs.tmp" "$dir/outputs"
mv "$dir/opened.tmp" "$dir/opened"
)";

class OpenExternal : public ::testing::Test {
protected:
    void SetUp() override {
        const char* path = std::getenv("PATH");
        hadPath = path != nullptr;
        if (hadPath) savedPath = path;
        folder.Write("bin/xdg-open", StandInOpener);
        std::filesystem::permissions(folder.path / "bin/xdg-open", std::filesystem::perms::owner_all);
        folder.Write("empty/.keep", "");
        UsePath((folder.path / "bin").string() + ":/usr/bin:/bin");
    }
    void TearDown() override {
        Release();      // a stand-in still waiting ends now instead of after its ten seconds
        if (hadPath) setenv("PATH", savedPath.c_str(), 1);
        else unsetenv("PATH");
    }

    static void UsePath(const std::string& path) { setenv("PATH", path.c_str(), 1); }
    bool Exists(const std::string& name) const { return std::filesystem::exists(folder.path / name); }
    void Release() const { folder.Write("release", ""); }
    void Forget() const {
        for (const char* name : {"started", "outputs", "opened", "release"}) std::filesystem::remove(folder.path / name);
    }
    bool WaitFor(const std::string& name) const {
        for (int step = 0; step < PollSteps; ++step) {
            if (Exists(name)) return true;
            std::this_thread::sleep_for(PollStep);
        }
        return false;
    }

    TempProgramFolder folder;       // the program folder, with the stand-in in bin/
    bool hadPath = false;
    std::string savedPath;
};

}  // namespace

TEST_F(OpenExternal, ReturnsWhileTheOpenerStillRunsAndLeavesItToTheSystem) {
    ASSERT_TRUE(PlatformStartOpener("kolbrix.html"));
    // The stand-in cannot have finished: it is still waiting for the release that only comes below.
    EXPECT_FALSE(Exists("opened")) << "the call waited for the opener to end";
    ASSERT_TRUE(WaitFor("started")) << "the opener never started";
    const pid_t opener = static_cast<pid_t>(std::atol(folder.Read("started").c_str()));
    ASSERT_GT(opener, 0);

    Release();
    ASSERT_TRUE(WaitFor("opened"));
    EXPECT_EQ(folder.Read("opened"), ProgramFolder() + "kolbrix.html");
    EXPECT_EQ(folder.Read("opened").substr(0, 1), "/");
    EXPECT_EQ(folder.Read("outputs"), "/dev/null\n/dev/null\n");
    // Not the game's child: nothing is left for the game to reap, however long the opener runs.
    int status = 0;
    errno = 0;
    EXPECT_EQ(waitpid(opener, &status, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST_F(OpenExternal, RelativeTargetsNameFilesOfTheProgramFolderAndOthersPassAsTheyAre) {
    struct Case {
        std::string target;
        bool inProgramFolder;
    };
    const std::vector<Case> cases = {
        {"kolbrix.html", true},
        {"docs/help page.html", true},
        {"lvlpckKolbrix", true},
        {"https://example.org/kolbrix?level=1&pack=2", false},
        {"file:///usr/share/doc/index.html", false},
        {"/usr/share/doc", false},
    };
    for (const Case& c : cases) {
        Forget();
        Release();
        ASSERT_TRUE(PlatformStartOpener(c.target)) << c.target;
        ASSERT_TRUE(WaitFor("opened")) << c.target;
        EXPECT_EQ(folder.Read("opened"), c.inProgramFolder ? ProgramFolder() + c.target : c.target);
    }
}

TEST_F(OpenExternal, WithoutAnOpenerOnThePathNothingStarts) {
    UsePath((folder.path / "empty").string());
    EXPECT_FALSE(PlatformStartOpener("kolbrix.html"));
}

TEST_F(OpenExternal, TheHeadlessBackEndRecordsTargetsAsGiven) {
    UseHeadless();
    PlatformOpenExternal("kolbrix.html");
    PlatformOpenExternal("https://example.org/kolbrix");
    EXPECT_EQ(Headless.opened, (std::vector<std::string>{"kolbrix.html", "https://example.org/kolbrix"}));
}
