#include "shell/tool_jobs.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/files.h"

ToolJob toolJob;
ToolSetup toolSetup;

namespace {

constexpr const char* ToolName = "kolbrix-tool";
constexpr std::int32_t KeptErrorLines = 64;
constexpr int ExitSolved = 0, ExitBudget = 1, ExitBadRequest = 2, ExitNotWinnable = 4;

// Standard error split into lines as it comes; the newest whole line that says something is the progress.
void TakeErrors(const std::string& text) {
    toolJob.errorsPending += text;
    for (std::size_t end = toolJob.errorsPending.find('\n'); end != std::string::npos;
         end = toolJob.errorsPending.find('\n')) {
        std::string line = toolJob.errorsPending.substr(0, end);
        toolJob.errorsPending.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        toolJob.progress = line;
        if (toolJob.errorLines.Count() >= KeptErrorLines) toolJob.errorLines.RemoveAt(1);
        toolJob.errorLines.Add(line);
    }
}

void TakeEverything() {
    toolJob.output += PlatformReadProcess(toolJob.process, ProcessStream::Output);
    TakeErrors(PlatformReadProcess(toolJob.process, ProcessStream::Errors));
}

std::string LastLine(const std::string& text) {
    std::size_t end = text.find_last_not_of("\r\n");
    if (end == std::string::npos) return "";
    const std::size_t newline = text.find_last_of('\n', end);
    const std::size_t start = newline == std::string::npos ? 0 : newline + 1;
    return text.substr(start, end - start + 1);
}

// Why the tool failed. A refused request it explains: its first line naming itself (its usage text follows that
// line), else its last line. Any other end (a crash, a code it never gives) is told by the exit code: the lines
// before it are only reports.
std::string FailureReason() {
    if (toolJob.exitCode == ExitBadRequest) {
        for (const std::string& line : toolJob.errorLines)
            if (line.rfind(ToolName, 0) == 0) return line;
        if (!toolJob.errorLines.Empty()) return toolJob.errorLines[toolJob.errorLines.Count()];
    }
    return std::string(ToolName) + ": exit code " + std::to_string(toolJob.exitCode);
}

ToolJobOutcome SolveJobOutcome() {
    switch (toolJob.exitCode) {
        case ExitSolved:
            // A solution counts only with its answer and its key script.
            if (ParseSolveAnswer(LastLine(toolJob.output), toolJob.answer) && toolJob.answer.result == "solved" &&
                PlatformFileExists(toolJob.request.keysPath))
                return ToolJobOutcome::Solved;
            toolJob.failure = std::string(ToolName) + ": no solution came with the answer";
            return ToolJobOutcome::Failed;
        case ExitBudget: return ToolJobOutcome::OutOfBudget;
        case ExitNotWinnable: return ToolJobOutcome::NotWinnable;
        default: toolJob.failure = FailureReason(); return ToolJobOutcome::Failed;
    }
}

ToolJobOutcome ReplayCheckOutcome() {
    if (toolJob.exitCode == 0) return ToolJobOutcome::Solved;
    if (toolJob.exitCode == 1) return ToolJobOutcome::NotWinnable;
    toolJob.failure = FailureReason();
    return ToolJobOutcome::Failed;
}

// The value after "key": in a JSON object, up to the next comma or brace (a string without its quotes); false when
// the key is not there.
bool JsonField(const std::string& line, const std::string& key, std::string& value) {
    const std::string quoted = "\"" + key + "\"";
    std::size_t at = line.find(quoted);
    if (at == std::string::npos) return false;
    at = line.find_first_not_of(" \t", at + quoted.size());
    if (at == std::string::npos || line[at] != ':') return false;
    at = line.find_first_not_of(" \t", at + 1);
    if (at == std::string::npos) return false;
    if (line[at] == '"') {
        const std::size_t end = line.find('"', at + 1);
        if (end == std::string::npos) return false;
        value = line.substr(at + 1, end - at - 1);
        return true;
    }
    const std::size_t end = line.find_first_of(",}", at);
    if (end == std::string::npos) return false;
    value = line.substr(at, end - at);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
    return !value.empty();
}

bool JsonNumber(const std::string& line, const std::string& key, double& number) {
    std::string text;
    if (!JsonField(line, key, text)) return false;
    char* end = nullptr;
    number = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && std::isfinite(number);
}

}  // namespace

