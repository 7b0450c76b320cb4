#include "play/level.h"

#include <cmath>

#include "base/files.h"
#include "tiles/catalogue.h"

Level level;
LevelBackup levelBackup;

double focusX = 0, focusY = 0;
std::int32_t score = 0;

namespace {


std::int32_t TextureOf(const LevelObject& object) {
    double t = object.texture;
    if (!(t >= 0) || t > 2147483647.0) return 0;
    return static_cast<std::int32_t>(t);
}

}  // namespace

Layer& LevelLayer(Level& of, std::int32_t number) {
    switch (number) {
        case GroundLayerNumber: return of.groundLayer;
        case HazardLayerNumber: return of.hazardLayer;
        case ArrowLayerNumber: return of.arrowLayer;
        case PathLayerNumber: return of.pathLayer;
        case PlatformLayerNumber: return of.platformLayer;
        case PickupLayerNumber: return of.pickupLayer;
        case WallLayerNumber: return of.wallLayer;
        case CrackLayerNumber: return of.crackLayer;
        case ExplosionLayerNumber: return of.explosionLayer;
        default: return of.spareLayer;
    }
}

const Layer& LevelLayer(const Level& of, std::int32_t number) { return LevelLayer(const_cast<Level&>(of), number); }

Layer& LevelLayer(std::int32_t number) { return LevelLayer(level, number); }

const char* LayerName(std::int32_t number) {
    static const char* const names[] = {"",     "ground", "hazard", "arrow", "path",      "platform",
                                        "pickup", "wall", "crack",  "explosion", "spare"};
    if (number < 1 || number > LevelLayerCount) return "";
    return names[number];
}

void AddObject(Level& into, std::int32_t x, std::int32_t y, std::int32_t layer, std::int32_t texture) {
    RemoveObjectAt(into, x, y, layer);
    LevelObject object;
    object.texture = texture;
    object.x = x;
    object.y = y;
    object.frame = Entry(texture).firstFrame;
    LevelLayer(into, layer).Add(object);
}

void AddObject(std::int32_t x, std::int32_t y, std::int32_t layer, std::int32_t texture) {
    AddObject(level, x, y, layer, texture);
}

bool RemoveObjectAt(Level& in, double x, double y, std::int32_t layer) {
    Layer& objects = LevelLayer(in, layer);
    for (int i = 1; i <= objects.Count(); ++i) {
        if (objects[i].x == x && objects[i].y == y) {
            objects.RemoveAt(i);
            return true;
        }
    }
    return false;
}

bool RemoveObjectAt(double x, double y, std::int32_t layer) { return RemoveObjectAt(level, x, y, layer); }

bool WallAt(double x, double y) {
    for (const LevelObject& wall : level.wallLayer)
        if (wall.x == x && wall.y == y) return true;
    return false;
}

void CopyLayer(const Layer& source, Layer& target) {
    if (&source != &target) target = source;
}

void BuildElevatorIndex() {
    level.elevatorIndex.Clear();
    for (int i = 1; i <= level.wallLayer.Count(); ++i) {
        if (LowerCase(Entry(TextureOf(level.wallLayer[i])).name).find("elevator") != std::string::npos)
            level.elevatorIndex.Add(i);
        else
            level.wallLayer[i].param2 = 0;
    }
}

void SetElevatorSpeeds(bool switchOn) {
    for (std::int32_t position : level.elevatorIndex)
        if (position >= 1 && position <= level.wallLayer.Count())
            level.wallLayer[position].param2 = switchOn ? ElevatorSpeed : 0;
}

void PlaceBall(std::int32_t x, std::int32_t y, std::int32_t texture) {
    level.ball.x = x;
    level.ball.y = y;
    level.ball.param1 = 0;
    level.ball.param2 = 0;
    level.ball.texture = texture;
    level.ball.frame = Entry(texture).firstFrame;
    level.ballShadow.x = x + 16.0;
    level.ballShadow.y = y + 16.0;
    level.ballShadow.param1 = 0;
    level.ballShadow.param2 = 0;
    level.ballShadow.frame = Entry(TextureOf(level.ballShadow)).firstFrame;
}

void ResetLevelProperties() {
    level.levelZoom = 0.5;
    level.deathCounter = 0;
    level.winCounter = 0;
    level.bombCount = 0;
    level.ballSizeDivisor = 0;
    level.ballGrowFlag = 0;
    level.ballGrowth = 0;
    level.timeLimit = 600;
    level.levelTitle.clear();
    for (std::string& line : level.hintLines) line.clear();
    ResetLevelBounds();
}

void MakeBuiltInEmptyLevel() {
    for (int layer = 1; layer <= LevelLayerCount; ++layer) LevelLayer(layer).Clear();
    level.elevatorIndex.Clear();
    level.background.param1 = level.background.param2 = level.background.x = level.background.y = level.background.timer = 0;
    level.background.frame = Entry(TextureOf(level.background)).firstFrame;
    PlaceBall(0, 0, TextureOf(level.ball));
    ResetLevelProperties();
    SettleLevelBounds();
    focusX = level.ball.x;
    focusY = level.ball.y;
}

void TakeCatalogueDefaults() {
    if (TextureOf(level.background) == 0) level.background.texture = DefaultBackgroundTexture;
    level.background.frame = Entry(TextureOf(level.background)).firstFrame;
    level.ballShadow.texture = DefaultShadowTexture;
    PlaceBall(0, 0, DefaultBallTexture);
}

void EmptyLevelBounds(LevelBounds& bounds) {
    bounds.minX = bounds.minY = 1.7e308;
    bounds.maxX = bounds.maxY = -1.7e308;
}

void ResetLevelBounds() { EmptyLevelBounds(level.levelBounds); }

void WidenLevelBounds(LevelBounds& bounds, double x, double y) {
    if (x < bounds.minX) bounds.minX = x;
    if (x > bounds.maxX) bounds.maxX = x;
    if (y < bounds.minY) bounds.minY = y;
    if (y > bounds.maxY) bounds.maxY = y;
}

void SettleLevelBounds() {
    if (!(level.levelBounds.minX <= level.levelBounds.maxX)) level.levelBounds.minX = level.levelBounds.maxX = level.ball.x;
    if (!(level.levelBounds.minY <= level.levelBounds.maxY)) level.levelBounds.minY = level.levelBounds.maxY = level.ball.y;
}
