// The generated pictures and fonts in the program folder are complete and readable by the game's own decoders:
// every fixed image, every texture that levels and the old-format import ask for (with the kind that makes it
// behave right), a glyph for every printable byte, and editor buttons where the editor tests the mouse.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "gfx/png_decode.h"
#include "gfx/tga_decode.h"

namespace {

namespace fs = std::filesystem;

const std::string GameDir = std::string(KOLBRIX_GAME_DIR) + "/";

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

struct PackTexture {
    std::string kind, name;
    int frames = 0;
    std::set<int> numbers;
};

// Reads a pack folder the way the game does: a texture is a frame-0 file ("<kind><wrap><wrap><name>00.png"), its
// frames are 00, 01, ... up to the first missing number.
std::map<std::string, PackTexture> ReadPack(const std::string& pack) {
    std::map<std::string, PackTexture> out;
    std::set<std::string> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(GameDir + pack, ec)) files.insert(entry.path().filename().string());
    for (const std::string& file : files) {
        if (file.size() < 12 || file.compare(file.size() - 6, 6, "00.png") != 0) continue;
        std::string base = file.substr(0, file.size() - 6);
        PackTexture t;
        t.kind = Lower(base.substr(0, 4));
        t.name = base.substr(6);
        char number[16];
        for (int k = 0;; ++k) {
            std::snprintf(number, sizeof number, "%02d.png", k);
            if (!files.count(base + number)) break;
            t.frames = k + 1;
        }
        // Frame files of this texture beyond the first gap would be ignored by the game.
        for (const std::string& other : files)
            if (other.size() > base.size() + 4 && other.compare(0, base.size(), base) == 0 &&
                other.find_first_not_of("0123456789", base.size()) == other.size() - 4)
                t.numbers.insert(std::stoi(other.substr(base.size())));
        out[Lower(t.name)] = t;
    }
    return out;
}

const std::map<std::string, PackTexture>& Pack(const std::string& name) {
    static std::map<std::string, std::map<std::string, PackTexture>> cache;
    auto it = cache.find(name);
    if (it == cache.end()) it = cache.emplace(name, ReadPack(name)).first;
    return it->second;
}

// What the old-format import names in "txtpckVarto-Lum", with the kind each needs: "v" cells kill (trap),
// "l" cells are collected (flag), the cells of codes 176 and 178 and the lifts are walls, and backgrounds.
std::vector<std::pair<std::string, std::string>> VartoLumNames() {
    std::vector<std::pair<std::string, std::string>> names = {
        {"Varto-Lum_PoisonedWater", "trap"}, {"Varto-Lum_fire", "trap"},      {"Varto-Lum_FireLeft", "trap"},
        {"Varto-Lum_FireRight", "trap"},     {"Varto-Lum_FireSingle", "trap"}, {"Varto-Lum_electricity", "trap"},
        {"Varto-Lum_laser", "trap"},         {"Varto-Lum_static", "trap"},     {"kaboom", "trap"},
        {"invisibletrap", "trap"},
        {"Varto-Lum_disk", "flag"},          {"Varto-Lum_diskblack", "flag"}, {"Varto-Lum_flop", "flag"},
        {"Varto-Lum_os", "flag"},            {"Varto-Lum_vote", "flag"},      {"Varto-Lum_voteempty", "flag"},
        {"Varto-Lum_print", "flag"},         {"Varto-Lum_drop", "flag"},
        {"Varto-Lum_elevator", "wall"},      {"Varto-Lum_brokenlift", "wall"}, {"Varto-Lum_brickwall", "wall"},
        {"Varto-Lum_wood", "wall"},          {"Varto-Lum_metal", "wall"},     {"Varto-Lum_stones", "wall"},
        {"Varto-Lum_dirtgrass", "wall"},     {"Varto-Lum_cylinder", "wall"},  {"Varto-Lum_dirt", "wall"},
        {"Varto-Lum_purple", "wall"},        {"Varto-Lum_branch", "wall"},    {"Varto-Lum_cannonright", "wall"},
        {"Varto-Lum_cylinderhorizontal", "wall"}, {"Varto-Lum_branchgreen", "wall"}, {"Varto-Lum_cannonleft", "wall"},
        {"Varto-Lum_grid", "wall"},          {"Varto-Lum_tower", "wall"},     {"Varto-Lum_snow", "wall"},
        {"Varto-Lum_gate", "wall"},          {"Varto-Lum_red", "wall"},       {"Varto-Lum_snowman", "wall"},
        {"Varto-Lum_ballplatform", "wall"},  {"Varto-Lum_triangleright", "wall"}, {"Varto-Lum_towertop", "wall"},
        {"Varto-Lum_box", "wall"},           {"Varto-Lum_verticaltube", "wall"}, {"Varto-Lum_horizontaltube", "wall"},
        {"Varto-Lum_triangleleft", "wall"},  {"Varto-Lum_ice", "wall"},       {"Varto-Lum_purplebox", "wall"},
        {"Varto-Lum_marble", "wall"},
    };
    // Every background code the import can produce: any byte, after 2, 3, 13 and 15 are mapped to others and
    // with 7 meaning the main pack's sky.
    for (int code = 0; code < 256; ++code) {
        if (code == 2 || code == 3 || code == 7 || code == 13 || code == 15) continue;
        char name[64];
        std::snprintf(name, sizeof name, "Varto-Lum_BackColor%02d", code);
        names.push_back({name, "back"});
    }
    return names;
}

