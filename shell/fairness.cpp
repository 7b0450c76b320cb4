#include "shell/fairness.h"

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "play/level.h"
#include "play/play_loop.h"
#include "play/snapshot.h"
#include "platform/platform.h"
#include "shell/solver.h"

namespace {

// From `frame` on (counted from the play's start), `held` is held.
struct Change {
    std::int64_t frame = 1;
    std::vector<int> held;
};
using Plan = std::vector<Change>;

constexpr std::int64_t FramesAfterThePlan = 600;     // the ball may still roll into the exit after the last key

Plan PlanOf(const List<InputSegment>& script, std::int64_t firstFrame) {
    Plan plan;
    std::int64_t frame = firstFrame;
    for (const InputSegment& segment : script) {
        std::vector<int> held = segment.held;
        std::sort(held.begin(), held.end());
        if (plan.empty() || plan.back().held != held) plan.push_back({frame, held});
        frame += segment.frames;
    }
    if (plan.empty() || !plan.back().held.empty()) plan.push_back({frame, {}});
    return plan;
}

struct Player {
    const FairnessOptions& options;
    double startClock = 0;

    // One unseen frame with `held` held, as a replay at a fixed frame rate plays it.
    void Frame(const std::vector<int>& held) const {
        for (int code : ScriptScanCodes())
            options.hold(code, std::find(held.begin(), held.end(), code) != held.end());
        PlayReplayFrame(startClock, options.fps, options.setClock);
    }

    static const std::vector<int>& KeysAt(const Plan& plan, std::int64_t frame) {
        static const std::vector<int> none;
        auto after = std::upper_bound(plan.begin(), plan.end(), frame,
                                      [](std::int64_t f, const Change& change) { return f < change.frame; });
        return after == plan.begin() ? none : std::prev(after)->held;
    }

    // Plays on from the state in memory with the plan: true when the exit is reached.
    bool Wins(const Plan& plan) const {
        const std::int64_t end = plan.back().frame + FramesAfterThePlan;
        while (attempt.playIteration < end) {
            Frame(KeysAt(plan, attempt.playIteration + 1));
            if (level.winCounter != 0) return true;
            if (level.deathCounter != 0) return false;
        }
        return false;
    }
};

}  // namespace

FairnessResult MeasureFairness(const List<InputSegment>& solution, const FairnessOptions& options) {
    FairnessResult result;
    Player player{options, PlatformClock()};
    for (int code : ScriptScanCodes()) options.hold(code, false);
    options.setClock(player.startClock);
    BeginPlay();
    PlaySnapshot start;
    TakeSnapshot(start);
    const Plan exact = PlanOf(solution, 1);
    result.changes = static_cast<std::int32_t>(exact.size());

    // The solution played exactly, with the state after every frame kept.
    std::vector<std::unique_ptr<PlaySnapshot>> after;   // [f]: after frame f
    after.push_back(std::make_unique<PlaySnapshot>(start));
    const std::int64_t end = exact.back().frame + FramesAfterThePlan;
    while (attempt.playIteration < end && level.winCounter == 0 && level.deathCounter == 0) {
        player.Frame(Player::KeysAt(exact, attempt.playIteration + 1));
        auto snapshot = std::make_unique<PlaySnapshot>();
        TakeSnapshot(*snapshot, after.back().get());
        after.push_back(std::move(snapshot));
    }
    result.solutionWins = level.winCounter != 0;
    if (!result.solutionWins) {
        EndPlay();
        return result;
    }
    const std::int64_t won = attempt.playIteration;

    // The window of each key change before the win: the frames, up to widestWindow either way, that it can come at
    // with the changes after it moving with it (so every key is held as long as before) and still win. It cannot
    // come before the change in front of it. The frames are counted whether or not they lie side by side: a
    // bouncing ball can miss at one frame and win again at the next.
    result.narrowestWindow = 2 * options.widestWindow + 1;
    for (size_t i = 0; i < exact.size() && exact[i].frame <= won; ++i) {
        if (exact[i].frame == 1 && exact[i].held.empty()) continue;     // the start, not a key change
        const std::int64_t at = exact[i].frame;
        const std::int64_t previous = i > 0 ? exact[i - 1].frame : 0;
        auto winsWith = [&](std::int64_t shift) {
            Plan moved = exact;
            for (size_t k = i; k < moved.size(); ++k) moved[k].frame += shift;
            RestoreSnapshot(*after[static_cast<size_t>(std::min(at + shift, at) - 1)]);
            return player.Wins(moved);
        };
        std::int32_t window = 1;
        for (std::int64_t d = 1; d <= options.widestWindow; ++d) {
            if (at - d > previous && winsWith(-d)) ++window;
            if (winsWith(d)) ++window;
        }
        if (window < result.narrowestWindow) {
            result.narrowestWindow = window;
            result.narrowestAt = at;
        }
    }

    // A person's runs: every key change comes up to maxError frames early or late; after each, when the rest of the
    // plan no longer wins from where the ball is, the solver plans anew from there.
    for (std::int32_t run = 0; run < options.runs; ++run) {
        std::mt19937 errors(options.seed * 1000003u + static_cast<std::uint32_t>(run));
        std::uniform_int_distribution<std::int32_t> error(-options.maxError, options.maxError);
        RestoreSnapshot(start);
        Plan plan = exact;
        size_t next = 0;
        std::int32_t replans = 0;
        bool reached = false, lost = false;
        while (!reached && !lost) {
            if (next >= plan.size()) {
                reached = player.Wins(plan);
                break;
            }
            // The change comes at `when`, never before the frame about to be played. Nothing held from the first
            // frame is no key change: the level starts with it.
            const bool opening = plan[next].frame == 1 && plan[next].held.empty();
            const std::int64_t slip = opening ? 0 : error(errors);
            const std::int64_t when = std::max(plan[next].frame + slip, attempt.playIteration + 1);
            const std::int64_t shift = when - plan[next].frame;
            const std::vector<int> before = next > 0 ? plan[next - 1].held : std::vector<int>{};
            while (attempt.playIteration + 1 < when) {
                player.Frame(before);
                if (level.winCounter != 0) reached = true;
                if (level.deathCounter != 0) lost = true;
                if (reached || lost) break;
            }
            if (reached || lost) break;
            // The rest of the plan keeps its timing from this change on.
            for (size_t k = next; k < plan.size(); ++k) plan[k].frame += shift;
            ++next;
            PlaySnapshot here;
            TakeSnapshot(here, &start);
            const bool restWins = player.Wins(plan);
            RestoreSnapshot(here);
            if (restWins) continue;
            if (replans >= options.maxReplans) {
                lost = true;
                break;
            }
            ++replans;
            SolveOptions solve;
            solve.budgetSeconds = options.replanSeconds;
            solve.fps = options.fps;
            solve.continuePlay = true;
            solve.startClock = player.startClock;
            solve.hold = options.hold;
            solve.setClock = options.setClock;
            solve.now = options.now;
            const SolveResult found = SolveLevel(solve);
            RestoreSnapshot(here);
            if (found.outcome != SolveOutcome::Solved) {
                lost = true;
                break;
            }
            plan = PlanOf(found.script, attempt.playIteration + 1);
            next = 0;
        }
        ++result.runs;
        result.replans += replans;
        if (reached) ++result.won;
    }
    for (int code : ScriptScanCodes()) options.hold(code, false);
    EndPlay();
    return result;
}
