#include "play/legacy_import.h"

#include <algorithm>
#include <cstdio>

#include "platform/platform.h"
#include "play/level.h"
#include "play/level_file.h"
#include "base/binio.h"
#include "base/files.h"
#include "tiles/catalogue.h"

namespace {

constexpr const char* MainPack = "txtpckMain";

struct PairLook {
    unsigned char first, second;
    bool mainPack;              // else the old game's own pack
    const char* name;
};

// Every colour pair that has a look in the old game. Both bytes step by 21 from 1.
const PairLook PairLooks[] = {
    {1, 1, false, "Varto-Lum_PoisonedWater"},
    {1, 22, false, "Varto-Lum_elevator"},
    {1, 43, true, "yellow"},
    {1, 64, false, "Varto-Lum_brickwall"},
    {1, 85, false, "kaboom"},
    {1, 106, false, "Varto-Lum_fire"},
    {1, 127, true, "ball"},
    {1, 148, false, "Varto-Lum_electricity"},
    {1, 169, true, "lightgreen"},
    {22, 64, true, "bomb"},
    {22, 85, false, "kaboom"},
    {43, 64, true, "exit"},
    {43, 85, false, "kaboom"},
    {64, 1, true, "lightblue"},
    {64, 22, true, "lightred"},
    {64, 43, true, "lightpurple"},
    {64, 64, true, "lightwhite"},
    {64, 85, true, "lightcyan"},
    {64, 106, false, "Varto-Lum_wood"},
    {64, 127, true, "lightblack"},
    {64, 148, true, "darkgreen"},
    {64, 169, true, "darkcyan"},
    {85, 106, false, "Varto-Lum_metal"},
    {106, 106, false, "Varto-Lum_stones"},
    {127, 1, true, "darkred"},
    {127, 22, true, "darkblue"},
    {127, 43, true, "darkpurple"},
    {127, 64, true, "darkwhite"},
    {127, 85, false, "Varto-Lum_dirtgrass"},
    {127, 106, false, "Varto-Lum_cylinder"},
    {127, 127, false, "Varto-Lum_dirt"},
    {127, 148, false, "Varto-Lum_laser"},
    {127, 169, false, "Varto-Lum_static"},
    {148, 85, false, "Varto-Lum_purple"},
    {148, 106, false, "Varto-Lum_branch"},
    {148, 127, false, "Varto-Lum_cannonright"},
    {148, 169, false, "Varto-Lum_static"},
    {169, 85, false, "Varto-Lum_cylinderhorizontal"},
    {169, 106, false, "Varto-Lum_branchgreen"},
    {169, 127, false, "Varto-Lum_cannonleft"},
    {169, 169, false, "Varto-Lum_static"},
    {190, 1, false, "Varto-Lum_grid"},
    {190, 22, false, "Varto-Lum_tower"},
    {190, 43, false, "Varto-Lum_snow"},
    {190, 64, false, "Varto-Lum_gate"},
    {190, 85, false, "Varto-Lum_disk"},
    {190, 106, false, "Varto-Lum_flop"},
    {190, 169, false, "invisibletrap"},
    {211, 1, false, "Varto-Lum_red"},
    {211, 22, false, "Varto-Lum_os"},
    {211, 43, false, "Varto-Lum_snowman"},
    {211, 64, false, "Varto-Lum_ballplatform"},
    {211, 85, false, "Varto-Lum_diskblack"},
    {211, 106, false, "Varto-Lum_triangleright"},
    {232, 1, false, "Varto-Lum_towertop"},
    {232, 22, false, "Varto-Lum_box"},
    {232, 43, false, "Varto-Lum_drop"},
    {232, 64, false, "Varto-Lum_verticaltube"},
    {232, 85, false, "Varto-Lum_horizontaltube"},
    {232, 106, false, "Varto-Lum_triangleleft"},
    {253, 1, false, "Varto-Lum_ice"},
    {253, 22, false, "Varto-Lum_voteempty"},
    {253, 43, false, "Varto-Lum_vote"},
    {253, 64, false, "Varto-Lum_purplebox"},
    {253, 85, false, "Varto-Lum_print"},
    {253, 106, false, "Varto-Lum_marble"},
    {253, 169, true, "blank"},
};

// The field is 10 rows of 16 cells; the grid adds a ring of frame cells around it.
constexpr int FieldRows = 10, FieldColumns = 16;
constexpr int GridRows = FieldRows + 2, GridColumns = FieldColumns + 2;

constexpr int CellFire = 'v';           // look of pair 1; shaped into fire pieces in fire levels
constexpr int CellPickup = 'l';         // look of pair 2
constexpr int CellBomb = 'o';
constexpr int CellCracked = 176;        // look of pair 3, a wall that a bomb destroys
constexpr int CellWall = 178;           // look of pair 4
constexpr int CellExit = '*';

// Old coordinates count 20 per cell from the field's corner; the frame ring shifts them one cell on.
double NewPosition(int old) {
    return (old + 20) / 20.0 * 128.0;
}

std::int32_t PairTexture(int first, int second) {
    std::string pack, name;
    if (!LegacyPairTexture(first, second, pack, name)) return 0;
    return FindTexture(pack, name);
}

// A short file gives no data past its end: each field is taken only when all its bytes are there.
bool Has(const ByteReader& file, size_t count) {
    return BytesLeft(file) >= count;
}

}  // namespace

bool LegacyPairTexture(int first, int second, std::string& pack, std::string& name) {
    for (const PairLook& look : PairLooks) {
        if (look.first == first && look.second == second) {
            pack = look.mainPack ? MainPack : LegacyPack;
            name = look.name;
            return true;
        }
    }
    return false;
}