// What the import and the game's defaults name in "txtpckMain".
std::vector<std::pair<std::string, std::string>> MainNames() {
    std::vector<std::pair<std::string, std::string>> names = {
        {"ball", "ball"}, {"bomb", "bomb"}, {"exit", "exit"}, {"sky", "back"}, {"blankwall", "wall"}, {"blank", "crck"},
        {"bonusbackground", "back"}, {"font", "font"},
    };
    for (const char* colour : {"yellow", "lightgreen", "lightblue", "lightred", "lightpurple", "lightwhite", "lightcyan",
                               "lightblack", "darkgreen", "darkcyan", "darkred", "darkblue", "darkpurple", "darkwhite"})
        names.push_back({colour, "wall"});
    return names;
}

void ExpectNames(const std::string& pack, const std::vector<std::pair<std::string, std::string>>& names) {
    const auto& textures = Pack(pack);
    for (const auto& [name, kind] : names) {
        auto it = textures.find(Lower(name));
        if (it == textures.end()) {
            ADD_FAILURE() << pack << " has no texture " << name;
            continue;
        }
        EXPECT_EQ(it->second.kind, kind) << pack << "/" << name;
        EXPECT_GE(it->second.frames, 1) << pack << "/" << name << " has no frame 00";
    }
}

TEST(ArtOutput, FixedImagesDecodeAtTheirSizes) {
    struct Case {
        const char* file;
        int width, height;   // 0: any power of two
    };
    const Case cases[] = {
        {"oslogo.png", 1024, 768},    {"1994oslogo.png", 1024, 768}, {"opening.png", 1024, 768},
        {"1994opening.png", 1024, 768}, {"endgame.png", 1024, 768},  {"notex.png", 0, 0},
        {"editmenu.png", 374, 186},   {"editdial.png", 374, 186},    {"editdial1.png", 374, 186},
        {"editinput.png", 374, 186},  {"editwait.png", 374, 186},    {"editselect.png", 0, 0},
        {"editgray.png", 0, 0},
    };
    for (const Case& c : cases) {
        DecodedImage img;
        ASSERT_TRUE(DecodePng(GameDir + c.file, img)) << c.file << " error " << pngError;
        if (c.width) {
            EXPECT_EQ(img.width, c.width) << c.file;
            EXPECT_EQ(img.height, c.height) << c.file;
        }
    }
    // The grey veil is see-through, the placeholder is not.
    DecodedImage gray, notex;
    ASSERT_TRUE(DecodePng(GameDir + "editgray.png", gray));
    EXPECT_GT(gray.pixels[3], 40);
    EXPECT_LT(gray.pixels[3], 230);
    ASSERT_TRUE(DecodePng(GameDir + "notex.png", notex));
    EXPECT_EQ(notex.pixels[3], 255);
}

TEST(ArtOutput, MainPackHasEveryKindAndEveryNameAskedFor) {
    const auto& main = Pack("txtpckMain");
    std::set<std::string> kinds;
    for (const auto& [key, t] : main) kinds.insert(t.kind);
    for (const char* kind : {"arre", "arrn", "arrs", "arrw", "arru", "back", "ball", "blll", "blsh", "bomb", "crck", "exit",
                             "expl", "flag", "font", "grnd", "plat", "plae", "plan", "plas", "plaw", "trap", "wall"})
        EXPECT_TRUE(kinds.count(kind)) << "no texture of kind " << kind;
    ExpectNames("txtpckMain", MainNames());

    // The big font has one image per entry of its table; the switch has its off and on images.
    EXPECT_EQ(main.at("font").frames, 53);
    for (const auto& [key, t] : main) {
        if (t.kind == "arru") EXPECT_GE(t.frames, 2) << t.name;
        if (t.kind == "expl") EXPECT_GE(t.frames, 8) << t.name;
        EXPECT_EQ(static_cast<int>(t.numbers.size()), t.frames) << t.name << ": a gap in its frame numbers";
    }
    // An elevator (a wall whose name contains "elevator"), helpers hidden in play ("Blank" in their names).
    bool elevator = false;
    for (const auto& [key, t] : main) elevator |= t.kind == "wall" && key.find("elevator") != std::string::npos;
    EXPECT_TRUE(elevator);
    EXPECT_NE(main.at("blankwall").name.find("Blank"), std::string::npos);
    EXPECT_NE(main.at("blank").name.find("Blank"), std::string::npos);
}

