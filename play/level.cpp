#include "play/level.h"

#include <cmath>

#include "play/events.h"
#include "play/play_loop.h"
#include "base/files.h"
#include "tiles/catalogue.h"

Layer groundLayer, hazardLayer, arrowLayer, pathLayer, platformLayer, pickupLayer, wallLayer, crackLayer,
    explosionLayer, spareLayer;

LevelObject background;
LevelObject ball;
LevelObject ballShadow;

double levelZoom = 0.5;
double deathCounter = 0;
double winCounter = 0;
std::int32_t bombCount = 0;
double ballSizeDivisor = 0;
std::int32_t ballGrowFlag = 0;
double ballGrowth = 0;
double timeLimit = 600;
std::string levelTitle;

LevelBounds levelBounds;
std::string hintLines[5];

List<std::int32_t> elevatorIndex;
List<LevelObject> flyingObjects;
List<FloatingText> floatingTexts;

double focusX = 0, focusY = 0;
std::int32_t levelModified = 0;
std::int32_t flagsLeft = 0;
std::int32_t score = 0;
std::int32_t switchState = -1;
std::int32_t carried = 0;
std::int32_t forceCode = 0;
std::int32_t ballRolling = 0;


namespace {

// The restart point of one play: taken once when play starts, put back after every death.
struct LevelBackup {
    Layer layers[9];            // [1..8]
    LevelObject ball, ballShadow;
    std::int32_t bombCount = 0;
    double levelZoom = 0.5;
    std::int32_t flagsLeft = 0;
    std::int32_t score = 0;
    double displayedScore = 0;
    std::int32_t switchState = -1;
};
LevelBackup backup;

std::int32_t TextureOf(const LevelObject& object) {
    double t = object.texture;
    if (!(t >= 0) || t > 2147483647.0) return 0;
    return static_cast<std::int32_t>(t);
}

}  // namespace

Layer& LevelLayer(std::int32_t number) {
    switch (number) {
        case GroundLayerNumber: return groundLayer;
        case HazardLayerNumber: return hazardLayer;
        case ArrowLayerNumber: return arrowLayer;
        case PathLayerNumber: return pathLayer;
        case PlatformLayerNumber: return platformLayer;
        case PickupLayerNumber: return pickupLayer;
        case WallLayerNumber: return wallLayer;
        case CrackLayerNumber: return crackLayer;
        case ExplosionLayerNumber: return explosionLayer;
        default: return spareLayer;
    }
}

const char* LayerName(std::int32_t number) {
    static const char* const names[] = {"",     "ground", "hazard", "arrow", "path",      "platform",
                                        "pickup", "wall", "crack",  "explosion", "spare"};
    if (number < 1 || number > LevelLayerCount) return "";
    return names[number];
}

void AddObject(std::int32_t x, std::int32_t y, std::int32_t layer, std::int32_t texture) {
    RemoveObjectAt(x, y, layer);
    LevelObject object;
    object.texture = texture;
    object.x = x;
    object.y = y;
    object.frame = Entry(texture).firstFrame;
    LevelLayer(layer).Add(object);
}

bool RemoveObjectAt(double x, double y, std::int32_t layer) {
    Layer& objects = LevelLayer(layer);
    for (int i = 1; i <= objects.Count(); ++i) {
        if (objects[i].x == x && objects[i].y == y) {
            objects.RemoveAt(i);
            return true;
        }
    }
    return false;
}

bool WallAt(double x, double y) {
    for (const LevelObject& wall : wallLayer)
        if (wall.x == x && wall.y == y) return true;
    return false;
}

void CopyLayer(const Layer& source, Layer& target) {
    if (&source != &target) target = source;
}

void BuildElevatorIndex() {
    elevatorIndex.Clear();
    for (int i = 1; i <= wallLayer.Count(); ++i) {
        if (LowerCase(Entry(TextureOf(wallLayer[i])).name).find("elevator") != std::string::npos)
            elevatorIndex.Add(i);
        else
            wallLayer[i].param2 = 0;
    }
}

