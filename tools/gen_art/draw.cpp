// Anti-aliased shapes, gradients, lighting and distance fields.
#include "draw.h"

#include <algorithm>
#include <limits>

namespace art {

float SdCircle(float x, float y, float cx, float cy, float r) { return std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) - r; }

float SdEllipse(float x, float y, float cx, float cy, float rx, float ry) {
    // Scaled circle distance: exact on the axes, close enough elsewhere for anti-aliasing.
    float dx = (x - cx) / rx, dy = (y - cy) / ry;
    float k = std::sqrt(dx * dx + dy * dy);
    float g = std::sqrt(dx * dx / (rx * rx) + dy * dy / (ry * ry));
    if (g < 1e-6f) return -std::min(rx, ry);
    return k * (k - 1) / g;
}

float SdBox(float x, float y, float cx, float cy, float hw, float hh, float radius) {
    float qx = std::fabs(x - cx) - (hw - radius), qy = std::fabs(y - cy) - (hh - radius);
    float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - radius;
}

float SdRect(float x, float y, float x0, float y0, float x1, float y1, float radius) {
    return SdBox(x, y, (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2, radius);
}

float SdSegment(float x, float y, Vec2 a, Vec2 b) {
    Vec2 p{x, y};
    Vec2 pa = p - a, ba = b - a;
    float h = Clamp01(Dot(pa, ba) / std::max(Dot(ba, ba), 1e-9f));
    return Length(pa - ba * h);
}

float SdPolygon(float x, float y, const std::vector<Vec2>& v) {
    Vec2 p{x, y};
    float d = Dot(p - v[0], p - v[0]);
    float s = 1;
    for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i, ++i) {
        Vec2 e = v[j] - v[i], w = p - v[i];
        Vec2 b = w - e * Clamp01(Dot(w, e) / Dot(e, e));
        d = std::min(d, Dot(b, b));
        bool c1 = p.y >= v[i].y, c2 = p.y < v[j].y, c3 = e.x * w.y > e.y * w.x;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
    }
    return s * std::sqrt(d);
}

namespace {

float WrappedSdf(const Sdf& sdf, float x, float y, int w, int h, bool wrap) {
    if (!wrap) return sdf(x, y);
    float d = std::numeric_limits<float>::max();
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) d = std::min(d, sdf(x + i * w, y + j * h));
    return d;
}

}  // namespace

void FillShape(Image& img, const Sdf& sdf, Rgba colour, bool wrap) {
    FillShapeShaded(img, sdf, [&](float, float, float) { return colour; }, wrap);
}

void FillShapeShaded(Image& img, const Sdf& sdf, const std::function<Rgba(float, float, float)>& shader, bool wrap) {
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float d = WrappedSdf(sdf, px, py, img.width, img.height, wrap);
            float c = Coverage(d);
            if (c > 0) BlendOver(img.At(x, y), shader(px, py, d), c);
        }
}

void FillShapeIn(Image& img, const Sdf& sdf, Rgba colour, int x0, int y0, int x1, int y1) {
    FillShapeShadedIn(img, sdf, [&](float, float, float) { return colour; }, x0, y0, x1, y1);
}

void FillShapeShadedIn(Image& img, const Sdf& sdf, const std::function<Rgba(float, float, float)>& shader, int x0, int y0,
                       int x1, int y1) {
    x0 = std::max(x0, 0); y0 = std::max(y0, 0);
    x1 = std::min(x1, img.width - 1); y1 = std::min(y1, img.height - 1);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float d = sdf(px, py);
            float c = Coverage(d);
            if (c > 0) BlendOver(img.At(x, y), shader(px, py, d), c);
        }
}

void StrokeLine(Image& img, Vec2 a, Vec2 b, float width, Rgba colour, bool wrap) {
    if (!wrap) {
        int x0 = static_cast<int>(std::min(a.x, b.x) - width - 2), x1 = static_cast<int>(std::max(a.x, b.x) + width + 2);
        int y0 = static_cast<int>(std::min(a.y, b.y) - width - 2), y1 = static_cast<int>(std::max(a.y, b.y) + width + 2);
        FillShapeIn(img, [&](float x, float y) { return SdSegment(x, y, a, b) - width / 2; }, colour, x0, y0, x1, y1);
        return;
    }
    FillShape(img, [&](float x, float y) { return SdSegment(x, y, a, b) - width / 2; }, colour, true);
}

void StrokeShape(Image& img, const Sdf& sdf, float width, Rgba colour, bool wrap) {
    FillShape(img, [&](float x, float y) { return std::fabs(sdf(x, y)) - width / 2; }, colour, wrap);
}

void VerticalGradient(Image& img, Rgba top, Rgba bottom) {
    for (int y = 0; y < img.height; ++y) {
        Rgba c = Mix(top, bottom, (y + 0.5f) / img.height);
        for (int x = 0; x < img.width; ++x) img.At(x, y) = c;
    }
}

