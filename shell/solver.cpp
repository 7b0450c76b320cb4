#include "shell/solver.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <queue>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/frame_clock.h"
#include "play/level.h"
#include "play/play_loop.h"
#include "play/snapshot.h"
#include "platform/platform.h"
#include "tiles/catalogue.h"

namespace {

// ---- The keys of a segment --------------------------------------------------------------------------------------

struct Action {
    bool left, right, down, space;
    std::int32_t segments = 1;      // how many segments' time it lasts
};

// Waiting, rolling either way, pressing down (onto a lift, or to fall faster), and dropping a bomb. Space acts
// when pressed, so a bomb segment right after a bomb segment drops nothing.
const Action Actions[] = {
    {false, false, false, false}, {true, false, false, false}, {false, true, false, false},
    {false, false, true, false},  {false, false, false, true},
    {false, false, false, false, 5},    // a long wait: for a ferry or a lift to come round
};
constexpr int ActionCount = static_cast<int>(sizeof Actions / sizeof Actions[0]);

std::vector<int> HeldCodes(const Action& action) {
    std::vector<int> codes;
    if (action.left) codes.push_back(ScanLeft);
    if (action.right) codes.push_back(ScanRight);
    if (action.down) codes.push_back(ScanDown);
    if (action.space) codes.push_back(ScanSpace);
    return codes;
}

// ---- The map of cells: how far a goal is, as the walls allow ----------------------------------------------------

constexpr double CellSize = 128;
constexpr int Margin = 8;                   // free cells round the level: the ball may fly above and beside it
constexpr double Unreachable = 1e30;
constexpr double CrackCost = 4;             // a cracked wall needs a bomb
constexpr double ClimbCost = 8;             // up a cell without an arrow, a running lift or a platform's path
constexpr double AirCost = 2;               // across a cell with nothing under it to roll on
constexpr double TrapCost = 8;              // a trap is crossed only on a platform, which carries the ball over it
constexpr double FlagSeconds = 10;          // the estimate's price of a flag still to take
constexpr double CellsPerSecond = 4;        // a ball that rolls, falls and waits covers about this many cells a second

enum CellKind : std::uint8_t { FreeCell = 0, WallCell, TrapCell, CrackCell };

struct CellMap {
    double originX = 0, originY = 0;        // the top-left corner of cell (0, 0)
    int columns = 1, rows = 1;
    std::vector<std::uint8_t> kind;
    std::vector<std::uint8_t> lift;         // an arrow or a platform's path: up costs 1
    std::vector<std::uint8_t> liftColumn;   // a lift's column: up costs 1 while the lifts run
    int switchCell = -1;                    // the switch that starts and stops the lifts, -1 for none
    std::unordered_map<std::uint64_t, std::vector<double>> distances;      // by the set of goal cells
};

bool OnGrid(double value, double origin) {
    const double q = (value - origin) / CellSize;
    return std::isfinite(q) && q == std::floor(q);
}

int CellIndex(const CellMap& map, double centreX, double centreY) {
    const double cx = std::floor((centreX - map.originX) / CellSize);
    const double cy = std::floor((centreY - map.originY) / CellSize);
    const int column = std::isfinite(cx) ? static_cast<int>(std::clamp(cx, 0.0, map.columns - 1.0)) : 0;
    const int row = std::isfinite(cy) ? static_cast<int>(std::clamp(cy, 0.0, map.rows - 1.0)) : 0;
    return row * map.columns + column;
}

int ObjectCell(const CellMap& map, const LevelObject& object) { return CellIndex(map, object.x + 64, object.y + 64); }

std::int32_t KindOf(const LevelObject& object) { return Entry(WholeNumber(object.texture)).kind; }

// Only what stays put closes a cell: the walls that are not lifts. A wall under a crack opens to a bomb; a trap
// is dear but open, as a platform carries the ball over it unharmed. An object off the grid of cells closes
// nothing, so the map never shuts a way the ball has.
CellMap BuildCellMap() {
    CellMap map;
    const LevelBounds& b = level.levelBounds;
    map.originX = b.minX - Margin * CellSize;
    map.originY = b.minY - Margin * CellSize;
    const double columns = std::floor((b.maxX - b.minX) / CellSize) + 1 + 2 * Margin;
    const double rows = std::floor((b.maxY - b.minY) / CellSize) + 1 + 2 * Margin + 2;
    if (!(columns > 0 && rows > 0 && columns * rows < 4e6)) return map;     // a level too odd to map: no estimate
    map.columns = static_cast<int>(columns);
    map.rows = static_cast<int>(rows);
    map.kind.assign(static_cast<size_t>(map.columns) * map.rows, FreeCell);
    map.lift.assign(map.kind.size(), 0);
    map.liftColumn.assign(map.kind.size(), 0);
    auto aligned = [&](const LevelObject& o) { return OnGrid(o.x, map.originX) && OnGrid(o.y, map.originY); };
    std::vector<char> elevator(static_cast<size_t>(level.wallLayer.Count()) + 1, 0);
    for (std::int32_t position : level.elevatorIndex)
        if (position >= 1 && position <= level.wallLayer.Count()) elevator[static_cast<size_t>(position)] = 1;
    for (std::int32_t i = 1; i <= level.wallLayer.Count(); ++i) {
        const LevelObject& wall = level.wallLayer[i];
        if (elevator[static_cast<size_t>(i)]) {
            // A lift carries the ball up its whole column.
            const int column = ObjectCell(map, wall) % map.columns;
            for (int row = 0; row < map.rows; ++row)
                map.liftColumn[static_cast<size_t>(row * map.columns + column)] = 1;
            continue;
        }
        if (aligned(wall)) map.kind[static_cast<size_t>(ObjectCell(map, wall))] = WallCell;
    }
    for (const LevelObject& crack : level.crackLayer)
        if (aligned(crack) && map.kind[static_cast<size_t>(ObjectCell(map, crack))] == WallCell)
            map.kind[static_cast<size_t>(ObjectCell(map, crack))] = CrackCell;
    for (const LevelObject& hazard : level.hazardLayer)
        if (KindOf(hazard) == KindTrap && aligned(hazard))
            map.kind[static_cast<size_t>(ObjectCell(map, hazard))] = TrapCell;
    for (const LevelObject& arrow : level.arrowLayer) {
        map.lift[static_cast<size_t>(ObjectCell(map, arrow))] = 1;
        if (arrow.param1 == 5) map.switchCell = ObjectCell(map, arrow);
    }
    for (const LevelObject& marker : level.pathLayer) map.lift[static_cast<size_t>(ObjectCell(map, marker))] = 1;
    return map;
}

// The cost of a cell-to-cell step of the ball from `from` into `to` (a neighbour), or Unreachable.
double StepCost(const CellMap& map, int from, int to, bool liftsRun) {
    const std::uint8_t kind = map.kind[static_cast<size_t>(to)];
    if (kind == WallCell) return Unreachable;
    double cost = kind == CrackCell ? CrackCost : kind == TrapCell ? TrapCost : 1;
    const size_t a = static_cast<size_t>(from), b = static_cast<size_t>(to);
    const bool lifted = map.lift[a] || map.lift[b] || (liftsRun && (map.liftColumn[a] || map.liftColumn[b]));
    if (to == from - map.columns && !lifted) cost += ClimbCost - 1;
    if ((to == from - 1 || to == from + 1) && !lifted && to + map.columns < static_cast<int>(map.kind.size())) {
        const std::uint8_t below = map.kind[static_cast<size_t>(to + map.columns)];
        if (below != WallCell && below != CrackCell) cost += AirCost - 1;
    }
    return cost;
}

// The distance of every cell to the nearest of `goals`, walked backwards from them (Dijkstra).
const std::vector<double>& Distances(CellMap& map, const std::vector<int>& goals, bool liftsRun = true) {
    std::uint64_t key = liftsRun ? 1469598103934665603ull : 7809847782465536322ull;
    for (int goal : goals) key = (key ^ static_cast<std::uint64_t>(goal)) * 1099511628211ull;
    auto found = map.distances.find(key);
    if (found != map.distances.end()) return found->second;
    std::vector<double>& distance = map.distances[key];
    distance.assign(map.kind.size(), Unreachable);
    using Entry = std::pair<double, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> open;
    for (int goal : goals) {
        distance[static_cast<size_t>(goal)] = 0;
        open.push({0, goal});
    }
    while (!open.empty()) {
        const auto [d, cell] = open.top();
        open.pop();
        if (d > distance[static_cast<size_t>(cell)]) continue;
        const int column = cell % map.columns, row = cell / map.columns;
        const int neighbours[4] = {column > 0 ? cell - 1 : -1, column + 1 < map.columns ? cell + 1 : -1,
                                   row > 0 ? cell - map.columns : -1, row + 1 < map.rows ? cell + map.columns : -1};
        for (int from : neighbours) {
            if (from < 0) continue;
            const std::uint8_t kind = map.kind[static_cast<size_t>(from)];
            if (kind == WallCell) continue;
            const double step = StepCost(map, from, cell, liftsRun);
            if (step >= Unreachable) continue;
            if (d + step < distance[static_cast<size_t>(from)]) {
                distance[static_cast<size_t>(from)] = d + step;
                open.push({d + step, from});
            }
        }
    }
    return distance;
}

// The cells the ball heads for now: the flags left, or the exits once every flag is taken.
std::vector<int> GoalCells(const CellMap& map) {
    std::vector<int> goals;
    if (attempt.flagsLeft > 0) {
        for (const LevelObject& pickup : level.pickupLayer)
            if (KindOf(pickup) == KindFlag) goals.push_back(ObjectCell(map, pickup));
    } else {
        for (const LevelObject& hazard : level.hazardLayer)
            if (KindOf(hazard) == KindExit) goals.push_back(ObjectCell(map, hazard));
    }
    std::sort(goals.begin(), goals.end());
    goals.erase(std::unique(goals.begin(), goals.end()), goals.end());
    return goals;
}

// Cells from the ball to its next goal (Unreachable when the walls shut every goal away).
double CellsToGo(CellMap& map) {
    if (map.kind.empty()) return 0;
    const std::vector<int> goals = GoalCells(map);
    if (goals.empty()) return attempt.flagsLeft > 0 ? Unreachable : 0;
    const size_t ball = static_cast<size_t>(CellIndex(map, level.ball.x + 64, level.ball.y + 64));
    // Lifts that stand still carry nothing: the way then goes by the switch, unless there is a shorter one.
    if (map.switchCell >= 0 && attempt.switchState == 0) {
        const double without = Distances(map, goals, false)[ball];
        const double bySwitch = Distances(map, {map.switchCell}, false)[ball] +
                                Distances(map, goals, true)[static_cast<size_t>(map.switchCell)];
        return std::min(without, bySwitch);
    }
    return Distances(map, goals)[ball];
}

// No path through the cells leads from the ball to every flag and to an exit: the level cannot be won.
bool ShutAway(CellMap& map) {
    if (map.kind.empty()) return false;
    const int ball = CellIndex(map, level.ball.x + 64, level.ball.y + 64);
    std::vector<int> exits;
    for (const LevelObject& hazard : level.hazardLayer)
        if (KindOf(hazard) == KindExit) exits.push_back(ObjectCell(map, hazard));
    if (exits.empty()) return true;
    if (!(Distances(map, exits)[static_cast<size_t>(ball)] < Unreachable)) return true;
    for (const LevelObject& pickup : level.pickupLayer)
        if (KindOf(pickup) == KindFlag &&
            !(Distances(map, {ObjectCell(map, pickup)})[static_cast<size_t>(ball)] < Unreachable))
            return true;
    return false;
}

// ---- States -----------------------------------------------------------------------------------------------------

std::uint64_t Mix(std::uint64_t h, std::uint64_t v) {
    h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    return h ^ (h >> 29);
}

std::uint64_t Bucket(double value, double size) {
    const double q = std::floor(value / size);
    if (!std::isfinite(q)) return 0x7FF8000000000000ull;
    return static_cast<std::uint64_t>(static_cast<std::int64_t>(std::clamp(q, -9e15, 9e15)));
}

// The coarse place of the state in memory: the ball's cell and what the level has left. The search keeps only so
// many states of one place, so that the many ways of rolling about one spot do not crowd out the rest.
std::uint64_t PlaceKey() {
    std::uint64_t h = 0;
    h = Mix(h, Bucket(level.ball.x + 64, CellSize));
    h = Mix(h, Bucket(level.ball.y + 64, CellSize));
    h = Mix(h, static_cast<std::uint64_t>(attempt.flagsLeft));
    h = Mix(h, static_cast<std::uint64_t>(level.bombCount));
    h = Mix(h, static_cast<std::uint64_t>(level.pickupLayer.Count()));
    h = Mix(h, static_cast<std::uint64_t>(level.crackLayer.Count()));
    h = Mix(h, static_cast<std::uint64_t>(attempt.switchState));
    return h;
}

std::uint64_t Sign(double value) { return value > 0 ? 1 : (value < 0 ? 2 : 0); }

// The bucket of the state in memory: what decides how play goes on, rounded where a little makes no difference.
std::uint64_t StateBucket(const SolveOptions& options) {
    std::uint64_t h = 0;
    h = Mix(h, Bucket(level.ball.x, options.positionBucket));
    h = Mix(h, Bucket(level.ball.y, options.positionBucket));
    h = Mix(h, Bucket(level.ball.param1, options.speedBucket));
    h = Mix(h, Bucket(level.ball.param2, options.speedBucket));
    h = Mix(h, static_cast<std::uint64_t>(attempt.flagsLeft));
    h = Mix(h, static_cast<std::uint64_t>(level.bombCount));
    h = Mix(h, static_cast<std::uint64_t>(attempt.switchState));
    h = Mix(h, static_cast<std::uint64_t>(attempt.carried));
    h = Mix(h, attempt.latches.space ? 1 : 0);
    h = Mix(h, static_cast<std::uint64_t>(attempt.flyingObjects.Count()));
    for (const LevelObject& pickup : level.pickupLayer) h = Mix(Mix(h, Bucket(pickup.x, 1)), Bucket(pickup.y, 1));
    for (const LevelObject& crack : level.crackLayer) h = Mix(Mix(h, Bucket(crack.x, 1)), Bucket(crack.y, 1));
    for (const LevelObject& p : level.platformLayer)
        h = Mix(Mix(Mix(h, Bucket(p.x, options.moverBucket)), Bucket(p.y, options.moverBucket)),
                Sign(p.param1) * 3 + Sign(p.param2));
    for (std::int32_t position : level.elevatorIndex) {
        if (position < 1 || position > level.wallLayer.Count()) continue;
        const LevelObject& e = level.wallLayer[position];
        h = Mix(Mix(Mix(h, Bucket(e.y, options.moverBucket)), Sign(e.param2)), e.timer > 0 ? 1 : 0);
    }
    return h;
}

struct Node {
    std::int32_t parent = -1;
    std::int8_t action = 0;
    std::unique_ptr<PlaySnapshot> snapshot; // held while the node waits to be expanded
};

struct Open {
    double order;
    std::int32_t node;
    bool operator>(const Open& other) const {
        return order > other.order || (order == other.order && node > other.node);
    }
};

enum class SegmentEnd { Alive, Won, Lost };

}  // namespace