TEST(ArtOutput, VartoLumPackHasEveryNameTheImportAsksFor) {
    ExpectNames("txtpckVarto-Lum", VartoLumNames());
    // Only the working lift moves: the broken one must not be taken for an elevator.
    EXPECT_EQ(Lower(Pack("txtpckVarto-Lum").at("varto-lum_brokenlift").name).find("elevator"), std::string::npos);
}

TEST(ArtOutput, NostalgicPacksMatchTheNormalPacksByNameAndKind) {
    for (const std::string pack : {"txtpckMain", "txtpckVarto-Lum"}) {
        const auto& normal = Pack(pack);
        const auto& old = Pack("1994" + pack);
        EXPECT_EQ(normal.size(), old.size()) << pack;
        for (const auto& [key, t] : normal) {
            auto it = old.find(key);
            if (it == old.end()) {
                ADD_FAILURE() << "1994" << pack << " lacks " << t.name;
                continue;
            }
            EXPECT_EQ(it->second.kind, t.kind) << t.name;
            if (t.kind == "font" || t.kind == "arru") EXPECT_EQ(it->second.frames, t.frames) << t.name;
        }
    }
}

TEST(ArtOutput, EveryPackImageDecodesWithPowerOfTwoSides) {
    int decoded = 0;
    for (const std::string pack : {"txtpckMain", "txtpckVarto-Lum", "1994txtpckMain", "1994txtpckVarto-Lum"}) {
        for (const auto& entry : fs::directory_iterator(GameDir + pack)) {
            DecodedImage img;
            std::string path = entry.path().string();
            ASSERT_TRUE(DecodePng(path, img)) << path << " error " << pngError;
            EXPECT_TRUE(img.width >= 16 && (img.width & (img.width - 1)) == 0) << path;
            EXPECT_TRUE(img.height >= 16 && (img.height & (img.height - 1)) == 0) << path;
            ++decoded;
        }
    }
    EXPECT_GT(decoded, 500);
}

// Windows-1252 bytes that stand for a character (the five unassigned ones and the controls excepted).
bool Printable(int b) {
    if (b < 33 || b == 127) return false;
    if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) return false;
    if (b == 0xA0) return false;   // no-break space: an advance, no ink
    return true;
}

TEST(ArtOutput, UiFontHasAGlyphForEveryPrintableByte) {
    TgaImage font;
    ASSERT_TRUE(DecodeTga(GameDir + "standard.tga", font));
    ASSERT_EQ(font.width, 256);
    ASSERT_EQ(font.height, 256);
    ASSERT_EQ(font.bitsPerPixel, 32);
    std::ifstream in(GameDir + "standard.dat", std::ios::binary);
    std::string dat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(dat.size(), 4096u);
    auto field = [&](int glyph, int index) {
        const unsigned char* p = reinterpret_cast<const unsigned char*>(dat.data()) + glyph * 16 + index * 4;
        return static_cast<std::int32_t>(p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24);
    };
    // Pixels of glyph i: column i mod 16, row i div 16 from the top; the file's rows run bottom first.
    auto ink = [&](int glyph) {
        int cx = (glyph % 16) * 16, cy = (glyph / 16) * 16, count = 0;
        for (int y = cy; y < cy + 16; ++y)
            for (int x = cx; x < cx + 16; ++x) {
                const std::uint8_t* p = &font.pixels[(static_cast<size_t>(255 - y) * 256 + x) * 4];
                if (p[3] > 64) ++count;
            }
        return count;
    };
    for (int b = 0; b < 256; ++b) {
        if (!Printable(b)) continue;
        EXPECT_GT(field(b, 0), 0) << "advance of byte " << b;
        EXPECT_LE(field(b, 0), 16) << "advance of byte " << b;
        EXPECT_GT(ink(b), 0) << "no pixels for byte " << b;
    }
    EXPECT_GT(field(' ', 0), 0);
    EXPECT_EQ(ink(' '), 0);
    // The editor's tooltip starts with the arrow symbols of bytes 27, 18 and 26.
    for (int b : {18, 26, 27}) EXPECT_GT(ink(b), 0) << "byte " << b;
    // Blended with ONE, ONE_MINUS_SRC_ALPHA: white glyphs stored premultiplied, colour equal to alpha.
    for (size_t i = 0; i < font.pixels.size(); i += 4)
        ASSERT_TRUE(font.pixels[i] == font.pixels[i + 3] && font.pixels[i + 1] == font.pixels[i + 3] &&
                    font.pixels[i + 2] == font.pixels[i + 3]) << "pixel " << i / 4;
    // Glyphs are readable: the letters of a word differ from each other.
    EXPECT_NE(ink('i'), ink('m'));
}

