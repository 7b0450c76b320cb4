// The editor's panel and dialog images, their buttons exactly where the editor tests the mouse, and the
// cursor frame and the grey veil.
#include <algorithm>

#include "draw.h"
#include "packs.h"
#include "surface.h"
#include "text.h"
#include "writers.h"

namespace art {

namespace {

constexpr int PanelW = 374, PanelH = 186;

const Rgba Ink = Hex(0x1E2430);
const Rgba ButtonFace = Hex(0xE6EAF0);

// Panel body: a cool light grey with a dark rim, a title strip along the top.
Image PanelBase() {
    Image img(PanelW, PanelH);
    FillShapeShaded(img, [](float x, float y) { return SdRect(x, y, 0, 0, PanelW, PanelH, 7); }, [](float x, float y, float d) {
        Rgba body = Mix(Hex(0xD4D9E1), Hex(0xB8BFCA), y / PanelH);
        if (d > -1.2f) return Hex(0x2A303A);
        if (d > -2.4f) return Hex(0xF4F6FA);
        return body;
    });
    // Title strip (the drag handle): y 0 .. 28.
    FillShapeShaded(img, [](float x, float y) { return std::max(SdRect(x, y, 1.2f, 1.2f, PanelW - 1.2f, 40, 6), y - 28); },
                    [](float x, float y, float) {
                        Rgba c = Mix(Hex(0x3A66A8), Hex(0x1E3A66), y / 28);
                        if (y < 3) c = Mix(c, Hex(0x88A8D8), 0.5f);
                        return c;
                    });
    FillShape(img, [](float x, float y) { return SdRect(x, y, 1, 28, PanelW - 1, 29.2f); }, Hex(0x14243C));
    return img;
}

// A recessed field where the game writes text or shows a picture.
void Well(Image& img, float x0, float y0, float x1, float y1, Rgba fill) {
    FillShapeShaded(img, [&](float x, float y) { return SdRect(x, y, x0, y0, x1, y1, 3); }, [&](float x, float y, float d) {
        if (d > -1.2f) return (y < (y0 + y1) / 2 || x < (x0 + x1) / 2) && (y - y0 < 2 || x - x0 < 2) ? Hex(0x6A7280) : Hex(0xF6F8FB);
        return fill;
    });
}

// A picture well: checked like a transparency grid, with light corner marks so its place shows even when
// the picture drawn into it is see-through.
void PictureWell(Image& img, float x0, float y0, float x1, float y1) {
    Well(img, x0, y0, x1, y1, Hex(0x2A2E36));
    FillShapeShaded(img, [&](float x, float y) { return SdRect(x, y, x0 + 2, y0 + 2, x1 - 2, y1 - 2); }, [&](float x, float y, float) {
        bool odd = (static_cast<int>((x - x0) / 6) + static_cast<int>((y - y0) / 6)) % 2;
        return odd ? Hex(0x3A3F4A) : Hex(0x2A2E36);
    });
    const float len = 7, a = x0 + 3, b = y0 + 3, c = x1 - 3, d = y1 - 3;
    Rgba mark = Hex(0xC8CED8);
    for (auto seg : {std::pair<Vec2, Vec2>{{a, b}, {a + len, b}}, {{a, b}, {a, b + len}}, {{c, b}, {c - len, b}}, {{c, b}, {c, b + len}},
                     {{a, d}, {a + len, d}}, {{a, d}, {a, d - len}}, {{c, d}, {c - len, d}}, {{c, d}, {c, d - len}}})
        StrokeLine(img, seg.first, seg.second, 1.6f, mark);
}

// A raised button over the inclusive pixel region (x0, y0) .. (x1, y1).
void Button(Image& img, int x0, int y0, int x1, int y1, Rgba face = ButtonFace) {
    float fx0 = static_cast<float>(x0), fy0 = static_cast<float>(y0), fx1 = x1 + 1.0f, fy1 = y1 + 1.0f;
    FillShapeShaded(img, [&](float x, float y) { return SdRect(x, y, fx0, fy0, fx1, fy1, 3); }, [&](float x, float y, float d) {
        if (d > -1.1f) return Hex(0x4A5262);
        bool upperLeft = (x - fx0) < 2.4f || (y - fy0) < 2.4f;
        bool lowerRight = (fx1 - x) < 2.4f || (fy1 - y) < 2.4f;
        if (d > -2.3f && upperLeft && !lowerRight) return Hex(0xFFFFFF);
        if (d > -2.3f && lowerRight) return Scale(face, 0.72f);
        return Mix(Scale(face, 1.03f), Scale(face, 0.9f), (y - fy0) / (fy1 - fy0));
    });
}

// ---- Icons (drawn centred on cx, cy, about 13 pixels across) --------------------------------------------

void Triangle(Image& img, float cx, float cy, float size, float angle, Rgba c) {
    std::vector<Vec2> t = {{size, 0}, {-size * 0.7f, -size * 0.95f}, {-size * 0.7f, size * 0.95f}};
    for (Vec2& p : t) p = Rotate(p, angle) + Vec2{cx, cy};
    FillShape(img, [&](float x, float y) { return SdPolygon(x, y, t) - 0.4f; }, c);
}

void Arrow(Image& img, float cx, float cy, float angle, Rgba c, float size = 6.5f) {
    std::vector<Vec2> a = {{size, 0}, {0, -size}, {0, -size * 0.4f}, {-size, -size * 0.4f}, {-size, size * 0.4f}, {0, size * 0.4f}, {0, size}};
    for (Vec2& p : a) p = Rotate(p, angle) + Vec2{cx, cy};
    FillShape(img, [&](float x, float y) { return SdPolygon(x, y, a) - 0.3f; }, c);
}

void Plus(Image& img, float cx, float cy, float r, Rgba c) {
    FillShape(img, [&](float x, float y) { return std::min(SdBox(x, y, cx, cy, r, r * 0.3f), SdBox(x, y, cx, cy, r * 0.3f, r)); }, c);
}

void Cross(Image& img, float cx, float cy, float r, Rgba c) {
    FillShape(img, [&](float x, float y) {
        Vec2 p = Rotate(Vec2{x - cx, y - cy}, Pi / 4);
        return std::min(SdBox(p.x, p.y, 0, 0, r, r * 0.28f), SdBox(p.x, p.y, 0, 0, r * 0.28f, r));
    }, c);
}

void Folder(Image& img, float cx, float cy, bool open) {
    FillShape(img, [&](float x, float y) { return SdRect(x, y, cx - 7, cy - 5, cx - 1, cy - 2, 1); }, Hex(0xC8902A));
    FillShape(img, [&](float x, float y) { return SdRect(x, y, cx - 7, cy - 3, cx + 7, cy + 5, 1); }, Hex(0xE8B040));
    if (open) {
        std::vector<Vec2> flap = {{cx - 5, cy - 0.5f}, {cx + 8, cy - 0.5f}, {cx + 6, cy + 5}, {cx - 7, cy + 5}};
        FillShape(img, [&](float x, float y) { return SdPolygon(x, y, flap); }, Hex(0xF8D070));
    }
    StrokeShape(img, [&](float x, float y) { return SdRect(x, y, cx - 7, cy - 3, cx + 7, cy + 5, 1); }, 0.8f, Hex(0x7A5410));
}

void Page(Image& img, float cx, float cy) {
    std::vector<Vec2> p = {{cx - 5, cy - 7}, {cx + 2, cy - 7}, {cx + 5, cy - 4}, {cx + 5, cy + 7}, {cx - 5, cy + 7}};
    FillShape(img, [&](float x, float y) { return SdPolygon(x, y, p); }, Hex(0xFFFFFF));
    StrokeShape(img, [&](float x, float y) { return SdPolygon(x, y, p); }, 0.9f, Hex(0x4A5262));
    for (int k = 0; k < 3; ++k) StrokeLine(img, {cx - 3, cy - 2 + k * 3.0f}, {cx + 3, cy - 2 + k * 3.0f}, 0.8f, Hex(0x9AA4B4));
}

void Floppy(Image& img, float cx, float cy) {
    FillShape(img, [&](float x, float y) { return SdRect(x, y, cx - 7, cy - 7, cx + 7, cy + 7, 1.5f); }, Hex(0x2C5AA8));
    FillShape(img, [&](float x, float y) { return SdRect(x, y, cx - 4, cy - 7, cx + 3, cy - 2); }, Hex(0xC8CED8));
    FillShape(img, [&](float x, float y) { return SdRect(x, y, cx + 0.5f, cy - 6, cx + 2, cy - 3); }, Hex(0x2C5AA8));
    FillShape(img, [&](float x, float y) { return SdRect(x, y, cx - 5, cy + 1, cx + 5, cy + 7); }, Hex(0xFFFFFF));
}

void Clock(Image& img, float cx, float cy) {
    FillShape(img, [&](float x, float y) { return SdCircle(x, y, cx, cy, 7); }, Hex(0x3A4252));
    FillShape(img, [&](float x, float y) { return SdCircle(x, y, cx, cy, 5.8f); }, Hex(0xFFFFFF));
    StrokeLine(img, {cx, cy}, {cx, cy - 4.5f}, 1.3f, Ink);
    StrokeLine(img, {cx, cy}, {cx + 3.2f, cy + 1}, 1.3f, Ink);
}

void Pencil(Image& img, float cx, float cy) {
    std::vector<Vec2> body = {{-6, 3}, {3, -6}, {6, -3}, {-3, 6}};
    std::vector<Vec2> tip = {{-6, 3}, {-3, 6}, {-7.5f, 7.5f}};
    for (Vec2& p : body) p = p + Vec2{cx, cy};
    for (Vec2& p : tip) p = p + Vec2{cx, cy};
    FillShape(img, [&](float x, float y) { return SdPolygon(x, y, body); }, Hex(0xF0B030));
    FillShape(img, [&](float x, float y) { return SdPolygon(x, y, tip); }, Hex(0xE8D0A0));
    StrokeShape(img, [&](float x, float y) { return SdPolygon(x, y, body); }, 0.8f, Hex(0x7A5410));
}

void Note(Image& img, float cx, float cy) {
    FillShape(img, [&](float x, float y) { return SdEllipse(x, y, cx - 2.5f, cy + 4, 3.2f, 2.4f); }, Ink);
    FillShape(img, [&](float x, float y) { return SdRect(x, y, cx - 0.3f, cy - 7, cx + 1.1f, cy + 4); }, Ink);
    FillShape(img, [&](float x, float y) { return SdSegment(x, y, {cx + 0.5f, cy - 6.5f}, {cx + 4.5f, cy - 3}) - 1.1f; }, Ink);
}

void Label(Image& img, float cx, float cy, const char* text, Rgba c, float size = 10) {
    TextMask t = RenderText(FontStyle::SansBold, U32(text), size, 0, 0, true);
    int ox = static_cast<int>(std::lround(cx - t.width / 2)), oy = static_cast<int>(std::lround(cy - t.baseline + size * 0.37f));
    for (int y = 0; y < t.mask.height; ++y)
        for (int x = 0; x < t.mask.width; ++x) {
            int px = ox + x, py = oy + y;
            if (px < 0 || py < 0 || px >= img.width || py >= img.height) continue;
            BlendOver(img.At(px, py), c, t.mask.At(x, y));
        }
}

void PathIcon(Image& img, float cx, float cy, float angle) {
    FillShape(img, [&](float x, float y) {
        float th = std::atan2(y - cy, x - cx);
        return std::fabs(SdCircle(x, y, cx, cy, 6.5f)) - 0.8f + (std::sin(th * 6) > 0 ? 0 : 5);
    }, Hex(0xC030C0));
    Arrow(img, cx, cy, angle, Hex(0xC030C0), 4.5f);
}

// "Can it be won?": a magnifying glass with a green tick in its lens.
void SolveIcon(Image& img, float cx, float cy) {
    const float lx = cx - 1.5f, ly = cy - 1.5f;
    FillShape(img, [&](float x, float y) { return SdCircle(x, y, lx, ly, 4.8f); }, Hex(0xEAF6FF));
    StrokeLine(img, {lx + 3.2f, ly + 3.2f}, {cx + 6, cy + 6}, 2.6f, Hex(0x7A5410));
    StrokeShape(img, [&](float x, float y) { return SdCircle(x, y, lx, ly, 4.8f); }, 1.5f, Ink);
    StrokeLine(img, {lx - 2.4f, ly + 0.2f}, {lx - 0.6f, ly + 2.2f}, 1.5f, Hex(0x28A040));
    StrokeLine(img, {lx - 0.6f, ly + 2.2f}, {lx + 2.6f, ly - 2.2f}, 1.5f, Hex(0x28A040));
}

void PowerIcon(Image& img, float cx, float cy) {
    FillShape(img, [&](float x, float y) { return SdCircle(x, y, cx, cy, 6.5f); }, Hex(0xE0382C));
    FillShape(img, [&](float x, float y) { return SdRect(x, y, cx, cy - 6.5f, cx + 6.5f, cy); }, Hex(0x40D050));
    FillShape(img, [&](float x, float y) {
        float ring = std::fabs(SdCircle(x, y, cx, cy + 0.5f, 3.6f)) - 0.8f;
        if (y < cy - 1 && std::fabs(x - cx) < 2.2f) ring = 5;
        return std::min(ring, SdRect(x, y, cx - 0.7f, cy - 5, cx + 0.7f, cy));
    }, Hex(0xFFFFFF));
}

// Every panel button, its region as the editor tests it, and what it shows.
void DrawPanelButtons(Image& img) {
    const Rgba packBlue = Hex(0x2A4C8C), grey = Hex(0x3A4252), green = Hex(0x28A040), red = Hex(0xD0302A);
    auto region = [&](int x0, int x1, int y0, int y1) { Button(img, x0, y0, x1, y1); };
    auto centre = [](int a, int b) { return (a + b + 1) / 2.0f; };

    // Beside the level number: can the level be won (F3)?
    region(123, 141, 33, 53);
    SolveIcon(img, centre(123, 141), 43.5f);

    // Row y 58 .. 78: packs, levels, save, title; pack filter; texture choice.
    region(10, 28, 58, 78);
    Triangle(img, centre(10, 28) - 2.5f, 68.5f, 4.5f, Pi, packBlue);
    Triangle(img, centre(10, 28) + 2.5f, 68.5f, 4.5f, Pi, packBlue);
    region(32, 48, 58, 78);
    Triangle(img, centre(32, 48) - 2.5f, 68.5f, 4.5f, 0, packBlue);
    Triangle(img, centre(32, 48) + 2.5f, 68.5f, 4.5f, 0, packBlue);
    region(60, 77, 58, 78);
    Triangle(img, centre(60, 77), 68.5f, 5, Pi, grey);
    region(82, 98, 58, 78);
    Triangle(img, centre(82, 98), 68.5f, 5, 0, grey);
    region(103, 120, 58, 78);
    Floppy(img, centre(103, 120), 68.5f);
    region(123, 141, 58, 78);
    Label(img, centre(123, 141), 68.5f, "Aa", Ink, 9.5f);
    region(152, 170, 58, 78);
    Triangle(img, centre(152, 170), 68.5f, 4.5f, Pi, grey);
    Well(img, 172, 58, 255, 79, Hex(0xF2F4F8));   // the pack filter's name is written at (179, 59)
    region(257, 277, 58, 78);
    Triangle(img, centre(257, 277), 68.5f, 4.5f, 0, grey);
    region(286, 304, 58, 78);
    Triangle(img, centre(286, 304), 68.5f, 5, -Pi / 2, grey);
    region(327, 346, 58, 78);
    Triangle(img, centre(327, 346), 68.5f, 5, Pi / 2, grey);

    // Row y 79 .. 99: pack and level files, time, test play; then the kinds.
    region(9, 28, 79, 99);
    Folder(img, centre(9, 28) - 1, 89.5f, false);
    Plus(img, centre(9, 28) + 4.5f, 93.5f, 3.6f, green);
    region(31, 49, 79, 99);
    Folder(img, centre(31, 49) - 1, 89.5f, false);
    Cross(img, centre(31, 49) + 4.5f, 93.5f, 3.8f, red);
    region(61, 79, 79, 99);
    Page(img, centre(61, 79) - 1, 89.5f);
    Plus(img, centre(61, 79) + 4, 94, 3.6f, green);
    region(82, 99, 79, 99);
    Page(img, centre(82, 99) - 1, 89.5f);
    Cross(img, centre(82, 99) + 4, 94, 3.8f, red);
    region(102, 121, 79, 99);
    Clock(img, centre(102, 121), 89.5f);
    region(124, 142, 79, 99);
    FillShape(img, [&](float x, float y) { return SdCircle(x, y, centre(124, 142), 89.5f, 7.5f); }, green);
    Triangle(img, centre(124, 142) + 1, 89.5f, 4.2f, 0, Hex(0xFFFFFF));

    // Row y 100 .. 120 and 121 .. 140: pack name, level order, music.
    region(10, 28, 100, 120);
    Pencil(img, centre(10, 28), 110.5f);
    region(31, 49, 100, 120);
    Label(img, centre(31, 49), 110.5f, "+1", Ink, 9);
    region(61, 85, 100, 120);
    Note(img, centre(61, 85) - 4, 110.5f);
    Plus(img, centre(61, 85) + 5, 110.5f, 3.4f, green);
    region(10, 28, 121, 140);
    Folder(img, centre(10, 28), 130.5f, true);
    region(31, 49, 121, 140);
    Label(img, centre(31, 49), 130.5f, "-1", Ink, 9);
    region(61, 85, 121, 140);
    Note(img, centre(61, 85) - 4, 130.5f);
    FillShape(img, [&](float x, float y) { return SdBox(x, y, centre(61, 85) + 5, 130.5f, 3.4f, 1.1f); }, red);

    // The background button: a frame around the 51 x 38 preview at (90, 101).
    PictureWell(img, 88, 99, 143, 141);

    // Kind buttons: 17 x 17 at the highlight positions.
    struct KindButton {
        const char* kind;
        int x, y;
    };
    const KindButton kinds[] = {{"grnd", 153, 80}, {"wall", 174, 80}, {"crck", 195, 80}, {"bomb", 216, 80}, {"flag", 237, 80},
                                {"trap", 258, 80}, {"ball", 153, 101}, {"arrn", 174, 101}, {"arre", 195, 101}, {"arrs", 216, 101},
                                {"arrw", 237, 101}, {"arru", 258, 101}, {"exit", 153, 122}, {"plat", 174, 122}, {"plan", 195, 122},
                                {"plae", 216, 122}, {"plas", 237, 122}, {"plaw", 258, 122}};
    for (const KindButton& k : kinds) {
        Button(img, k.x, k.y, k.x + 16, k.y + 16);
        float cx = k.x + 8.5f, cy = k.y + 8.5f;
        std::string kind = k.kind;
        if (kind == "arrn" || kind == "arre" || kind == "arrs" || kind == "arrw") {
            float angle = kind == "arrn" ? -Pi / 2 : kind == "arre" ? 0 : kind == "arrs" ? Pi / 2 : Pi;
            Arrow(img, cx, cy, angle, Hex(0x109A8A));
        } else if (kind == "plan" || kind == "plae" || kind == "plas" || kind == "plaw") {
            float angle = kind == "plan" ? -Pi / 2 : kind == "plae" ? 0 : kind == "plas" ? Pi / 2 : Pi;
            PathIcon(img, cx, cy, angle);
        } else if (kind == "arru") {
            PowerIcon(img, cx, cy);
        } else {
            Image sample = MainPackSample(kind);
            Image small = ResizeBilinear(sample, 13, 13);
            // Scenery and walls fill the square; objects stand in it.
            Composite(img, small, k.x + 2, k.y + 2);
        }
    }

    // The texture preview (58 x 58 at (287, 80)) is also the picker button.
    PictureWell(img, 285, 78, 347, 140);
}

void CloseBox(Image& img) {
    // Region x 311 .. 353, y 0 .. 16.
    FillShapeShaded(img, [](float x, float y) { return SdRect(x, y, 312, 1.5f, 353, 17, 3); }, [](float x, float y, float d) {
        if (d > -1.1f) return Hex(0x5A1410);
        return Mix(Hex(0xF06050), Hex(0xB82A20), (y - 1.5f) / 15.5f);
    });
    Cross(img, 332.5f, 9.2f, 4.8f, Hex(0xFFFFFF));
}

// Small badge at the left of a dialog's title strip.
void Badge(Image& img, const char* mark, Rgba colour) {
    FillShape(img, [](float x, float y) { return SdCircle(x, y, 16, 14.5f, 9); }, colour);
    StrokeShape(img, [](float x, float y) { return SdCircle(x, y, 16, 14.5f, 9); }, 1.2f, Hex(0xFFFFFF));
    Label(img, 16, 14.5f, mark, Hex(0xFFFFFF), 11);
}

void Tick(Image& img, float cx, float cy, Rgba c) {
    StrokeLine(img, {cx - 5, cy}, {cx - 1.5f, cy + 4}, 2.6f, c);
    StrokeLine(img, {cx - 1.5f, cy + 4}, {cx + 6, cy - 5}, 2.6f, c);
}

// An hourglass on the badge of the dialog that waits for the solver.
void Hourglass(Image& img, float cx, float cy) {
    std::vector<Vec2> glass = {{cx - 4, cy - 5.5f}, {cx + 4, cy - 5.5f}, {cx + 0.8f, cy}, {cx + 4, cy + 5.5f},
                               {cx - 4, cy + 5.5f}, {cx - 0.8f, cy}};
    FillShape(img, [&](float x, float y) { return SdPolygon(x, y, glass); }, Hex(0xFFFFFF));
    std::vector<Vec2> sand = {{cx - 2.6f, cy + 4.6f}, {cx + 2.6f, cy + 4.6f}, {cx, cy + 1.6f}};
    FillShape(img, [&](float x, float y) { return SdPolygon(x, y, sand); }, Hex(0xE8B040));
}

// `waits`: the dialog that shows a job at work, whose one button cancels it.
Image Dialog(int buttons, bool input, bool waits = false) {
    Image img = PanelBase();
    CloseBox(img);
    if (input) Badge(img, "", Hex(0x3A8A4A));
    if (input) Pencil(img, 16, 14.5f);
    else if (waits) Badge(img, "", Hex(0x2A70C8));
    else if (buttons == 2) Badge(img, "?", Hex(0x2A70C8));
    else Badge(img, "!", Hex(0xE08A20));
    if (waits) Hourglass(img, 16, 14.5f);
    // Text area for three lines from y 40.
    Well(img, 8, 34, 366, 116, Hex(0xF4F6F9));
    if (input) Well(img, 32, 82, 344, 106, Hex(0x1C2430));   // white input text at (40, 87)
    if (buttons == 2) {
        Button(img, 34, 124, 159, 154);
        Tick(img, 145, 139, Hex(0x28A040));
        Button(img, 195, 124, 320, 154);
        Cross(img, 306, 139, 5, Hex(0xD0302A));
    } else {
        Button(img, 115, 124, 240, 154);
        if (waits) Cross(img, 226, 139, 5, Hex(0xD0302A));
        else Tick(img, 226, 139, Hex(0x28A040));
    }
    return img;
}

Image SelectFrame() {
    // Drawn 17 x 17 over a kind button, 51 x 38 over the background, and as the board cursor, always with
    // nearest filtering: a ring four texels wide keeps showing at every size.
    const int n = 64;
    Image img(n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            int d = std::min({x, y, n - 1 - x, n - 1 - y});
            Rgba c = Transparent;
            if (d == 0 || d == 5) c = Rgba{0.1f, 0.08f, 0.02f, 0.9f};
            else if (d <= 4) c = Mix(Hex(0xFFE060), Hex(0xF09A20), (x + y) / (2.0f * n));
            else c = Rgba{1.0f, 0.85f, 0.3f, 0.12f};
            img.At(x, y) = c;
        }
    return img;
}

}  // namespace

bool BuildEditorImages(const std::string& gameDir) {
    bool ok = true;
    Image panel = PanelBase();
    CloseBox(panel);
    Well(panel, 6, 32, 119, 54, Hex(0xF4F6F9));        // "Level n / m" at (10, 35), the F3 button beside it
    Well(panel, 150, 32, 368, 54, Hex(0xF4F6F9));      // texture name at (153, 35)
    Well(panel, 6, 145, 368, 169, Hex(0xF4F6F9));      // tooltip at (10, 150)
    DrawPanelButtons(panel);
    ok = WritePng(gameDir + "/editmenu.png", panel) && ok;
    ok = WritePng(gameDir + "/editdial.png", Dialog(2, false)) && ok;
    ok = WritePng(gameDir + "/editdial1.png", Dialog(1, false)) && ok;
    ok = WritePng(gameDir + "/editinput.png", Dialog(1, true)) && ok;
    ok = WritePng(gameDir + "/editwait.png", Dialog(1, false, true)) && ok;
    ok = WritePng(gameDir + "/editselect.png", SelectFrame()) && ok;
    ok = WritePng(gameDir + "/editgray.png", Image(16, 16, Rgba{0.16f, 0.17f, 0.2f, 0.64f})) && ok;
    return ok;
}

}  // namespace art