std::string ToolProgram() { return toolSetup.program.empty() ? PlatformProgramBeside(ToolName) : toolSetup.program; }

std::vector<std::string> ToolJobArguments(const ToolJobRequest& request) {
    std::vector<std::string> arguments;
    const std::string difficulty = std::to_string(request.difficulty), seed = std::to_string(request.seed);
    if (request.kind == ToolJobKind::Solve) {
        arguments = {"solve", request.level, "--data", ProgramFolder(), "--difficulty", difficulty, "--seed", seed,
                     "--budget", std::to_string(request.budgetSeconds), "--out", request.keysPath, "--progress"};
    } else {
        arguments = {"play", request.level, "--data", ProgramFolder(), "--inputs", request.keysPath, "--difficulty",
                     difficulty, "--seed", seed};
    }
    return arguments;
}

bool StartToolJob(const ToolJobRequest& request) {
    CancelToolJob();
    toolJob = ToolJob{};
    toolJob.request = request;
    // A key script left by an earlier solve must not pass for this one's.
    if (request.kind == ToolJobKind::Solve && PlatformFileExists(request.keysPath))
        PlatformDeleteFile(request.keysPath);
    const std::string program = ToolProgram();
    toolJob.process = PlatformStartProcess(program, ToolJobArguments(request));
    if (toolJob.process == 0) {
        toolJob.outcome = ToolJobOutcome::Failed;
        toolJob.failure = program;
        return false;
    }
    toolJob.started = true;
    toolJob.outcome = ToolJobOutcome::Running;
    return true;
}

ToolJobOutcome PollToolJob() {
    if (toolJob.outcome != ToolJobOutcome::Running) return toolJob.outcome;
    TakeEverything();
    int code = 0;
    if (!PlatformProcessEnded(toolJob.process, code)) return toolJob.outcome;
    // Whatever it wrote just before its end is still in the pipes.
    TakeEverything();
    TakeErrors("\n");
    PlatformStopProcess(toolJob.process);
    toolJob.process = 0;
    toolJob.exitCode = code;
    toolJob.outcome = toolJob.request.kind == ToolJobKind::Solve ? SolveJobOutcome() : ReplayCheckOutcome();
    return toolJob.outcome;
}

void CancelToolJob() {
    if (toolJob.outcome != ToolJobOutcome::Running) return;
    PlatformStopProcess(toolJob.process);
    toolJob.process = 0;
    toolJob.outcome = ToolJobOutcome::Cancelled;
}

bool ParseSolveAnswer(const std::string& line, SolveAnswer& answer) {
    answer = SolveAnswer{};
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] != '{' || !JsonField(line, "result", answer.result)) return false;
    double number = 0;
    if (JsonNumber(line, "frames", number)) answer.frames = static_cast<std::int64_t>(number);
    if (JsonNumber(line, "seconds", number)) answer.seconds = number;
    if (JsonNumber(line, "limit", number)) answer.limit = number;
    if (JsonNumber(line, "states", number)) answer.states = static_cast<std::int64_t>(number);
    return true;
}

std::string MinutesSeconds(double seconds) {
    if (!(seconds > 0)) seconds = 0;
    // Up to the next whole second: a way that takes 0.65 s is one of 0:01, not of 0:00.
    const auto whole = static_cast<std::int64_t>(std::ceil(std::min(seconds, 1e9)));
    return std::to_string(whole / 60) + ":" + ZeroPad(static_cast<std::int32_t>(whole % 60), 2);
}