// True when the region holds a picture: visible, with both light and dark pixels (an icon or a label on a face).
bool NotBlank(const DecodedImage& img, int x0, int x1, int y0, int y1) {
    int minLum = 255, maxLum = 0, opaque = 0, total = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const std::uint8_t* p = &img.pixels[(static_cast<size_t>(img.height - 1 - y) * img.width + x) * 4];
            int lum = (p[0] * 3 + p[1] * 6 + p[2]) / 10;
            minLum = std::min(minLum, lum);
            maxLum = std::max(maxLum, lum);
            opaque += p[3] > 200;
            ++total;
        }
    return opaque * 10 > total * 9 && maxLum - minLum > 60;
}

TEST(ArtOutput, EditorButtonsLieInTheirHitRegions) {
    DecodedImage panel;
    ASSERT_TRUE(DecodePng(GameDir + "editmenu.png", panel));
    struct Region {
        int y0, y1, x0, x1;
    };
    // The panel's hit-test table: every button shows something inside its region.
    const Region regions[] = {
        {0, 16, 311, 353},   {80, 138, 287, 345}, {58, 78, 10, 28},    {58, 78, 32, 48},    {58, 78, 60, 77},
        {58, 78, 82, 98},    {58, 78, 103, 120},  {58, 78, 123, 141},  {58, 78, 152, 170},  {58, 78, 257, 277},
        {58, 78, 286, 304},  {58, 78, 327, 346},  {79, 99, 9, 28},     {79, 99, 31, 49},    {79, 99, 61, 79},
        {79, 99, 82, 99},    {79, 99, 102, 121},  {79, 99, 124, 142},  {79, 99, 153, 171},  {79, 99, 174, 192},
        {79, 99, 194, 214},  {79, 99, 216, 234},  {79, 99, 236, 256},  {79, 99, 257, 275},  {101, 139, 90, 141},
        {100, 120, 10, 28},  {100, 120, 31, 49},  {100, 120, 61, 85},  {100, 120, 153, 171}, {100, 120, 174, 192},
        {100, 120, 194, 214}, {100, 120, 216, 234}, {100, 120, 236, 256}, {100, 120, 257, 275}, {121, 140, 10, 28},
        {121, 140, 31, 49},  {121, 140, 61, 85},  {121, 140, 153, 171}, {121, 140, 174, 192}, {121, 140, 194, 214},
        {121, 140, 216, 234}, {121, 140, 236, 256}, {121, 140, 257, 275}, {33, 53, 123, 141},
    };
    for (const Region& r : regions)
        EXPECT_TRUE(NotBlank(panel, r.x0, r.x1, r.y0, r.y1)) << "editmenu.png x " << r.x0 << ".." << r.x1 << " y " << r.y0 << ".." << r.y1;

    struct DialogCase {
        const char* file;
        std::vector<Region> buttons;
    };
    const DialogCase dialogs[] = {
        {"editdial.png", {{0, 16, 311, 353}, {124, 154, 34, 159}, {124, 154, 195, 320}}},
        {"editdial1.png", {{0, 16, 311, 353}, {124, 154, 115, 240}}},
        {"editinput.png", {{0, 16, 311, 353}, {124, 154, 115, 240}}},
        {"editwait.png", {{0, 16, 311, 353}, {124, 154, 115, 240}}},
    };
    for (const DialogCase& d : dialogs) {
        DecodedImage img;
        ASSERT_TRUE(DecodePng(GameDir + d.file, img));
        for (const Region& r : d.buttons) EXPECT_TRUE(NotBlank(img, r.x0, r.x1, r.y0, r.y1)) << d.file << " x " << r.x0 << " y " << r.y0;
    }
}

}  // namespace