void LegacyBackgroundTexture(int code, std::string& pack, std::string& name) {
    // The old game's palette shifted these four colours when it drew backgrounds.
    if (code == 2) code = 10;
    else if (code == 15) code = 9;
    else if (code == 13) code = 5;
    else if (code == 3) code = 11;
    if (code == 7) {
        pack = MainPack;
        name = "sky";
        return;
    }
    char digits[16];
    std::snprintf(digits, sizeof digits, "%02d", code);
    pack = LegacyPack;
    name = std::string("Varto-Lum_BackColor") + digits;
}

std::int32_t ImportLegacyLevel(const std::string& path) {
    std::string bytes;
    if (!PlatformReadFile(path, bytes)) bytes.clear();
    return ImportLegacyBytes(bytes);
}

std::int32_t ImportLegacyBytes(const std::string& bytes) {
    // Built aside, on a copy of the empty level in memory, and put in place whole.
    LevelData data = TakeLevel();
    Level& built = data.level;
    ByteReader file = MakeReader(bytes);
    bool fire = false;

    if (Has(file, 1)) {
        size_t length = ReadU8(file);
        built.levelTitle = ReadBytes(file, std::min(length, BytesLeft(file)));
    }

    if (Has(file, 1)) {
        std::string pack, name;
        LegacyBackgroundTexture(ReadU8(file), pack, name);
        std::int32_t texture = FindTexture(pack, name);
        built.background.texture = texture;
        built.background.frame = Entry(texture).firstFrame;
    }

    // T1..T4: the looks of "v", "l", code-176 and code-178 cells.
    std::int32_t looks[5] = {};
    for (int pair = 1; pair <= 4; ++pair) {
        int first = Has(file, 1) ? ReadU8(file) : 0;
        int second = Has(file, 1) ? ReadU8(file) : 0;
        if (first == 1 && second == 106) fire = true;
        // A lift drawn as a wall cell does not move: it is a broken lift.
        if (pair >= 3 && first == 1 && second == 22)
            looks[pair] = FindTexture(LegacyPack, "Varto-Lum_brokenlift");
        else
            looks[pair] = PairTexture(first, second);
    }

    built.wallLayer.Clear();

    int grid[GridRows][GridColumns] = {};
    for (int row = 1; row <= FieldRows; ++row)
        for (int column = 1; column <= FieldColumns; ++column)
            if (Has(file, 1)) grid[row][column] = ReadU8(file);

    for (int row = 0; row < GridRows; ++row) {
        for (int column = 0; column < GridColumns; ++column) {
            std::int32_t x = column * 128, y = row * 128;
            if (row == 0 || row == GridRows - 1 || column == 0 || column == GridColumns - 1) {
                AddObject(built, x, y, WallLayerNumber, FindTexture(MainPack, "blankwall"));
                continue;
            }
            switch (grid[row][column]) {
                case CellFire: {
                    std::int32_t texture = looks[1];
                    if (fire) {
                        // Fire burns in rows: a run of cells gets a left end, middle pieces and a right end.
                        bool left = grid[row][column - 1] == CellFire;
                        bool right = grid[row][column + 1] == CellFire;
                        if (left && !right) texture = FindTexture(LegacyPack, "Varto-Lum_FireRight");
                        else if (right && !left) texture = FindTexture(LegacyPack, "Varto-Lum_FireLeft");
                        else if (!left && !right) texture = FindTexture(LegacyPack, "Varto-Lum_FireSingle");
                    }
                    AddObject(built, x, y, HazardLayerNumber, texture);
                    break;
                }
                case CellPickup:
                    AddObject(built, x, y, PickupLayerNumber, looks[2]);
                    break;
                case CellBomb:
                    AddObject(built, x, y, PickupLayerNumber, FindTexture(MainPack, "bomb"));
                    break;
                case CellCracked:
                    AddObject(built, x, y, WallLayerNumber, looks[3]);
                    AddObject(built, x, y, CrackLayerNumber, FindTexture(MainPack, "blank"));
                    break;
                case CellWall:
                    AddObject(built, x, y, WallLayerNumber, looks[4]);
                    break;
                case CellExit:
                    AddObject(built, x, y, HazardLayerNumber, FindTexture(MainPack, "exit"));
                    break;
                default:
                    break;
            }
        }
    }

    if (Has(file, 5)) {
        int flag = ReadU8(file);
        ReadU8(file);
        int x1 = ReadU8(file), x2 = ReadU8(file), y = ReadU8(file);
        if (flag != 0)
            AddObject(built, RoundEven(NewPosition(x1 + x2)), RoundEven(NewPosition(y)), WallLayerNumber,
                      FindTexture(LegacyPack, "Varto-Lum_elevator"));
    }

    if (Has(file, 3)) {
        int x1 = ReadU8(file), x2 = ReadU8(file), y = ReadU8(file);
        std::int32_t texture = FindTexture(MainPack, "ball");
        built.ball.x = NewPosition(x1 + x2);
        built.ball.y = NewPosition(y);
        built.ball.texture = texture;
        built.ball.frame = Entry(texture).firstFrame;
        built.ball.param1 = 0;
        built.ball.param2 = 0;
    }
    if (Has(file, 1)) built.timeLimit = ReadU8(file);

    // The field's cells, without the frame ring.
    built.levelBounds.minX = 128;
    built.levelBounds.maxX = 2048;
    built.levelBounds.minY = 128;
    built.levelBounds.maxY = 1280;
    built.levelZoom = 1.0;
    InstallLevel(data);         // which lists the elevators
    focusX = level.ball.x;
    focusY = level.ball.y;
    return -1;
}
