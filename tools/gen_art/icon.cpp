// The game's icon for the desktop: the ball resting on a grass-topped tile, as PNG in the icon theme's sizes and
// as SVG. Every size is drawn at four times its size and shrunk, so even 16 x 16 keeps a round ball.
#include <cstdio>
#include <filesystem>
#include <string>

#include "draw.h"
#include "packs.h"
#include "writers.h"

namespace art {

namespace {

// The picture in units of a 128-unit square.
constexpr float TileLeft = 6, TileRight = 122, TileTop = 84, TileBottom = 122, TileRadius = 8, GrassDepth = 11;
constexpr float BallX = 64, BallY = 44, BallRadius = 42;

Image IconPicture(int size) {
    const int work = size * 4;
    const float k = work / 128.0f;
    Image img(work, work);
    auto tile = [&](float x, float y) {
        return SdRect(x, y, TileLeft * k, TileTop * k, TileRight * k, TileBottom * k, TileRadius * k);
    };
    // Earth below, grass on top with a wavy lower edge, lit from above.
    FillShapeShaded(img, tile, [&](float x, float y, float d) {
        const float t = (y / k - TileTop) / (TileBottom - TileTop);
        const float edge = TileTop + GrassDepth + 2.0f * std::sin(x / k * 0.35f);
        Rgba c = y / k < edge ? Mix(Hex(0x78D152), Hex(0x3F9A2C), (y / k - TileTop) / GrassDepth)
                              : Mix(Hex(0x9A6A3E), Hex(0x5A3820), t);
        if (d > -2.5f * k && y / k < TileTop + 3) c = Mix(c, Hex(0xD8F5B8), 0.5f);      // the lit top edge
        return c;
    });
    StrokeShape(img, tile, 2.5f * k, Rgba{0.10f, 0.07f, 0.04f, 0.85f});
    // A soft shadow where the ball rests.
    FillShape(img, [&](float x, float y) {
        return SdEllipse(x, y, BallX * k, TileTop * k + 2 * k, 30 * k, 5 * k) / (3 * k);
    }, Rgba{0.05f, 0.08f, 0.02f, 0.45f});
    // The game's own ball: BallPicture fills 60 of its 128 units with the ball's radius.
    const int ballSize = static_cast<int>(std::lround(BallRadius * k * 128 / 60));
    const Image ball = BallPicture(ballSize, 0.6f);
    Composite(img, ball, static_cast<int>(std::lround(BallX * k - ballSize / 2.0f)),
              static_cast<int>(std::lround(BallY * k - ballSize / 2.0f)));
    return Downscale(img, 4);
}

// The same picture as vectors: the tile, the grass, the shadow and a ball of red and white panels with blue caps.
std::string IconSvg() {
    char text[4096];
    std::snprintf(text, sizeof text, R"svg(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="128" height="128" viewBox="0 0 128 128">
  <defs>
    <linearGradient id="earth" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#9a6a3e"/><stop offset="1" stop-color="#5a3820"/>
    </linearGradient>
    <linearGradient id="grass" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#78d152"/><stop offset="1" stop-color="#3f9a2c"/>
    </linearGradient>
    <radialGradient id="light" cx="0.35" cy="0.3" r="0.75">
      <stop offset="0" stop-color="#ffffff" stop-opacity="0.55"/>
      <stop offset="0.45" stop-color="#ffffff" stop-opacity="0"/>
      <stop offset="1" stop-color="#000000" stop-opacity="0.35"/>
    </radialGradient>
    <clipPath id="tile"><rect x="%g" y="%g" width="%g" height="%g" rx="%g"/></clipPath>
    <clipPath id="ball"><circle cx="%g" cy="%g" r="%g"/></clipPath>
  </defs>
  <g clip-path="url(#tile)">
    <rect x="0" y="0" width="128" height="128" fill="url(#earth)"/>
    <path d="M0 0 H128 V%g Q112 %g 96 %g T64 %g T32 %g T0 %g Z" fill="url(#grass)"/>
  </g>
  <rect x="%g" y="%g" width="%g" height="%g" rx="%g" fill="none" stroke="#1a120a" stroke-opacity="0.85" stroke-width="2.5"/>
  <ellipse cx="%g" cy="%g" rx="30" ry="5" fill="#0d1405" fill-opacity="0.45"/>
  <g clip-path="url(#ball)">
    <g transform="rotate(-24 %g %g)">
      <rect x="0" y="0" width="128" height="128" fill="#f4f1ea"/>
      <rect x="0" y="%g" width="128" height="16" fill="#e2342a"/>
      <rect x="0" y="%g" width="128" height="20" fill="#e2342a"/>
      <circle cx="%g" cy="%g" r="16" fill="#2f6fd6" stroke="#1c3a78" stroke-width="2"/>
    </g>
    <circle cx="%g" cy="%g" r="%g" fill="url(#light)"/>
  </g>
  <circle cx="%g" cy="%g" r="%g" fill="none" stroke="#1a0d14" stroke-opacity="0.7" stroke-width="2.4"/>
</svg>
)svg",
                  TileLeft, TileTop, TileRight - TileLeft, TileBottom - TileTop, TileRadius,
                  BallX, BallY, BallRadius,
                  TileTop + GrassDepth, TileTop + GrassDepth - 3, TileTop + GrassDepth, TileTop + GrassDepth,
                  TileTop + GrassDepth, TileTop + GrassDepth,
                  TileLeft, TileTop, TileRight - TileLeft, TileBottom - TileTop, TileRadius,
                  BallX, TileTop + 2,
                  BallX, BallY,
                  BallY - 26, BallY + 6,
                  BallX - BallRadius - 2, BallY - 4,
                  BallX, BallY, BallRadius,
                  BallX, BallY, BallRadius - 1);
    return text;
}

}  // namespace

bool BuildIcons(const std::string& folder, const std::string& name) {
    bool ok = true;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const std::string apps = folder + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
        std::error_code ec;
        std::filesystem::create_directories(apps, ec);
        ok = WritePng(apps + "/" + name + ".png", IconPicture(size)) && ok;
    }
    std::error_code ec;
    std::filesystem::create_directories(folder + "/scalable/apps", ec);
    return WriteFileBytes(folder + "/scalable/apps/" + name + ".svg", IconSvg()) && ok;
}

}  // namespace art