std::string ProgressLine(const SolveProgress& progress) {
    char text[160];
    if (progress.cellsToGo >= Unreachable)
        std::snprintf(text, sizeof text, "states %lld  best: %d flags left  %.1f s",
                      static_cast<long long>(progress.states), progress.flagsLeft, progress.seconds);
    else if (progress.flagsLeft > 0)
        std::snprintf(text, sizeof text, "states %lld  best: %d flag%s left, %.0f cells from the next  %.1f s",
                      static_cast<long long>(progress.states), progress.flagsLeft, progress.flagsLeft == 1 ? "" : "s",
                      progress.cellsToGo, progress.seconds);
    else
        std::snprintf(text, sizeof text, "states %lld  best: all flags taken, %.0f cells from the exit  %.1f s",
                      static_cast<long long>(progress.states), progress.cellsToGo, progress.seconds);
    return text;
}

bool PlayReplayFrame(double startClock, double fps, const std::function<void(double seconds)>& setClock) {
    setClock(startClock + static_cast<double>(attempt.playIteration) / fps);
    frameTime = 1.0 / fps;
    frameStep = std::min(25.0 / fps, 0.5);
    return PlayUnseenFrame();
}

SolveResult SolveLevel(const SolveOptions& options) {
    SolveResult result;
    const double started = options.now();
    const double fps = options.fps;
    const double startClock = options.continuePlay ? options.startClock : PlatformClock();
    const std::int32_t segmentFrames = std::max(1, options.segmentFrames);
    auto holdKeys = [&](const Action& action) {
        options.hold(ScanLeft, action.left);
        options.hold(ScanRight, action.right);
        options.hold(ScanDown, action.down);
        options.hold(ScanSpace, action.space);
    };
    auto runSegment = [&](const Action& action, std::int32_t& framesRun) {
        holdKeys(action);
        for (framesRun = 0; framesRun < segmentFrames * action.segments;) {
            PlayReplayFrame(startClock, fps, options.setClock);
            ++framesRun;
            if (level.winCounter != 0) return SegmentEnd::Won;
            if (level.deathCounter != 0) return SegmentEnd::Lost;
        }
        return SegmentEnd::Alive;
    };

    holdKeys(Actions[0]);
    if (!options.continuePlay) {
        options.setClock(startClock);
        BeginPlay();
    }
    CellMap map = BuildCellMap();

    PlaySnapshot start;
    TakeSnapshot(start);
    std::vector<Node> nodes;
    std::priority_queue<Open, std::vector<Open>, std::greater<Open>> open;
    std::unordered_set<std::uint64_t> seen;
    std::unordered_map<std::uint64_t, std::int32_t> placeCounts;

    SolveProgress& progress = result.last;
    progress.flagsLeft = attempt.flagsLeft;
    progress.cellsToGo = CellsToGo(map);
    double bestEstimate = std::numeric_limits<double>::infinity();
    double nextReport = started;
    std::int64_t statesBefore = 0;          // states of the earlier rounds
    bool cut = false;                       // states were dropped: running out of states proves nothing
    bool outOfTime = false;
    std::int32_t wonNode = -1, wonAction = 0, wonFrames = 0;

    auto finish = [&] {
        progress.states = statesBefore + static_cast<std::int64_t>(nodes.size());
        progress.seconds = options.now() - started;
    };

    if (ShutAway(map)) {
        result.outcome = SolveOutcome::NotWinnable;
        result.provedByCells = true;
        finish();
        if (!options.continuePlay) EndPlay();
        return result;
    }

    // The ways of searching are tried one after the other, each for its share of the budget. Each searches in
    // rounds: a round keeps four times as many states of one place as the round before, until one finds a win,
    // explores every state it reaches without dropping one, or the way's time is up.
    std::vector<SolveVariant> variants = options.variants;
    if (variants.empty())
        variants.push_back({options.estimateWeight, options.positionBucket, options.speedBucket, options.moverBucket,
                            options.statesPerPlace});
    bool exhausted = false;
    for (size_t v = 0; v < variants.size() && wonNode < 0 && !exhausted && !outOfTime; ++v) {
        SolveOptions tuned = options;
        tuned.estimateWeight = variants[v].estimateWeight;
        tuned.positionBucket = variants[v].positionBucket;
        tuned.speedBucket = variants[v].speedBucket;
        tuned.moverBucket = variants[v].moverBucket;
        const double share = static_cast<double>(v + 1) / static_cast<double>(variants.size());
        const double deadline = started + options.budgetSeconds * share;
        bool variantDone = false;
        std::int64_t placeLimit = std::max<std::int32_t>(1, variants[v].statesPerPlace);
        for (;; placeLimit *= 4) {
            statesBefore += static_cast<std::int64_t>(nodes.size());
            nodes.clear();
            open = {};
            seen.clear();
            placeCounts.clear();
            cut = false;
            RestoreSnapshot(start);
            nodes.emplace_back();
            nodes[0].snapshot = std::make_unique<PlaySnapshot>(start);
            seen.insert(StateBucket(tuned));
            open.push({0, 0});

            std::int64_t expansions = 0;
            while (!open.empty() && wonNode < 0) {
                if ((++expansions & 63) == 0 || expansions == 1) {
                    const double now = options.now();
                    if (now >= deadline) {
                        outOfTime = now - started >= options.budgetSeconds;
                        variantDone = true;
                        break;
                    }
                    if (options.progress && now >= nextReport) {
                        finish();
                        options.progress(progress);
                        nextReport = now + 0.25;
                    }
                }
                const std::int32_t current = open.top().node;
                open.pop();
                std::unique_ptr<PlaySnapshot> from = std::move(nodes[static_cast<size_t>(current)].snapshot);
                if (!from) continue;
                const bool bombs = from->level.bombCount > 0;
                for (int a = 0; a < ActionCount && wonNode < 0; ++a) {
                    if (Actions[a].space && !bombs) continue;
                    RestoreSnapshot(*from);
                    std::int32_t framesRun = 0;
                    const SegmentEnd end = runSegment(Actions[a], framesRun);
                    progress.frames += framesRun;
                    if (end == SegmentEnd::Lost) continue;
                    if (end == SegmentEnd::Won) {
                        wonNode = current;
                        wonAction = a;
                        wonFrames = framesRun;
                        break;
                    }
                    if (!seen.insert(StateBucket(tuned)).second) continue;
                    if (++placeCounts[PlaceKey()] > placeLimit) {
                        cut = true;
                        continue;
                    }
                    const double cells = CellsToGo(map);
                    if (!(cells < Unreachable)) continue;
                    Node child;
                    child.parent = current;
                    child.action = static_cast<std::int8_t>(a);
                    child.snapshot = std::make_unique<PlaySnapshot>();
                    TakeSnapshot(*child.snapshot, from.get());
                    const double estimate = cells / CellsPerSecond + FlagSeconds * attempt.flagsLeft;
                    const double order = attempt.elapsedTime + tuned.estimateWeight * estimate;
                    if (estimate < bestEstimate) {
                        bestEstimate = estimate;
                        progress.flagsLeft = attempt.flagsLeft;
                        progress.cellsToGo = cells;
                    }
                    nodes.push_back(std::move(child));
                    open.push({order, static_cast<std::int32_t>(nodes.size()) - 1});
                }
                // A frontier grown too big keeps its better half.
                if (static_cast<std::int64_t>(open.size()) > options.maxOpenStates) {
                    std::vector<Open> kept;
                    kept.reserve(open.size());
                    while (!open.empty()) {
                        kept.push_back(open.top());
                        open.pop();
                    }
                    for (size_t k = kept.size() / 2; k < kept.size(); ++k)
                        nodes[static_cast<size_t>(kept[k].node)].snapshot.reset();
                    kept.resize(kept.size() / 2);
                    for (const Open& entry : kept) open.push(entry);
                    cut = true;
                }
            }
            if (!cut && wonNode < 0 && !variantDone) exhausted = true;
            if (wonNode >= 0 || variantDone || !cut) break;
        }
    }
    finish();

    if (wonNode >= 0) {
        result.outcome = SolveOutcome::Solved;
        result.levelSeconds = attempt.elapsedTime;
        result.scriptFrames = attempt.playIteration;
        std::vector<int> actions;
        for (std::int32_t n = wonNode; n > 0; n = nodes[static_cast<size_t>(n)].parent)
            actions.push_back(nodes[static_cast<size_t>(n)].action);
        std::reverse(actions.begin(), actions.end());
        auto add = [&](int action, std::int64_t frames) {
            const std::vector<int> held = HeldCodes(Actions[action]);
            if (result.script.Count() > 0 && result.script[result.script.Count()].held == held) {
                result.script[result.script.Count()].frames += frames;
                return;
            }
            InputSegment segment;
            segment.frames = frames;
            segment.held = held;
            result.script.Add(segment);
        };
        for (int action : actions) add(action, static_cast<std::int64_t>(segmentFrames) * Actions[action].segments);
        add(wonAction, wonFrames);
    } else if (exhausted) {
        result.outcome = SolveOutcome::NotWinnable;
    } else {
        result.outcome = SolveOutcome::OutOfBudget;
    }
    holdKeys(Actions[0]);
    if (!options.continuePlay) EndPlay();
    return result;
}
