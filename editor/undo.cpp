#include "editor/undo.h"

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "play/level.h"
#include "shell/level_load.h"
#include "sound/sound.h"
#include "tiles/catalogue.h"

namespace {

// The layers an editor places in (ground ... crack); explosions and the spare layer are never edited.
constexpr std::int32_t EditedLayers = CrackLayerNumber;

// The level's properties that the editor changes, kept whole in every step (they are small).
struct Properties {
    double background = 0;
    double ballTexture = 0, ballX = 0, ballY = 0;
    std::string title;
    double timeLimit = 0;
    std::int32_t track = 0;

    bool operator==(const Properties&) const = default;
};

// One layer's change: the objects between the first `prefix` and the last `suffix` ones, which both states share.
struct LayerChange {
    std::int32_t layer = 0;
    std::int32_t prefix = 0;
    std::vector<LevelObject> before, after;
};

struct Step {
    std::vector<LayerChange> layers;
    Properties before, after;
    std::size_t bytes = 0;
};

struct History {
    std::deque<Step> steps;
    std::size_t done = 0;               // steps[0 .. done) are applied; the rest can be redone
    std::size_t bytes = 0;
    // The number of applied steps at which the level equals its file; -1 when that point fell out of the history.
    long long saved = 0;
    bool open = false;
    Layer openLayers[EditedLayers + 1];
    Properties openProperties;
};
History history;

Properties CurrentProperties() {
    Properties p;
    p.background = level.background.texture;
    p.ballTexture = level.ball.texture;
    p.ballX = level.ball.x;
    p.ballY = level.ball.y;
    p.title = level.levelTitle;
    p.timeLimit = level.timeLimit;
    p.track = musicIndex;
    return p;
}

void ApplyProperties(const Properties& p, const Properties& from) {
    if (p.background != from.background) {
        level.background.texture = p.background;
        level.background.frame = Entry(static_cast<std::int32_t>(p.background)).firstFrame;
    }
    if (p.ballTexture != from.ballTexture || p.ballX != from.ballX || p.ballY != from.ballY)
        PlaceBall(static_cast<std::int32_t>(p.ballX), static_cast<std::int32_t>(p.ballY),
                  static_cast<std::int32_t>(p.ballTexture));
    level.levelTitle = p.title;
    level.timeLimit = p.timeLimit;
    if (p.track != from.track) {
        // Step through the list as the editor's buttons do, so the new track plays when music is on.
        const std::int32_t target = std::clamp(p.track, 1, std::max(MusicList.Count(), 1));
        while (musicIndex > target) PreviousTrack();
        while (musicIndex < target && musicIndex < MusicList.Count()) NextTrack();
    }
}

// What the editor puts into an object; its animation frame and timer run on their own and do not count.
bool SameObject(const LevelObject& a, const LevelObject& b) {
    return a.texture == b.texture && a.param1 == b.param1 && a.param2 == b.param2 && a.x == b.x && a.y == b.y;
}

bool Differs(const Layer& before, const Layer& after, LayerChange& change) {
    const std::int32_t nb = before.Count(), na = after.Count();
    std::int32_t prefix = 0;
    while (prefix < nb && prefix < na && SameObject(before[prefix + 1], after[prefix + 1])) ++prefix;
    if (prefix == nb && prefix == na) return false;
    std::int32_t suffix = 0;
    while (suffix < nb - prefix && suffix < na - prefix && SameObject(before[nb - suffix], after[na - suffix]))
        ++suffix;
    change.prefix = prefix;
    change.before.assign(before.begin() + prefix, before.begin() + (nb - suffix));
    change.after.assign(after.begin() + prefix, after.begin() + (na - suffix));
    return true;
}

// Replaces the run `from` standing at `prefix` in the layer by `to`.
void Splice(std::int32_t layerNumber, std::int32_t prefix, const std::vector<LevelObject>& from,
            const std::vector<LevelObject>& to) {
    std::vector<LevelObject>& items = LevelLayer(layerNumber).items;
    const auto at = items.begin() + 1 + prefix;
    const auto end = at + static_cast<std::ptrdiff_t>(std::min(from.size(), static_cast<std::size_t>(items.end() - at)));
    const auto inserted = items.erase(at, end);
    items.insert(inserted, to.begin(), to.end());
    for (auto it = items.begin() + 1 + prefix; it != items.begin() + 1 + prefix + static_cast<std::ptrdiff_t>(to.size());
         ++it)
        it->frame = Entry(static_cast<std::int32_t>(it->texture)).firstFrame;
}

std::size_t StepBytes(const Step& step) {
    std::size_t bytes = sizeof(Step) + step.before.title.size() + step.after.title.size();
    for (const LayerChange& change : step.layers)
        bytes += sizeof(LayerChange) + (change.before.size() + change.after.size()) * sizeof(LevelObject);
    return bytes;
}

void UpdateModified() { levelModified = static_cast<long long>(history.done) == history.saved ? 0 : -1; }

void ForgetOldest() {
    history.bytes -= history.steps.front().bytes;
    history.steps.pop_front();
    --history.done;
    if (history.saved >= 0) --history.saved;    // a saved point older than the history can no longer be reached
}

}  // namespace

