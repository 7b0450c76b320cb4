// Lit surfaces, colour variation, bevelled blocks and pixel-art helpers.
#include "surface.h"

#include <algorithm>

namespace art {

Image Surface(int width, int height, bool wrap, float depth, const Light& light, const SurfaceFn& f) {
    Image img(width, height);
    Field h(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Rgba albedo{0, 0, 0, 1};
            float hh = 0;
            f(x + 0.5f, y + 0.5f, albedo, hh);
            img.At(x, y) = albedo;
            h.At(x, y) = hh;
        }
    ApplyLight(img, h, depth, wrap, light);
    return img;
}

Rgba Vary(Rgba c, std::uint32_t hash, float amount) {
    float k = 1 + amount * (2 * HashUnit(hash, 11) - 1);
    float warm = amount * 0.4f * (2 * HashUnit(hash, 12) - 1);
    return {c.r * k * (1 + warm), c.g * k, c.b * k * (1 - warm), c.a};
}

Image BevelBlock(int size, Rgba colour, float bevel, float radius, float gloss) {
    const float s = static_cast<float>(size);
    Light light{0.5f, 0.8f, gloss, 18};
    Image img = Surface(size, size, false, bevel * 0.9f, light, [&](float x, float y, Rgba& albedo, float& height) {
        float d = SdRect(x, y, 0, 0, s, s, radius);
        float t = Clamp01(-d / bevel);
        height = std::sin(t * Pi / 2);
        // A slightly lighter face, a soft sheen from the upper left.
        float sheen = 1.06f - 0.12f * (x + y) / (2 * s);
        albedo = Scale(colour, sheen);
        // An inset line marks the face.
        float inset = std::fabs(d + bevel + 1.5f);
        if (inset < 0.9f) albedo = Scale(albedo, 0.9f);
        albedo.a = Coverage(d);
    });
    return img;
}

void PixelRect(Image& img, int x0, int y0, int x1, int y1, Rgba c) {
    for (int y = std::max(0, y0); y <= std::min(img.height - 1, y1); ++y)
        for (int x = std::max(0, x0); x <= std::min(img.width - 1, x1); ++x) img.At(x, y) = c;
}

void PixelShape(Image& img, const Sdf& sdf, Rgba c) {
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            if (sdf(x + 0.5f, y + 0.5f) <= 0) img.At(x, y) = c;
}

void PixelBevel(Image& img, float light, float dark) {
    Image src = img;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            if (src.At(x, y).a < 0.5f) continue;
            bool openUpLeft = x == 0 || y == 0 || src.At(x - 1, y).a < 0.5f || src.At(x, y - 1).a < 0.5f;
            bool openDownRight = x == img.width - 1 || y == img.height - 1 || src.At(x + 1, y).a < 0.5f || src.At(x, y + 1).a < 0.5f;
            Rgba& p = img.At(x, y);
            if (openUpLeft) p = {std::min(1.0f, p.r * light), std::min(1.0f, p.g * light), std::min(1.0f, p.b * light), p.a};
            else if (openDownRight) p = Scale(p, dark);
        }
}

void PixelOutline(Image& img, Rgba c) {
    Image src = img;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            if (src.At(x, y).a >= 0.5f) continue;
            bool near = false;
            for (int j = -1; j <= 1 && !near; ++j)
                for (int i = -1; i <= 1; ++i) {
                    if (i && j) continue;
                    int xx = x + i, yy = y + j;
                    if (xx >= 0 && yy >= 0 && xx < img.width && yy < img.height && src.At(xx, yy).a >= 0.5f) near = true;
                }
            if (near) img.At(x, y) = c;
        }
}

}  // namespace art