void PlaceBall(std::int32_t x, std::int32_t y, std::int32_t texture) {
    ball.x = x;
    ball.y = y;
    ball.param1 = 0;
    ball.param2 = 0;
    ball.texture = texture;
    ball.frame = Entry(texture).firstFrame;
    ballShadow.x = x + 16.0;
    ballShadow.y = y + 16.0;
    ballShadow.param1 = 0;
    ballShadow.param2 = 0;
    ballShadow.frame = Entry(TextureOf(ballShadow)).firstFrame;
}

void BackupLevel() {
    for (int layer = 1; layer <= 8; ++layer) CopyLayer(LevelLayer(layer), backup.layers[layer]);
    backup.ball = ball;
    backup.ballShadow = ballShadow;
    backup.bombCount = bombCount;
    backup.levelZoom = levelZoom;
    backup.flagsLeft = flagsLeft;
    backup.score = score;
    backup.displayedScore = std::nearbyint(attempt.displayedScore);
    backup.switchState = switchState;
}

void RestoreLevel() {
    for (int layer = 1; layer <= 8; ++layer) {
        CopyLayer(backup.layers[layer], LevelLayer(layer));
        // Elevator speeds and the index must match the walls that are back before anything else reads them.
        if (layer == WallLayerNumber) BuildElevatorIndex();
    }
    explosionLayer.Clear();
    spareLayer.Clear();
    floatingTexts.Clear();
    DropPendingTexts();
    ball = backup.ball;
    ballShadow = backup.ballShadow;
    bombCount = backup.bombCount;
    levelZoom = backup.levelZoom;
    flagsLeft = backup.flagsLeft;
    score = backup.score;
    attempt.displayedScore = backup.displayedScore;
    switchState = backup.switchState;
}

void ResetLevelProperties() {
    levelZoom = 0.5;
    deathCounter = 0;
    winCounter = 0;
    bombCount = 0;
    ballSizeDivisor = 0;
    ballGrowFlag = 0;
    ballGrowth = 0;
    timeLimit = 600;
    levelTitle.clear();
    for (std::string& line : hintLines) line.clear();
    ResetLevelBounds();
}

void MakeBuiltInEmptyLevel() {
    for (int layer = 1; layer <= LevelLayerCount; ++layer) LevelLayer(layer).Clear();
    elevatorIndex.Clear();
    background.param1 = background.param2 = background.x = background.y = background.timer = 0;
    background.frame = Entry(TextureOf(background)).firstFrame;
    PlaceBall(0, 0, TextureOf(ball));
    ResetLevelProperties();
    SettleLevelBounds();
    focusX = ball.x;
    focusY = ball.y;
}

void TakeCatalogueDefaults() {
    if (TextureOf(background) == 0) background.texture = DefaultBackgroundTexture;
    background.frame = Entry(TextureOf(background)).firstFrame;
    ballShadow.texture = DefaultShadowTexture;
    PlaceBall(0, 0, DefaultBallTexture);
}

void ResetLevelBounds() {
    levelBounds.minX = levelBounds.minY = 1.7e308;
    levelBounds.maxX = levelBounds.maxY = -1.7e308;
}

void WidenLevelBounds(double x, double y) {
    if (x < levelBounds.minX) levelBounds.minX = x;
    if (x > levelBounds.maxX) levelBounds.maxX = x;
    if (y < levelBounds.minY) levelBounds.minY = y;
    if (y > levelBounds.maxY) levelBounds.maxY = y;
}

void SettleLevelBounds() {
    if (!(levelBounds.minX <= levelBounds.maxX)) levelBounds.minX = levelBounds.maxX = ball.x;
    if (!(levelBounds.minY <= levelBounds.maxY)) levelBounds.minY = levelBounds.maxY = ball.y;
}