void BeginChange() {
    if (history.open) return;
    history.open = true;
    for (std::int32_t n = 1; n <= EditedLayers; ++n) history.openLayers[n] = LevelLayer(n);
    history.openProperties = CurrentProperties();
}

bool ChangeOpen() { return history.open; }

void EndChange() {
    if (!history.open) return;
    history.open = false;
    Step step;
    for (std::int32_t n = 1; n <= EditedLayers; ++n) {
        LayerChange change;
        change.layer = n;
        if (Differs(history.openLayers[n], LevelLayer(n), change)) step.layers.push_back(std::move(change));
        history.openLayers[n].Clear();
    }
    step.before = history.openProperties;
    step.after = CurrentProperties();
    if (step.layers.empty() && step.before == step.after) return;
    step.bytes = StepBytes(step);

    while (history.steps.size() > history.done) {
        history.bytes -= history.steps.back().bytes;
        history.steps.pop_back();
    }
    if (history.saved > static_cast<long long>(history.done)) history.saved = -1;
    history.bytes += step.bytes;
    history.steps.push_back(std::move(step));
    ++history.done;
    while (!history.steps.empty() && (history.steps.size() > static_cast<std::size_t>(UndoStepLimit) ||
                                      (history.bytes > UndoByteLimit && history.steps.size() > 1)))
        ForgetOldest();
}

bool Undo() {
    EndChange();
    if (history.done == 0) return false;
    const Step& step = history.steps[--history.done];
    for (auto change = step.layers.rbegin(); change != step.layers.rend(); ++change)
        Splice(change->layer, change->prefix, change->after, change->before);
    ApplyProperties(step.before, step.after);
    UpdateModified();
    return true;
}

bool Redo() {
    EndChange();
    if (history.done >= history.steps.size()) return false;
    const Step& step = history.steps[history.done++];
    for (const LayerChange& change : step.layers) Splice(change.layer, change.prefix, change.before, change.after);
    ApplyProperties(step.after, step.before);
    UpdateModified();
    return true;
}

std::int32_t UndoSteps() { return static_cast<std::int32_t>(history.done); }
std::int32_t RedoSteps() { return static_cast<std::int32_t>(history.steps.size() - history.done); }
std::size_t HistoryBytes() { return history.bytes; }

void ClearHistory() {
    history.steps.clear();
    history.done = 0;
    history.bytes = 0;
    history.saved = 0;
    history.open = false;
    for (Layer& layer : history.openLayers) layer.Clear();
}

void MarkSaved() { history.saved = static_cast<long long>(history.done); }