Rgba GradientAt(const std::vector<std::pair<float, Rgba>>& stops, float t) {
    if (t <= stops.front().first) return stops.front().second;
    for (size_t i = 1; i < stops.size(); ++i)
        if (t <= stops[i].first) {
            float u = (t - stops[i - 1].first) / std::max(stops[i].first - stops[i - 1].first, 1e-6f);
            return Mix(stops[i - 1].second, stops[i].second, u);
        }
    return stops.back().second;
}

float LightFactor(float nx, float ny, float nz, const Light& light, float* highlight) {
    // Light from the upper left and in front; image y grows downwards.
    static const float lx = -0.48f, ly = -0.58f, lz = 0.66f;
    float len = std::sqrt(nx * nx + ny * ny + nz * nz);
    nx /= len; ny /= len; nz /= len;
    float ndl = std::max(0.0f, nx * lx + ny * ly + nz * lz);
    // Normalised so that a flat surface keeps its colour.
    float k = (light.ambient + light.diffuse * ndl) / (light.ambient + light.diffuse * lz);
    if (highlight) {
        float hx = lx, hy = ly, hz = lz + 1;
        float hl = std::sqrt(hx * hx + hy * hy + hz * hz);
        float ndh = std::max(0.0f, (nx * hx + ny * hy + nz * hz) / hl);
        *highlight = light.specular * std::pow(ndh, light.shininess);
    }
    return k;
}

void ApplyLight(Image& img, const Field& height, float depth, bool wrap, const Light& light) {
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            auto h = [&](int xx, int yy) { return wrap ? height.AtWrap(xx, yy) : height.AtClamp(xx, yy); };
            float dx = (h(x + 1, y) - h(x - 1, y)) * 0.5f * depth;
            float dy = (h(x, y + 1) - h(x, y - 1)) * 0.5f * depth;
            float highlight = 0;
            float k = LightFactor(-dx, -dy, 1, light, &highlight);
            Rgba& p = img.At(x, y);
            p.r = p.r * k + highlight;
            p.g = p.g * k + highlight;
            p.b = p.b * k + highlight;
        }
}

namespace {

// Squared distance transform of one line (Felzenszwalb and Huttenlocher).
void Edt1D(const std::vector<float>& f, std::vector<float>& d, int n, std::vector<int>& v, std::vector<float>& z) {
    int k = 0;
    v[0] = 0;
    z[0] = -std::numeric_limits<float>::infinity();
    z[1] = std::numeric_limits<float>::infinity();
    for (int q = 1; q < n; ++q) {
        float s = ((f[q] + q * q) - (f[v[k]] + v[k] * v[k])) / (2.0f * q - 2.0f * v[k]);
        while (s <= z[k]) {
            --k;
            s = ((f[q] + q * q) - (f[v[k]] + v[k] * v[k])) / (2.0f * q - 2.0f * v[k]);
        }
        ++k;
        v[k] = q;
        z[k] = s;
        z[k + 1] = std::numeric_limits<float>::infinity();
    }
    k = 0;
    for (int q = 0; q < n; ++q) {
        while (z[k + 1] < q) ++k;
        d[q] = (q - v[k]) * (q - v[k]) + f[v[k]];
    }
}

// Distance from every pixel to the nearest pixel where `seed` is true.
Field DistanceTo(const std::vector<bool>& seed, int w, int h) {
    // Larger than any real squared distance, small enough to keep float precision.
    const float inf = 2.0f * (static_cast<float>(w) * w + static_cast<float>(h) * h) + 1;
    int n = std::max(w, h);
    std::vector<float> f(n), d(n), z(n + 1);
    std::vector<int> v(n);
    Field out(w, h);
    for (int i = 0; i < w * h; ++i) out.values[i] = seed[i] ? 0 : inf;
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y) f[y] = out.At(x, y);
        Edt1D(f, d, h, v, z);
        for (int y = 0; y < h; ++y) out.At(x, y) = d[y];
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) f[x] = out.At(x, y);
        Edt1D(f, d, w, v, z);
        for (int x = 0; x < w; ++x) out.At(x, y) = std::sqrt(d[x]);
    }
    return out;
}

}  // namespace

Field DistanceField(const Field& mask) {
    int w = mask.width, h = mask.height;
    std::vector<bool> inside(static_cast<size_t>(w) * h), outside(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < inside.size(); ++i) {
        inside[i] = mask.values[i] >= 0.5f;
        outside[i] = !inside[i];
    }
    Field toInside = DistanceTo(inside, w, h), toOutside = DistanceTo(outside, w, h);
    Field sdf(w, h);
    for (size_t i = 0; i < sdf.values.size(); ++i) {
        // The mask's own coverage refines the edge to sub-pixel accuracy.
        float m = mask.values[i];
        if (inside[i]) sdf.values[i] = -(toOutside.values[i] - 1.0f) - (m - 0.5f);
        else sdf.values[i] = (toInside.values[i] - 1.0f) + (0.5f - m);
    }
    return sdf;
}

Field BevelHeight(const Field& sdf, float width) {
    Field h(sdf.width, sdf.height);
    for (size_t i = 0; i < h.values.size(); ++i) {
        float t = Clamp01(-sdf.values[i] / width);
        h.values[i] = std::sin(t * Pi / 2);
    }
    return h;
}

}  // namespace art
