// A stand-in for kolbrix-tool: a shell script the test writes, which writes down every command line it was started
// with, answers `play` and `solve` as the test told it (files beside it), and reports on standard error like the
// solver. The game's side (shell/tool_jobs.h) then runs against a real child process.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "shell/tool_jobs.h"

struct StandInTool {
    std::filesystem::path folder;

    // Writes the script into `parent`/tool/ and makes it the tool the game starts.
    explicit StandInTool(const std::filesystem::path& parent) : folder(parent / "tool") {
        std::filesystem::create_directories(folder);
        Put("kolbrix-tool", Script);
        std::filesystem::permissions(folder / "kolbrix-tool", std::filesystem::perms::owner_all);
        toolSetup.program = Program();
    }
    ~StandInTool() {
        Put("go", "");          // a stand-in still waiting ends at once
        toolSetup = ToolSetup{};
    }

    std::string Program() const { return (folder / "kolbrix-tool").string(); }
    std::string File(const std::string& name) const { return (folder / name).string(); }
    void Put(const std::string& name, const std::string& bytes) const {
        std::ofstream(folder / name, std::ios::binary) << bytes;
    }
    std::string Get(const std::string& name) const {
        std::ifstream in(folder / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // `solve` ends with `code`, having written `progress` (one report a line) and `errors` on standard error,
    // `keys` to its --out file (when not empty) and `answer` on standard output.
    void Solve(int code, const std::string& answer, const std::string& keys, const std::string& progress = "",
               const std::string& errors = "") const {
        Put("solve-exit", std::to_string(code));
        Put("solve-answer", answer);
        Put("solve-progress", progress);
        Put("solve-errors", errors);
        if (keys.empty()) std::filesystem::remove(folder / "solve-keys");
        else Put("solve-keys", keys);
    }
    // `solve` reports `progress` and then waits, until "go" appears (or for thirty seconds), before it answers.
    void SolveWaits() const { Put("solve-waits", ""); }
    // `play` at difficulty `difficulty` ends with `code` (1, "not completed", for any difficulty not named).
    void PlayEnds(int difficulty, int code) const {
        Put("play-exit-" + std::to_string(difficulty), std::to_string(code));
    }
    void Go() const { Put("go", ""); }

    // Every command line the stand-in was started with, without the program.
    std::vector<std::vector<std::string>> Calls() const {
        std::vector<std::vector<std::string>> calls;
        std::ifstream in(folder / "calls");
        for (std::string line; std::getline(in, line);) {
            if (line == "--call") calls.emplace_back();
            else if (!calls.empty()) calls.back().push_back(line);
        }
        return calls;
    }

    static constexpr const char* Script = R"SH(#!/bin/sh
dir=$(dirname "$0")
{ echo --call; for a in "$@"; do echo "$a"; done; } >> "$dir/calls"
command=$1
out=""
difficulty=0
while [ $# -gt 0 ]; do
    case "$1" in
        --out) out=$2; shift ;;
        --difficulty) difficulty=$2; shift ;;
    esac
    shift
done
if [ "$command" = play ]; then
    exit "$(cat "$dir/play-exit-$difficulty" 2>/dev/null || echo 1)"
fi
if [ -e "$dir/solve-waits" ]; then echo $$ > "$dir/pid.tmp"; mv "$dir/pid.tmp" "$dir/pid"; fi
cat "$dir/solve-progress" >&2 2>/dev/null
if [ -e "$dir/solve-waits" ]; then
    i=0
    while [ ! -e "$dir/go" ] && [ $i -lt 1500 ]; do sleep 0.02; i=$((i+1)); done
fi
if [ -f "$dir/solve-keys" ] && [ -n "$out" ]; then cp "$dir/solve-keys" "$out"; fi
cat "$dir/solve-answer" 2>/dev/null
cat "$dir/solve-errors" >&2 2>/dev/null
exit "$(cat "$dir/solve-exit" 2>/dev/null || echo 0)"
)SH";
};
