// Paints the program's fourteen scenery images from nothing but value noise,
// cellular noise, gradients and simple shapes, and writes them as uncompressed
// TGA files into the directory named by the only argument, under the names of
// scenery/texture_files.inc. The build runs it, so the repository keeps the
// recipe instead of four megabytes of pixels.
//   make_textures OUTPUT_DIRECTORY
//   make_textures --icon SIZE OUTPUT.png    the desktop icon, SIZE x SIZE
//
// Row order follows how each picture is mapped in the scene:
//  - the walls put texture row t = 0 on their top edge, so wall files start
//    with the top row of the picture (top-left origin);
//  - the pool floor puts t = 0 on its near edge, a box side on its bottom edge
//    and a sphere map on the downward-looking rim, so those files start with
//    the bottom row (bottom-left origin, the usual order of the format).
// The loader takes rows in file order whatever the origin flag says; the flag
// is still written truthfully so that an image viewer shows every file the
// way the scene shows it.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr float PI = 3.14159265f;

// ---------------------------------------------------------------- colours

struct Rgb {
    float r, g, b;
};

Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
Rgb operator*(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }

float clamp01(float x) { return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x); }
float mixf(float a, float b, float t) { return a + (b - a) * t; }
Rgb mix(Rgb a, Rgb b, float t) { return {mixf(a.r, b.r, t), mixf(a.g, b.g, t), mixf(a.b, b.b, t)}; }

float smoothstep(float edge0, float edge1, float x)
{
    const float t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

// ---------------------------------------------------------------- noise

std::uint32_t hashInts(int x, int y, int seed)
{
    std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8da6b343u ^ static_cast<std::uint32_t>(y) * 0xd8163841u ^
                      static_cast<std::uint32_t>(seed) * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return h;
}

float hashUnit(int x, int y, int seed) { return static_cast<float>(hashInts(x, y, seed) & 0xffffffu) / 16777216.0f; }

int wrapIndex(int i, int period)
{
    if (period <= 0)
        return i;
    i %= period;
    return i < 0 ? i + period : i;
}

// Smoothly interpolated lattice noise in 0..1. With a period the lattice
// repeats, so a floor texture meets itself without a seam where it repeats.
float valueNoise(float x, float y, int seed, int period = 0)
{
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3.0f - 2.0f * tx);
    ty = ty * ty * (3.0f - 2.0f * ty);
    const int x0 = wrapIndex(ix, period), x1 = wrapIndex(ix + 1, period);
    const int y0 = wrapIndex(iy, period), y1 = wrapIndex(iy + 1, period);
    const float top = mixf(hashUnit(x0, y0, seed), hashUnit(x1, y0, seed), tx);
    const float bottom = mixf(hashUnit(x0, y1, seed), hashUnit(x1, y1, seed), tx);
    return mixf(top, bottom, ty);
}

// Octaves of value noise, each twice as fine and half as strong, in 0..1.
float fbm(float x, float y, int seed, int octaves, int period = 0)
{
    float sum = 0.0f, amplitude = 0.5f, norm = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * valueNoise(x, y, seed + o * 101, period);
        norm += amplitude;
        x *= 2.0f;
        y *= 2.0f;
        period *= 2;
        amplitude *= 0.5f;
    }
    return sum / norm;
}

// A one-dimensional profile for skylines and hill tops.
float profile(float u, int seed, float scale, int octaves) { return fbm(u / scale, 0.37f, seed, octaves); }

// Sharp-crested profile for mountain ranges: folded noise makes ridges.
float ridgedProfile(float u, int seed, float scale)
{
    float sum = 0.0f, amplitude = 0.6f, x = u / scale;
    for (int o = 0; o < 4; ++o) {
        sum += amplitude * (1.0f - std::fabs(2.0f * valueNoise(x, 0.5f, seed + o * 31) - 1.0f));
        x *= 2.1f;
        amplitude *= 0.45f;
    }
    return sum;
}

// Cellular noise: one random point per unit cell; the distances to the
// nearest and second-nearest point, and which cell holds the nearest.
struct Cells {
    float nearest, second;
    int cellX, cellY;      // lattice cell of the nearest point (wrapped by the period)
    float pointX, pointY;  // the nearest point itself
};

Cells cellular(float x, float y, int seed, int period = 0)
{
    Cells c{1e9f, 1e9f, 0, 0, 0.0f, 0.0f};
    const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int cx = wrapIndex(ix + dx, period), cy = wrapIndex(iy + dy, period);
            const float px = static_cast<float>(ix + dx) + hashUnit(cx, cy, seed);
            const float py = static_cast<float>(iy + dy) + hashUnit(cx, cy, seed + 7);
            const float d = std::hypot(px - x, py - y);
            if (d < c.nearest) {
                c.second = c.nearest;
                c.nearest = d;
                c.cellX = cx;
                c.cellY = cy;
                c.pointX = px;
                c.pointY = py;
            } else if (d < c.second) {
                c.second = d;
            }
        }
    return c;
}

// A small reproducible sequence for placing things.
struct Rng {
    std::uint32_t state;
    float next()
    {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(state >> 8) / 16777216.0f;
    }
    float range(float low, float high) { return low + (high - low) * next(); }
};

// ---------------------------------------------------------------- painting

// A picture painted at scale x scale samples per final pixel and averaged
// down, which smooths the edges of every shape. Coordinates (u, v) are in
// final pixels, v downward from the top of the picture.
struct Canvas {
    int width, height, scale;
    std::vector<Rgb> samples;
    std::vector<float> alpha;
};

struct Image {
    int width, height;
    std::vector<Rgb> pixels;    // row 0 is the top of the picture
    std::vector<float> alpha;   // opacity 0..1
};

using Shader = std::function<Rgb(float, float)>;
using Coverage = std::function<float(float, float)>;

// A shape: its opacity at a point (0 outside) and a box that holds it.
struct Shape {
    float u0, v0, u1, v1;
    Coverage cover;
};

Canvas makeCanvas(int width, int height, int scale)
{
    const std::size_t n = static_cast<std::size_t>(width * scale) * static_cast<std::size_t>(height * scale);
    return Canvas{width, height, scale, std::vector<Rgb>(n, Rgb{0, 0, 0}), std::vector<float>(n, 1.0f)};
}

void fill(Canvas &c, const Shader &shader)
{
    const int w = c.width * c.scale, h = c.height * c.scale;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            c.samples[static_cast<std::size_t>(y) * w + x] =
                shader((static_cast<float>(x) + 0.5f) / c.scale, (static_cast<float>(y) + 0.5f) / c.scale);
}

// Lays colour over the canvas wherever the shape covers it, at its opacity times opacity.
void paint(Canvas &c, const Shape &shape, const Shader &colour, float opacity = 1.0f)
{
    const int w = c.width * c.scale, h = c.height * c.scale;
    const int x0 = std::max(0, static_cast<int>(std::floor(shape.u0 * c.scale)));
    const int y0 = std::max(0, static_cast<int>(std::floor(shape.v0 * c.scale)));
    const int x1 = std::min(w - 1, static_cast<int>(std::ceil(shape.u1 * c.scale)));
    const int y1 = std::min(h - 1, static_cast<int>(std::ceil(shape.v1 * c.scale)));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float u = (static_cast<float>(x) + 0.5f) / c.scale, v = (static_cast<float>(y) + 0.5f) / c.scale;
            const float a = clamp01(shape.cover(u, v)) * opacity;
            if (a <= 0.0f)
                continue;
            Rgb &s = c.samples[static_cast<std::size_t>(y) * w + x];
            s = mix(s, colour(u, v), a);
        }
}

void paint(Canvas &c, const Shape &shape, Rgb colour, float opacity = 1.0f)
{
    paint(c, shape, [colour](float, float) { return colour; }, opacity);
}

Shape disc(float cx, float cy, float r)
{
    return {cx - r, cy - r, cx + r, cy + r,
            [=](float u, float v) { return (u - cx) * (u - cx) + (v - cy) * (v - cy) <= r * r ? 1.0f : 0.0f; }};
}

Shape ellipse(float cx, float cy, float rx, float ry, float angle = 0.0f)
{
    const float ca = std::cos(angle), sa = std::sin(angle), m = std::max(rx, ry);
    return {cx - m, cy - m, cx + m, cy + m, [=](float u, float v) {
                const float du = u - cx, dv = v - cy;
                const float a = (du * ca + dv * sa) / rx, b = (-du * sa + dv * ca) / ry;
                return a * a + b * b <= 1.0f ? 1.0f : 0.0f;
            }};
}

// A rounded box |du/a|^p + |dv/b|^p <= 1; p = 2 is an ellipse, large p a rectangle.
Shape superellipse(float cx, float cy, float a, float b, float p)
{
    return {cx - a, cy - b, cx + a, cy + b, [=](float u, float v) {
                return std::pow(std::fabs(u - cx) / a, p) + std::pow(std::fabs(v - cy) / b, p) <= 1.0f ? 1.0f : 0.0f;
            }};
}

Shape rect(float u0, float v0, float u1, float v1)
{
    return {u0, v0, u1, v1, [=](float u, float v) { return u >= u0 && u <= u1 && v >= v0 && v <= v1 ? 1.0f : 0.0f; }};
}

// A stroke from (x0, y0) to (x1, y1) with round ends, radius r0 tapering to r1.
Shape capsule(float x0, float y0, float x1, float y1, float r0, float r1)
{
    const float m = std::max(r0, r1);
    return {std::min(x0, x1) - m, std::min(y0, y1) - m, std::max(x0, x1) + m, std::max(y0, y1) + m,
            [=](float u, float v) {
                const float dx = x1 - x0, dy = y1 - y0;
                const float len2 = dx * dx + dy * dy;
                const float t = len2 > 0.0f ? clamp01(((u - x0) * dx + (v - y0) * dy) / len2) : 0.0f;
                const float r = mixf(r0, r1, t);
                return std::hypot(u - (x0 + t * dx), v - (y0 + t * dy)) <= r ? 1.0f : 0.0f;
            }};
}

using Points = std::vector<std::pair<float, float>>;

Shape polygon(Points points)
{
    float u0 = 1e9f, v0 = 1e9f, u1 = -1e9f, v1 = -1e9f;
    for (const auto &p : points) {
        u0 = std::min(u0, p.first);
        u1 = std::max(u1, p.first);
        v0 = std::min(v0, p.second);
        v1 = std::max(v1, p.second);
    }
    return {u0, v0, u1, v1, [pts = std::move(points)](float u, float v) {
                bool inside = false;
                for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
                    const auto &a = pts[i], &b = pts[j];
                    if ((a.second > v) != (b.second > v) &&
                        u < (b.first - a.first) * (v - a.second) / (b.second - a.second) + a.first)
                        inside = !inside;
                }
                return inside ? 1.0f : 0.0f;
            }};
}

// A soft halo around a disc of radius r: full inside, fading over falloff pixels.
Shape glow(float cx, float cy, float r, float falloff)
{
    const float reach = r + 4.0f * falloff;
    return {cx - reach, cy - reach, cx + reach, cy + reach, [=](float u, float v) {
                const float d = std::hypot(u - cx, v - cy);
                return d <= r ? 1.0f : std::exp(-(d - r) / falloff);
            }};
}

// Everything below a skyline v = top(u).
Shape below(const std::function<float(float)> &top, float width, float height)
{
    return {0.0f, 0.0f, width, height, [top](float u, float v) { return v >= top(u) ? 1.0f : 0.0f; }};
}

Image downsample(const Canvas &c)
{
    Image img{c.width, c.height, std::vector<Rgb>(static_cast<std::size_t>(c.width) * c.height),
              std::vector<float>(static_cast<std::size_t>(c.width) * c.height)};
    const int w = c.width * c.scale;
    const float n = static_cast<float>(c.scale * c.scale);
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            Rgb sum{0, 0, 0};
            float a = 0.0f;
            for (int sy = 0; sy < c.scale; ++sy)
                for (int sx = 0; sx < c.scale; ++sx) {
                    const std::size_t at = static_cast<std::size_t>(y * c.scale + sy) * w + (x * c.scale + sx);
                    sum = sum + c.samples[at];
                    a += c.alpha[at];
                }
            img.pixels[static_cast<std::size_t>(y) * c.width + x] = sum * (1.0f / n);
            img.alpha[static_cast<std::size_t>(y) * c.width + x] = a / n;
        }
    return img;
}

Rgb sample(const Image &img, float u, float v)
{
    u = std::min(std::max(u - 0.5f, 0.0f), static_cast<float>(img.width - 1));
    v = std::min(std::max(v - 0.5f, 0.0f), static_cast<float>(img.height - 1));
    const int x0 = static_cast<int>(u), y0 = static_cast<int>(v);
    const int x1 = std::min(x0 + 1, img.width - 1), y1 = std::min(y0 + 1, img.height - 1);
    const float tx = u - static_cast<float>(x0), ty = v - static_cast<float>(y0);
    auto at = [&](int x, int y) { return img.pixels[static_cast<std::size_t>(y) * img.width + x]; };
    return mix(mix(at(x0, y0), at(x1, y0), tx), mix(at(x0, y1), at(x1, y1), tx), ty);
}

// ---------------------------------------------------------------- writing

unsigned char toByte(float x) { return static_cast<unsigned char>(std::lround(clamp01(x) * 255.0f)); }

bool writeTga(const std::string &path, const Image &img, bool withAlpha, bool topRowFirst)
{
    const int depth = withAlpha ? 32 : 24;
    unsigned char header[18] = {};
    header[2] = 2;  // uncompressed true colour
    header[12] = static_cast<unsigned char>(img.width & 0xff);
    header[13] = static_cast<unsigned char>(img.width >> 8);
    header[14] = static_cast<unsigned char>(img.height & 0xff);
    header[15] = static_cast<unsigned char>(img.height >> 8);
    header[16] = static_cast<unsigned char>(depth);
    header[17] = static_cast<unsigned char>((withAlpha ? 8 : 0) | (topRowFirst ? 0x20 : 0));
    std::vector<unsigned char> bytes(header, header + sizeof header);
    for (int row = 0; row < img.height; ++row) {
        const int y = topRowFirst ? row : img.height - 1 - row;
        for (int x = 0; x < img.width; ++x) {
            const std::size_t at = static_cast<std::size_t>(y) * img.width + x;
            const Rgb &p = img.pixels[at];
            bytes.push_back(toByte(p.b));
            bytes.push_back(toByte(p.g));
            bytes.push_back(toByte(p.r));
            if (withAlpha)
                bytes.push_back(toByte(img.alpha[at]));
        }
    }
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}

// ---------------------------------------------------------------- shared scenery

constexpr int WALL_WIDTH = 512;   // the walls are 39 units long and 20 high: about two to one
constexpr int WALL_HEIGHT = 256;
constexpr int WALL_SAMPLES = 3;   // samples per pixel side while painting a wall
constexpr int FLOOR_SAMPLES = 2;  // the same for floors and box faces

float skyT(float v, float horizon) { return clamp01(v / horizon); }

// A bare tree as a branching of tapering strokes; tips collects the twig ends.
void branch(Canvas &c, float x, float y, float angle, float length, float width, int depth, Rng &rng, Rgb colour,
            float spread, std::vector<std::pair<float, float>> *tips = nullptr)
{
    // Two strokes with a small bend make a limb look grown rather than ruled.
    const float bend = rng.range(-0.25f, 0.25f);
    const float mx = x + std::cos(angle) * length * 0.5f, my = y + std::sin(angle) * length * 0.5f;
    const float ex = mx + std::cos(angle + bend) * length * 0.5f, ey = my + std::sin(angle + bend) * length * 0.5f;
    const float mid = width * 0.85f, end = width * 0.7f;
    paint(c, capsule(x, y, mx, my, width, mid), colour);
    paint(c, capsule(mx, my, ex, ey, mid, end), colour);
    if (depth == 0) {
        if (tips)
            tips->push_back({ex, ey});
        return;
    }
    const int children = rng.next() < 0.3f ? 3 : 2;
    for (int k = 0; k < children; ++k) {
        const float side = children == 2 ? (k == 0 ? -1.0f : 1.0f) : static_cast<float>(k - 1);
        const float a = angle + bend + side * spread * rng.range(0.6f, 1.2f) + rng.range(-0.15f, 0.15f);
        branch(c, ex, ey, a, length * rng.range(0.62f, 0.8f), end * 0.75f, depth - 1, rng, colour, spread, tips);
    }
}

// Sky gradient with the horizon colour reached at v = horizon.
Shader skyShader(Rgb top, Rgb horizon, float horizonV, float curve)
{
    return [=](float, float v) { return mix(top, horizon, std::pow(skyT(v, horizonV), curve)); };
}

// Scattered soft clouds: thresholded noise, thinning toward the horizon.
void cloudLayer(Canvas &c, int seed, float scaleU, float scaleV, float threshold, float bottom, Rgb light,
                Rgb shade, float opacity)
{
    paint(
        c,
        Shape{0.0f, 0.0f, static_cast<float>(c.width), bottom,
              [=](float u, float v) {
                  const float n = fbm(u / scaleU, v / scaleV, seed, 5);
                  return smoothstep(threshold, threshold + 0.18f, n) * (1.0f - smoothstep(bottom * 0.6f, bottom, v));
              }},
        [=](float u, float v) { return mix(light, shade, clamp01(fbm(u / scaleU, (v - 4.0f) / scaleV, seed, 5) * 1.4f - 0.4f)); },
        opacity);
}

// A puffy cartoon cloud: a heap of discs, bright on top and grey-blue below.
void puffyCloud(Canvas &c, float cx, float cy, float size, Rng &rng)
{
    const Rgb light{1.0f, 1.0f, 1.0f}, shade{0.78f, 0.84f, 0.93f};
    std::vector<Shape> puffs;
    for (int k = 0; k < 7; ++k) {
        const float t = static_cast<float>(k) / 6.0f;
        const float r = size * rng.range(0.35f, 0.55f) * (1.0f - 0.5f * std::fabs(t - 0.5f));
        puffs.push_back(disc(cx + (t - 0.5f) * size * 2.2f, cy - r * 0.5f + rng.range(-2.0f, 2.0f), r));
    }
    puffs.push_back(ellipse(cx, cy, size * 1.25f, size * 0.3f));
    const float base = cy + size * 0.3f, topV = cy - size;
    for (const Shape &s : puffs)
        paint(c, s, [=](float, float v) { return mix(light, shade, smoothstep(topV, base, v)); });
}

// ---------------------------------------------------------------- set 0: the spooky night

void ghost(Canvas &c, float x, float y, float r, float tilt, float opacity)
{
    const float body = 1.8f * r;
    paint(c, glow(x, y + r * 0.6f, r * 1.1f, r * 0.45f), Rgb{0.55f, 0.75f, 0.85f}, 0.35f * opacity);
    const float ct = std::cos(tilt), st = std::sin(tilt);
    const Shape shape{x - 2.2f * r, y - 1.4f * r, x + 2.2f * r, y + body + 1.5f * r, [=](float u, float v) {
                          // Work in the ghost's own upright frame.
                          const float du = (u - x) * ct + (v - y) * st, dv = -(u - x) * st + (v - y) * ct;
                          if (dv < 0.0f)
                              return du * du + dv * dv <= r * r ? 1.0f : 0.0f;
                          const float halfWidth = r * (1.0f + 0.15f * dv / body);
                          const float hem = body + 0.22f * r * std::sin(du / r * 5.0f);
                          const float arm = ((du + 1.05f * r) * (du + 1.05f * r)) / (0.45f * r * 0.45f * r) +
                                                ((dv - 0.5f * r) * (dv - 0.5f * r)) / (0.22f * r * 0.22f * r) <=
                                            1.0f;
                          const float arm2 = ((du - 1.05f * r) * (du - 1.05f * r)) / (0.45f * r * 0.45f * r) +
                                                 ((dv - 0.35f * r) * (dv - 0.35f * r)) / (0.22f * r * 0.22f * r) <=
                                             1.0f;
                          if (arm || arm2)
                              return 1.0f;
                          if (std::fabs(du) > halfWidth || dv > hem)
                              return 0.0f;
                          return 1.0f - 0.6f * smoothstep(body * 0.4f, body * 1.1f, dv);
                      }};
    paint(c, shape, [=](float, float v) { return mix(Rgb{0.97f, 0.99f, 1.0f}, Rgb{0.70f, 0.80f, 0.92f}, clamp01((v - y) / body)); },
          opacity);
    const Rgb hollow{0.05f, 0.04f, 0.08f};
    const float ex = r * 0.38f;
    paint(c, ellipse(x - ex * ct, y - ex * st - 0.05f * r, 0.17f * r, 0.27f * r, tilt), hollow);
    paint(c, ellipse(x + ex * ct, y + ex * st - 0.05f * r, 0.17f * r, 0.27f * r, tilt), hollow);
    paint(c, ellipse(x - 0.45f * r * st, y + 0.45f * r * ct, 0.16f * r, 0.22f * r, tilt), hollow);
}

void bat(Canvas &c, float x, float y, float size, Rgb colour)
{
    static const float wing[][2] = {{-1.0f, -0.1f}, {-0.62f, -0.36f}, {-0.22f, -0.14f}, {-0.1f, -0.3f}, {0.0f, -0.2f},
                                    {0.1f, -0.3f},  {0.22f, -0.14f},  {0.62f, -0.36f},  {1.0f, -0.1f},  {0.76f, 0.04f},
                                    {0.6f, -0.02f}, {0.45f, 0.12f},   {0.3f, 0.02f},    {0.12f, 0.16f}, {0.0f, 0.26f},
                                    {-0.12f, 0.16f}, {-0.3f, 0.02f},  {-0.45f, 0.12f},  {-0.6f, -0.02f}, {-0.76f, 0.04f}};
    Points pts;
    for (const auto &p : wing)
        pts.push_back({x + p[0] * size, y + p[1] * size});
    paint(c, polygon(pts), colour);
}

void pumpkin(Canvas &c, float x, float y, float r)
{
    paint(c, glow(x, y, r, r * 0.5f), Rgb{0.9f, 0.45f, 0.1f}, 0.25f);
    paint(c, capsule(x, y - r * 0.8f, x + r * 0.15f, y - r * 1.2f, r * 0.14f, r * 0.1f), Rgb{0.25f, 0.3f, 0.1f});
    paint(c, ellipse(x, y, r * 1.25f, r * 0.95f), [=](float u, float v) {
        const float ribs = std::fabs(std::cos((u - x) / (r * 1.25f) * 2.4f * PI / 2.0f));
        const float light = 0.65f + 0.35f * ribs - 0.25f * clamp01((v - y) / r);
        return Rgb{0.95f, 0.48f, 0.08f} * light;
    });
    const Rgb flame{1.0f, 0.85f, 0.3f};
    paint(c, polygon({{x - r * 0.65f, y - r * 0.1f}, {x - r * 0.2f, y - r * 0.1f}, {x - r * 0.42f, y - r * 0.5f}}), flame);
    paint(c, polygon({{x + r * 0.65f, y - r * 0.1f}, {x + r * 0.2f, y - r * 0.1f}, {x + r * 0.42f, y - r * 0.5f}}), flame);
    paint(c, polygon({{x - r * 0.75f, y + r * 0.2f}, {x - r * 0.45f, y + r * 0.35f}, {x - r * 0.3f, y + r * 0.2f},
                      {x - r * 0.1f, y + r * 0.38f}, {x + r * 0.1f, y + r * 0.2f}, {x + r * 0.3f, y + r * 0.38f},
                      {x + r * 0.45f, y + r * 0.2f}, {x + r * 0.75f, y + r * 0.2f}, {x + r * 0.4f, y + r * 0.6f},
                      {x - r * 0.4f, y + r * 0.6f}}),
          flame);
}

void tombstone(Canvas &c, float x, float ground, float w, float h, float tilt, bool cross)
{
    const Rgb stone{0.2f, 0.2f, 0.25f}, lit{0.42f, 0.42f, 0.5f};
    const float ct = std::cos(tilt), st = std::sin(tilt);
    const Shape shape{x - h, ground - h * 1.2f, x + h, ground + 2.0f, [=](float u, float v) {
                          const float du = (u - x) * ct + (v - ground) * st, dv = -(u - x) * st + (v - ground) * ct;
                          if (cross)
                              return (std::fabs(du) <= w * 0.18f && dv <= 0.0f && dv >= -h) ||
                                             (std::fabs(du) <= w * 0.55f && dv <= -h * 0.62f && dv >= -h * 0.82f)
                                         ? 1.0f
                                         : 0.0f;
                          if (std::fabs(du) > w * 0.5f || dv > 0.0f)
                              return 0.0f;
                          const float top = -h + w * 0.5f;
                          if (dv >= top)
                              return 1.0f;
                          return du * du + (dv - top) * (dv - top) <= w * w * 0.25f ? 1.0f : 0.0f;
                      }};
    // Moonlight from the upper right catches the right-hand edges.
    paint(c, shape, [=](float u, float) { return mix(stone, lit, smoothstep(x + w * 0.2f, x + w * 0.5f, u)); });
}

void haunted(Canvas &c, float x, float ground)
{
    const Rgb wall{0.07f, 0.05f, 0.1f};
    const Rgb window{1.0f, 0.78f, 0.3f};
    paint(c, rect(x - 42, ground - 46, x + 40, ground + 4), wall);
    paint(c, polygon({{x - 50, ground - 44}, {x + 48, ground - 44}, {x + 2, ground - 80}}), wall);
    paint(c, polygon({{x - 30, ground - 60}, {x - 28, ground - 86}, {x - 19, ground - 87}, {x - 20, ground - 66}}), wall);
    paint(c, rect(x + 26, ground - 92, x + 52, ground - 30), wall);
    paint(c, polygon({{x + 21, ground - 90}, {x + 57, ground - 90}, {x + 40, ground - 132}}), wall);
    paint(c, capsule(x + 40, ground - 132, x + 43, ground - 142, 0.9f, 0.6f), wall);
    const float windows[][4] = {{x - 34, ground - 36, x - 24, ground - 22}, {x - 14, ground - 36, x - 4, ground - 22},
                                {x + 8, ground - 36, x + 18, ground - 22},  {x - 34, ground - 14, x - 24, ground - 2},
                                {x + 33, ground - 80, x + 45, ground - 64}, {x + 33, ground - 52, x + 45, ground - 38}};
    for (int k = 0; k < 6; ++k) {
        const float *w = windows[k];
        if (k == 2)
            continue;  // a dark, broken pane
        paint(c, glow((w[0] + w[2]) / 2, (w[1] + w[3]) / 2, 4.0f, 6.0f), window, 0.3f);
        paint(c, rect(w[0], w[1], w[2], w[3]), [=](float, float v) { return mix(window, Rgb{0.95f, 0.5f, 0.15f}, (v - w[1]) / (w[3] - w[1])); });
        paint(c, rect((w[0] + w[2]) / 2 - 0.6f, w[1], (w[0] + w[2]) / 2 + 0.6f, w[3]), wall);
        paint(c, rect(w[0], (w[1] + w[3]) / 2 - 0.6f, w[2], (w[1] + w[3]) / 2 + 0.6f), wall);
    }
    paint(c, disc(x + 2, ground - 58, 6.0f), window);
    paint(c, rect(x - 12, ground - 16, x + 2, ground + 4), Rgb{0.6f, 0.3f, 0.1f});
}

Image paintBoo()
{
    Canvas c = makeCanvas(WALL_WIDTH, WALL_HEIGHT, WALL_SAMPLES);
    const Rgb top{0.02f, 0.015f, 0.08f}, horizon{0.32f, 0.16f, 0.4f};
    fill(c, skyShader(top, horizon, 175.0f, 1.6f));
    Rng rng{1013};
    for (int k = 0; k < 260; ++k) {
        const float u = rng.range(0, WALL_WIDTH), v = rng.range(0, 160), r = rng.range(0.35f, 1.1f);
        paint(c, disc(u, v, r), Rgb{1.0f, 0.97f, 0.9f}, rng.range(0.4f, 1.0f) * (1.0f - v / 170.0f));
    }
    const float moonX = 392, moonY = 66, moonR = 30;
    paint(c, glow(moonX, moonY, moonR, 26.0f), Rgb{0.6f, 0.5f, 0.7f}, 0.55f);
    paint(c, disc(moonX, moonY, moonR), [=](float u, float v) {
        const float craters = smoothstep(0.5f, 0.7f, fbm(u / 9.0f, v / 9.0f, 77, 4));
        const float limb = 1.0f - 0.18f * std::pow(std::hypot(u - moonX, v - moonY) / moonR, 4.0f);
        return mix(Rgb{1.0f, 0.96f, 0.8f}, Rgb{0.8f, 0.76f, 0.66f}, craters) * limb;
    });
    cloudLayer(c, 5, 55.0f, 7.0f, 0.56f, 140.0f, Rgb{0.2f, 0.13f, 0.28f}, Rgb{0.1f, 0.06f, 0.16f}, 0.75f);
    const Rgb batColour{0.04f, 0.02f, 0.05f};
    bat(c, 352, 52, 11, batColour);
    bat(c, 420, 92, 8, batColour);
    bat(c, 460, 40, 7, batColour);
    bat(c, 300, 30, 6, batColour);

    auto farHill = [](float u) { return 142.0f + 40.0f * (profile(u, 3, 90.0f, 3) - 0.5f) + 8.0f * std::pow((u - 150.0f) / 150.0f, 2.0f); };
    paint(c, below(farHill, WALL_WIDTH, WALL_HEIGHT), Rgb{0.1f, 0.06f, 0.15f});
    haunted(c, 150, farHill(150) + 4);

    auto nearGround = [](float u) { return 205.0f + 14.0f * (profile(u, 9, 60.0f, 4) - 0.5f); };
    Rng trees{77};
    const Rgb bark{0.03f, 0.02f, 0.04f};
    branch(c, 34, 222, -PI / 2 + 0.08f, 62, 6.5f, 6, trees, bark, 0.55f);
    branch(c, 492, 214, -PI / 2 - 0.1f, 48, 5.0f, 6, trees, bark, 0.6f);
    branch(c, 300, 160, -PI / 2 + 0.05f, 20, 2.0f, 5, trees, Rgb{0.1f, 0.06f, 0.15f}, 0.5f);
    paint(c, below(nearGround, WALL_WIDTH, WALL_HEIGHT), Rgb{0.045f, 0.035f, 0.06f});

    tombstone(c, 228, 212, 16, 24, -0.08f, false);
    tombstone(c, 262, 215, 12, 26, 0.1f, true);
    tombstone(c, 296, 214, 18, 22, 0.05f, false);
    tombstone(c, 350, 210, 14, 20, -0.12f, false);
    tombstone(c, 392, 214, 12, 24, 0.0f, true);

    // Ground fog rolling between the graves.
    paint(c,
          Shape{0.0f, 150.0f, WALL_WIDTH, WALL_HEIGHT,
                [](float u, float v) { return smoothstep(170.0f, 245.0f, v) * smoothstep(0.35f, 0.75f, fbm(u / 45.0f, v / 10.0f, 13, 4)); }},
          Rgb{0.5f, 0.42f, 0.62f}, 0.55f);
    pumpkin(c, 180, 236, 11);
    pumpkin(c, 440, 240, 8);
    ghost(c, 300, 104, 15, 0.15f, 0.85f);
    ghost(c, 96, 132, 10, -0.2f, 0.7f);
    ghost(c, 468, 158, 8, 0.25f, 0.6f);
    return downsample(c);
}

// ---------------------------------------------------------------- set 3: pink trees

void pinkTree(Canvas &c, float x, float ground, float s, float haze, Rgb hazeColour, Rng &rng)
{
    auto hazed = [=](Rgb col) { return mix(col, hazeColour, haze); };
    const Rgb bark = hazed(Rgb{0.33f, 0.2f, 0.18f});
    std::vector<std::pair<float, float>> tips;
    paint(c, capsule(x, ground, x + 2 * s, ground - 38 * s, 4.5f * s, 3.2f * s), bark);
    for (int k = 0; k < 4; ++k) {
        const float a = -PI / 2 + (static_cast<float>(k) - 1.5f) * 0.5f + rng.range(-0.1f, 0.1f);
        branch(c, x + 2 * s, ground - 36 * s, a, 17 * s, 2.6f * s, 2, rng, bark, 0.5f, &tips);
    }
    // The crown: heaps of blossom, shaded from below and lit from the upper left.
    const Rgb deep = hazed(Rgb{0.78f, 0.36f, 0.58f}), mid = hazed(Rgb{0.95f, 0.58f, 0.74f}),
              light = hazed(Rgb{1.0f, 0.82f, 0.9f});
    auto speckled = [](Rgb col, int seed) {
        return [=](float u, float v) { return col * (0.88f + 0.2f * valueNoise(u / 1.8f, v / 1.8f, seed)); };
    };
    // Blossom gathers in clumps at the twig ends, with sky showing between.
    std::vector<std::pair<float, float>> blobs;
    for (const auto &t : tips)
        for (int k = 0; k < 4; ++k)
            blobs.push_back({t.first + rng.range(-9, 9) * s, t.second + rng.range(-6, 7) * s});
    std::vector<float> radius;
    for (std::size_t k = 0; k < blobs.size(); ++k)
        radius.push_back(rng.range(5.5f, 9.0f) * s);
    for (std::size_t k = 0; k < blobs.size(); ++k)
        paint(c, disc(blobs[k].first + 1.0f * s, blobs[k].second + 3.5f * s, radius[k]), speckled(deep, 3));
    for (std::size_t k = 0; k < blobs.size(); ++k)
        paint(c, disc(blobs[k].first, blobs[k].second, radius[k] * 0.85f), speckled(mid, 5));
    for (std::size_t k = 0; k < blobs.size(); ++k)
        paint(c, disc(blobs[k].first - 2.0f * s, blobs[k].second - 2.5f * s, radius[k] * 0.45f), speckled(light, 7), 0.9f);
}

Image paintPinkTrees()
{
    Canvas c = makeCanvas(WALL_WIDTH, WALL_HEIGHT, WALL_SAMPLES);
    const Rgb skyTop{0.5f, 0.68f, 0.93f}, skyLow{1.0f, 0.87f, 0.87f};
    fill(c, skyShader(skyTop, skyLow, 150.0f, 1.3f));
    paint(c, glow(380, 118, 14, 30), Rgb{1.0f, 0.95f, 0.85f}, 0.5f);
    cloudLayer(c, 21, 70.0f, 18.0f, 0.55f, 130.0f, Rgb{1.0f, 1.0f, 1.0f}, Rgb{0.93f, 0.86f, 0.92f}, 0.8f);

    auto mountains = [](float u) { return 122.0f - 38.0f * ridgedProfile(u, 4, 160.0f) + 12.0f; };
    paint(c, below(mountains, WALL_WIDTH, WALL_HEIGHT), [&](float, float v) {
        return mix(Rgb{0.66f, 0.62f, 0.84f}, Rgb{0.82f, 0.74f, 0.86f}, clamp01((v - 80.0f) / 70.0f));
    });
    auto hills = [](float u) { return 150.0f + 18.0f * (profile(u, 8, 110.0f, 3) - 0.5f); };
    paint(c, below(hills, WALL_WIDTH, WALL_HEIGHT), Rgb{0.6f, 0.78f, 0.6f});
    Rng rng{303};
    const Rgb haze{0.85f, 0.85f, 0.92f};
    for (int k = 0; k < 16; ++k) {
        const float u = rng.range(0, WALL_WIDTH);
        pinkTree(c, u, hills(u) + 3, rng.range(0.22f, 0.32f), 0.45f, haze, rng);
    }
    auto meadow = [](float u) { return 176.0f + 10.0f * (profile(u, 12, 80.0f, 3) - 0.5f); };
    paint(c, below(meadow, WALL_WIDTH, WALL_HEIGHT), [](float u, float v) {
        const float grass = fbm(u / 1.6f, v / 7.0f, 41, 3);
        return mix(Rgb{0.5f, 0.76f, 0.4f}, Rgb{0.3f, 0.58f, 0.26f}, clamp01((v - 170.0f) / 86.0f)) * (0.85f + 0.3f * grass);
    });
    for (int k = 0; k < 500; ++k) {
        const float u = rng.range(0, WALL_WIDTH), v = rng.range(182, WALL_HEIGHT);
        paint(c, ellipse(u, v, 0.9f + (v - 180) / 70, 0.5f + (v - 180) / 140, rng.range(0, PI)),
              mix(Rgb{1.0f, 0.75f, 0.85f}, Rgb{1.0f, 0.92f, 0.95f}, rng.next()));
    }
    const float big[][3] = {{72, 236, 1.15f}, {205, 212, 0.8f}, {336, 246, 1.3f}, {458, 218, 0.9f}};
    for (const auto &t : big) {
        paint(c, ellipse(t[0] + 6 * t[2], t[1] + 2 * t[2], 30 * t[2], 5 * t[2]), Rgb{0.2f, 0.42f, 0.2f}, 0.45f);
        pinkTree(c, t[0], t[1], t[2], 0.0f, haze, rng);
    }
    for (int k = 0; k < 140; ++k) {
        const float u = rng.range(0, WALL_WIDTH), v = rng.range(30, 240);
        paint(c, ellipse(u, v, 1.6f, 0.9f, rng.range(0, PI)), Rgb{1.0f, 0.7f, 0.82f}, 0.9f);
    }
    return downsample(c);
}

// ---------------------------------------------------------------- set 6: cows on a meadow

// A black-and-white cow standing on (x, feet); dir 1 faces right, -1 left;
// headDrop lowers the head toward the grass.
void cow(Canvas &c, float x, float feet, float s, float dir, float headDrop, int seed)
{
    const Rgb hide{0.97f, 0.96f, 0.93f}, spot{0.07f, 0.06f, 0.07f}, pink{0.95f, 0.68f, 0.68f}, hoof{0.2f, 0.18f, 0.16f};
    auto px = [=](float dx) { return x + dx * s * dir; };
    auto py = [=](float dy) { return feet + dy * s; };
    auto spotted = [=](float shadeTop, float shadeBottom) {
        return [=](float u, float v) {
            const float n = fbm((u - x) / (7.5f * s), (v - feet) / (7.5f * s), seed, 3);
            const Rgb base = smoothstep(0.54f, 0.57f, n) > 0.5f ? spot : hide;
            return base * mixf(1.0f, 0.8f, smoothstep(shadeTop, shadeBottom, v));
        };
    };
    paint(c, ellipse(x, feet + 1.0f * s, 30 * s, 3.5f * s), Rgb{0.15f, 0.35f, 0.12f}, 0.45f);
    // Far legs first, a little darker, then the body, then the near legs.
    const float legX[4] = {-19, 11, -13, 18};
    for (int k = 0; k < 4; ++k) {
        const float shade = k < 2 ? 0.78f : 1.0f;
        if (k == 2) {
            paint(c, capsule(px(-24), py(-34), px(-29), py(-18), 1.0f * s, 0.8f * s), hide * 0.9f);
            paint(c, ellipse(px(-29.5f), py(-16.5f), 1.6f * s, 3 * s), spot);
            paint(c, superellipse(px(0), py(-30), 26 * s, 11.5f * s, 2.6f), spotted(py(-36), py(-18)));
            paint(c, ellipse(px(-10), py(-18), 5 * s, 3.5f * s), pink);
        }
        paint(c, rect(std::min(px(legX[k] - 2.6f), px(legX[k] + 2.6f)), py(-24), std::max(px(legX[k] - 2.6f), px(legX[k] + 2.6f)), py(0)),
              [=](float u, float v) { return spotted(py(-24), py(20))(u, v) * shade; });
        paint(c, rect(std::min(px(legX[k] - 2.8f), px(legX[k] + 2.8f)), py(-3), std::max(px(legX[k] - 2.8f), px(legX[k] + 2.8f)), py(0)), hoof);
    }
    // Neck and head, bent down when grazing.
    const float hy = -36 + headDrop;
    paint(c, polygon({{px(17), py(-39)}, {px(29), py(hy - 4)}, {px(33), py(hy + 6)}, {px(21), py(-22)}}), spotted(py(-40), py(-18)));
    paint(c, ellipse(px(31), py(hy), 7 * s, 8.5f * s, dir * (0.25f + headDrop * 0.02f)), hide);
    paint(c, ellipse(px(29), py(hy - 3), 4 * s, 4.5f * s), spot);
    paint(c, ellipse(px(34), py(hy + 6), 6 * s, 4.5f * s, dir * 0.2f), pink);
    paint(c, disc(px(33), py(hy + 6.5f), 0.9f * s), Rgb{0.45f, 0.25f, 0.25f});
    paint(c, disc(px(36.5f), py(hy + 5.5f), 0.9f * s), Rgb{0.45f, 0.25f, 0.25f});
    paint(c, disc(px(32), py(hy - 2.5f), 1.4f * s), Rgb{0.02f, 0.02f, 0.02f});
    paint(c, disc(px(32.4f), py(hy - 3.0f), 0.45f * s), Rgb{1, 1, 1});
    paint(c, ellipse(px(23.5f), py(hy - 5), 4.5f * s, 2 * s, -dir * 0.35f), Rgb{0.85f, 0.8f, 0.78f});
    paint(c, ellipse(px(38.5f), py(hy - 6), 4 * s, 1.8f * s, dir * 0.35f), hide * 0.92f);
    paint(c, capsule(px(28), py(hy - 7), px(26.5f), py(hy - 12), 1.1f * s, 0.6f * s), Rgb{0.95f, 0.92f, 0.78f});
    paint(c, capsule(px(34), py(hy - 7.5f), px(35.5f), py(hy - 12.5f), 1.1f * s, 0.6f * s), Rgb{0.95f, 0.92f, 0.78f});
}

void barn(Canvas &c, float x, float ground, float s)
{
    const Rgb red{0.68f, 0.16f, 0.12f}, roof{0.3f, 0.22f, 0.22f}, trim{0.95f, 0.93f, 0.88f};
    paint(c, rect(x - 16 * s, ground - 18 * s, x + 16 * s, ground), red);
    paint(c, polygon({{x - 19 * s, ground - 17 * s}, {x + 19 * s, ground - 17 * s}, {x + 12 * s, ground - 27 * s},
                      {x - 12 * s, ground - 27 * s}}),
          roof);
    paint(c, rect(x - 6 * s, ground - 11 * s, x + 6 * s, ground), trim);
    paint(c, rect(x - 5 * s, ground - 10 * s, x + 5 * s, ground), red * 0.8f);
    paint(c, capsule(x - 5 * s, ground - 10 * s, x + 5 * s, ground, 0.5f * s, 0.5f * s), trim);
    paint(c, capsule(x + 5 * s, ground - 10 * s, x - 5 * s, ground, 0.5f * s, 0.5f * s), trim);
}

Image paintCows()
{
    Canvas c = makeCanvas(WALL_WIDTH, WALL_HEIGHT, WALL_SAMPLES);
    fill(c, skyShader(Rgb{0.28f, 0.52f, 0.9f}, Rgb{0.78f, 0.89f, 0.99f}, 145.0f, 1.2f));
    paint(c, glow(64, 44, 17, 14), Rgb{1.0f, 0.97f, 0.75f}, 0.6f);
    paint(c, disc(64, 44, 17), Rgb{1.0f, 0.95f, 0.6f});
    Rng rng{606};
    puffyCloud(c, 170, 50, 22, rng);
    puffyCloud(c, 330, 34, 28, rng);
    puffyCloud(c, 450, 78, 18, rng);
    puffyCloud(c, 250, 96, 14, rng);

    auto hills = [](float u) { return 138.0f + 22.0f * (profile(u, 17, 120.0f, 3) - 0.5f); };
    paint(c, below(hills, WALL_WIDTH, WALL_HEIGHT), [](float u, float v) {
        return Rgb{0.45f, 0.68f, 0.42f} * (0.92f + 0.12f * fbm(u / 20.0f, v / 6.0f, 3, 3));
    });
    barn(c, 420, hills(420) + 6, 1.0f);
    for (int k = 0; k < 12; ++k) {
        const float u = rng.range(0, WALL_WIDTH), ground = hills(u) + 4;
        paint(c, capsule(u, ground, u, ground - 8, 1.0f, 0.8f), Rgb{0.3f, 0.22f, 0.15f});
        paint(c, disc(u, ground - 12, rng.range(5, 8)), Rgb{0.25f, 0.48f, 0.25f});
    }
    auto meadow = [](float u) { return 160.0f + 6.0f * (profile(u, 23, 90.0f, 3) - 0.5f); };
    paint(c, below(meadow, WALL_WIDTH, WALL_HEIGHT), [](float u, float v) {
        const float grass = fbm(u / 1.5f, v / 6.5f, 29, 3);
        return mix(Rgb{0.46f, 0.72f, 0.3f}, Rgb{0.26f, 0.55f, 0.16f}, clamp01((v - 160.0f) / 96.0f)) * (0.84f + 0.32f * grass);
    });
    // A post-and-rail fence across the meadow.
    const Rgb wood{0.5f, 0.36f, 0.22f};
    for (float u = 8; u < WALL_WIDTH; u += 42)
        paint(c, rect(u - 2.2f, 150, u + 2.2f, 182), wood);
    paint(c, rect(0, 156, WALL_WIDTH, 160), wood * 1.1f);
    paint(c, rect(0, 168, WALL_WIDTH, 172), wood * 1.1f);
    for (int k = 0; k < 420; ++k) {
        const float u = rng.range(0, WALL_WIDTH), v = rng.range(176, WALL_HEIGHT), r = 0.5f + (v - 176) / 60;
        const bool daisy = rng.next() < 0.7f;
        paint(c, disc(u, v, r), daisy ? Rgb{1.0f, 1.0f, 0.97f} : Rgb{1.0f, 0.85f, 0.2f});
        if (daisy)
            paint(c, disc(u, v, r * 0.4f), Rgb{1.0f, 0.8f, 0.15f});
    }
    cow(c, 226, 194, 0.62f, -1.0f, 0.0f, 61);
    cow(c, 412, 214, 0.9f, 1.0f, 24.0f, 62);
    cow(c, 106, 228, 1.15f, 1.0f, 0.0f, 63);
    cow(c, 300, 247, 1.35f, -1.0f, 0.0f, 64);
    return downsample(c);
}

// ---------------------------------------------------------------- set 9: snow

void pine(Canvas &c, float x, float ground, float h, float haze, Rgb hazeColour)
{
    const Rgb needles = mix(Rgb{0.08f, 0.26f, 0.18f}, hazeColour, haze), snow = mix(Rgb{0.96f, 0.98f, 1.0f}, hazeColour, haze * 0.5f);
    paint(c, rect(x - h * 0.04f, ground - h * 0.15f, x + h * 0.04f, ground), mix(Rgb{0.3f, 0.2f, 0.14f}, hazeColour, haze));
    const int tiers = 4;
    for (int k = 0; k < tiers; ++k) {
        const float t = static_cast<float>(k) / tiers;
        const float bottom = ground - h * (0.1f + 0.8f * t), top = bottom - h * 0.38f, half = h * 0.34f * (1.0f - 0.7f * t);
        const Shape tier = polygon({{x - half, bottom}, {x + half, bottom}, {x, top}});
        paint(c, tier, needles);
        // Snow lies on the upper part of every tier, with a wavy lower edge.
        const Shape cap{tier.u0, tier.v0, tier.u1, tier.v1, [=](float u, float v) {
                            const float line = top + (bottom - top) * (0.5f + 0.12f * std::sin(u / (h * 0.05f)));
                            return v < line ? tier.cover(u, v) : 0.0f;
                        }};
        paint(c, cap, [=](float u, float) { return snow * (u < x ? 1.0f : 0.9f); });
    }
}

void snowman(Canvas &c, float x, float ground)
{
    const Rgb snow{0.97f, 0.98f, 1.0f}, shadow{0.72f, 0.8f, 0.93f}, coal{0.08f, 0.08f, 0.1f}, stick{0.36f, 0.24f, 0.14f};
    auto ball = [&](float cy, float r) {
        paint(c, disc(x, cy, r), [=](float u, float v) {
            const float d = std::hypot(u - (x - r * 0.35f), v - (cy - r * 0.35f)) / (r * 1.4f);
            return mix(snow, shadow, smoothstep(0.55f, 1.0f, d));
        });
    };
    paint(c, ellipse(x + 8, ground, 36, 5), shadow, 0.8f);
    paint(c, capsule(x - 14, 168, x - 42, 150, 1.4f, 0.8f), stick);
    paint(c, capsule(x - 34, 155, x - 38, 145, 0.8f, 0.5f), stick);
    paint(c, capsule(x + 14, 168, x + 40, 156, 1.4f, 0.8f), stick);
    paint(c, capsule(x + 33, 159, x + 38, 150, 0.8f, 0.5f), stick);
    ball(ground - 26, 27);
    ball(ground - 66, 19);
    ball(ground - 95, 13);
    paint(c, rect(x - 15, ground - 110, x + 15, ground - 106), coal);
    paint(c, rect(x - 10, ground - 128, x + 10, ground - 107), coal);
    paint(c, rect(x - 10, ground - 113, x + 10, ground - 110), Rgb{0.75f, 0.12f, 0.12f});
    paint(c, disc(x - 4.5f, ground - 98, 1.7f), coal);
    paint(c, disc(x + 4.5f, ground - 98, 1.7f), coal);
    paint(c, polygon({{x, ground - 95.5f}, {x + 14, ground - 93}, {x, ground - 91.5f}}), Rgb{0.95f, 0.5f, 0.1f});
    for (int k = -2; k <= 2; ++k)
        paint(c, disc(x + k * 3.2f, ground - 88 + std::fabs(static_cast<float>(k)) * -0.9f, 1.0f), coal);
    paint(c, polygon({{x - 15, ground - 84}, {x + 15, ground - 84}, {x + 14, ground - 78}, {x - 14, ground - 78}}), Rgb{0.8f, 0.12f, 0.14f});
    paint(c, polygon({{x + 5, ground - 80}, {x + 12, ground - 80}, {x + 15, ground - 62}, {x + 8, ground - 61}}), Rgb{0.7f, 0.1f, 0.12f});
    for (int k = 0; k < 3; ++k)
        paint(c, disc(x, ground - 72 + k * 9.0f, 1.8f), coal);
}

Image paintSnow()
{
    Canvas c = makeCanvas(WALL_WIDTH, WALL_HEIGHT, WALL_SAMPLES);
    const Rgb skyTop{0.42f, 0.55f, 0.76f}, skyLow{0.87f, 0.91f, 0.97f};
    fill(c, skyShader(skyTop, skyLow, 140.0f, 1.1f));
    paint(c, glow(110, 70, 10, 28), Rgb{1.0f, 0.98f, 0.92f}, 0.55f);
    cloudLayer(c, 31, 90.0f, 14.0f, 0.6f, 110.0f, Rgb{0.95f, 0.96f, 0.99f}, Rgb{0.78f, 0.83f, 0.92f}, 0.6f);

    // A range of pointed peaks: each a tent whose flanks fall to the valley
    // floor, roughened by noise; the lowest tent at a column wins.
    struct Peak {
        float u, top, halfWidth;
    };
    static const Peak PEAKS[] = {{30, 72, 80},   {128, 90, 70}, {214, 58, 95}, {300, 94, 66},
                                 {376, 64, 88}, {462, 82, 78}, {540, 96, 60}};
    constexpr float VALLEY = 165.0f;
    auto nearestPeak = [](float u) {
        int best = 0;
        float bestV = 1e9f;
        for (int k = 0; k < 7; ++k) {
            const Peak &p = PEAKS[k];
            const float v = p.top + std::fabs(u - p.u) * (VALLEY - p.top) / p.halfWidth;
            if (v < bestV) {
                bestV = v;
                best = k;
            }
        }
        return std::make_pair(best, bestV);
    };
    auto peaks = [&](float u) { return nearestPeak(u).second + 7.0f * (fbm(u / 9.0f, 0.5f, 50, 3) - 0.5f); };
    paint(c, below(peaks, WALL_WIDTH, WALL_HEIGHT), [&](float u, float v) {
        // Faces toward the low sun on the left are lit, the others in blue shade.
        const Peak &p = PEAKS[nearestPeak(u).first];
        const bool lit = u < p.u;
        const float gully = fbm((u - p.u) / 5.0f + (v - p.top) / (lit ? -4.0f : 4.0f), v / 40.0f, 54, 3);
        const Rgb rock = (lit ? Rgb{0.52f, 0.56f, 0.68f} : Rgb{0.38f, 0.42f, 0.56f}) * (0.85f + 0.3f * gully);
        const float snowLine = p.top + (VALLEY - p.top) * (0.42f + 0.25f * (fbm(u / 7.0f, v / 14.0f, 52, 3) - 0.5f));
        const Rgb snow = (lit ? Rgb{0.98f, 0.99f, 1.0f} : Rgb{0.74f, 0.8f, 0.92f}) * (0.96f + 0.08f * gully);
        return mix(v < snowLine ? snow : rock, skyLow, 0.2f);
    });
    auto hills = [](float u) { return 154.0f + 16.0f * (profile(u, 53, 100.0f, 3) - 0.5f); };
    paint(c, below(hills, WALL_WIDTH, WALL_HEIGHT), [&](float u, float v) {
        return mix(Rgb{0.93f, 0.95f, 0.99f}, Rgb{0.78f, 0.84f, 0.94f}, smoothstep(0.0f, 14.0f, v - hills(u)));
    });
    Rng rng{909};
    const Rgb haze{0.78f, 0.84f, 0.94f};
    for (int k = 0; k < 40; ++k) {
        const float u = rng.range(0, WALL_WIDTH);
        pine(c, u, hills(u) + rng.range(2, 10), rng.range(12, 22), 0.55f, haze);
    }
    auto field = [](float u) { return 178.0f + 8.0f * (profile(u, 57, 70.0f, 3) - 0.5f); };
    paint(c, below(field, WALL_WIDTH, WALL_HEIGHT), [](float u, float v) {
        const float drift = fbm(u / 40.0f, v / 9.0f, 58, 4);
        return mix(Rgb{0.98f, 0.99f, 1.0f}, Rgb{0.76f, 0.83f, 0.95f}, smoothstep(0.45f, 0.75f, drift));
    });
    const float trees[][2] = {{48, 118}, {122, 78}, {372, 56}, {424, 112}, {486, 72}, {176, 46}};
    const float grounds[] = {240, 212, 196, 236, 210, 194};
    for (int k = 0; k < 6; ++k) {
        paint(c, ellipse(trees[k][0] + trees[k][1] * 0.15f, grounds[k], trees[k][1] * 0.3f, trees[k][1] * 0.04f), haze, 0.8f);
        pine(c, trees[k][0], grounds[k], trees[k][1], 0.0f, haze);
    }
    snowman(c, 262, 244);
    for (int k = 0; k < 320; ++k) {
        const float u = rng.range(0, WALL_WIDTH), v = rng.range(0, WALL_HEIGHT);
        paint(c, disc(u, v, rng.range(0.5f, 1.6f)), Rgb{1, 1, 1}, rng.range(0.6f, 0.95f));
    }
    return downsample(c);
}

// ---------------------------------------------------------------- sphere maps

// The picture a mirrored ball shows from far away. The wall picture is taken
// as the world around the ball: it covers the half-circle of directions ahead
// of the viewer, mirrored behind him, from ELEVATION_TOP down to
// ELEVATION_BOTTOM; above it the sky deepens to the zenith colour, below it the
// ground continues in the average colour of the picture's lowest rows. Gain
// dims the picture, because the water adds its reflection onto the floor.
constexpr float ELEVATION_TOP = 55.0f * PI / 180.0f;
constexpr float ELEVATION_BOTTOM = -35.0f * PI / 180.0f;
constexpr int SPHERE_SIZE = 256;
constexpr int SPHERE_SAMPLES = 4;  // samples per texel side: the rim squeezes much of the world into little

Image sphereMap(const Image &world, Rgb zenith, float gain)
{
    Rgb ground{0, 0, 0};
    for (int x = 0; x < world.width; ++x)
        for (int y = world.height - 4; y < world.height; ++y)
            ground = ground + world.pixels[static_cast<std::size_t>(y) * world.width + x];
    ground = ground * (1.0f / (4.0f * world.width));

    auto look = [&](float rx, float ry, float rz) {
        // Azimuth 0 is straight ahead of the viewer (eye-space -z), positive to his right.
        float azimuth = std::atan2(rx, -rz);
        if (azimuth > PI / 2)
            azimuth = PI - azimuth;
        else if (azimuth < -PI / 2)
            azimuth = -PI - azimuth;
        const float elevation = std::asin(std::max(-1.0f, std::min(1.0f, ry)));
        const float u = (azimuth / PI + 0.5f) * world.width;
        if (elevation > ELEVATION_TOP) {
            const Rgb edge = sample(world, u, 0.0f);
            return mix(edge, zenith, smoothstep(ELEVATION_TOP, PI / 2, elevation));
        }
        if (elevation < ELEVATION_BOTTOM)
            return mix(sample(world, u, static_cast<float>(world.height)), ground,
                       smoothstep(ELEVATION_BOTTOM, ELEVATION_BOTTOM - 0.3f, elevation));
        const float v = (ELEVATION_TOP - elevation) / (ELEVATION_TOP - ELEVATION_BOTTOM) * world.height;
        return sample(world, u, v);
    };

    Image out{SPHERE_SIZE, SPHERE_SIZE, std::vector<Rgb>(SPHERE_SIZE * SPHERE_SIZE), std::vector<float>(SPHERE_SIZE * SPHERE_SIZE, 1.0f)};
    for (int row = 0; row < SPHERE_SIZE; ++row)
        for (int col = 0; col < SPHERE_SIZE; ++col) {
            Rgb sum{0, 0, 0};
            for (int sy = 0; sy < SPHERE_SAMPLES; ++sy)
                for (int sx = 0; sx < SPHERE_SAMPLES; ++sx) {
                    // Texture coordinates of the sample: s to the right, t upward.
                    const float s = (col + (sx + 0.5f) / SPHERE_SAMPLES) / SPHERE_SIZE;
                    const float t = 1.0f - (row + (sy + 0.5f) / SPHERE_SAMPLES) / SPHERE_SIZE;
                    float x = 2.0f * s - 1.0f, y = 2.0f * t - 1.0f;
                    const float rr = x * x + y * y;
                    if (rr > 0.998f) {
                        // Outside the ball: continue its rim, so filtering at the edge finds no dark fringe.
                        const float k = std::sqrt(0.998f / rr);
                        x *= k;
                        y *= k;
                    }
                    // The ball's normal there, and the view ray (0, 0, -1) reflected about it.
                    const float nz = std::sqrt(std::max(0.0f, 1.0f - x * x - y * y));
                    sum = sum + look(2.0f * nz * x, 2.0f * nz * y, 2.0f * nz * nz - 1.0f);
                }
            out.pixels[static_cast<std::size_t>(row) * SPHERE_SIZE + col] = sum * (gain / (SPHERE_SAMPLES * SPHERE_SAMPLES));
        }
    return out;
}

// ---------------------------------------------------------------- floors and box faces

constexpr int FLOOR_SIZE = 256;

Image paintDirt()
{
    Canvas c = makeCanvas(FLOOR_SIZE, FLOOR_SIZE, FLOOR_SAMPLES);
    fill(c, [](float u, float v) {
        const float n = fbm(u / 32.0f, v / 32.0f, 101, 5, 8);
        const float grain = valueNoise(u / 2.0f, v / 2.0f, 102, 128);
        Rgb col = mix(Rgb{0.27f, 0.18f, 0.11f}, Rgb{0.5f, 0.37f, 0.23f}, n) * (0.88f + 0.24f * grain);
        // Dry cracks along the edges of large cells, broken up by noise.
        const Cells big = cellular(u / 64.0f, v / 64.0f, 103, 4);
        const float crack = (1.0f - smoothstep(0.0f, 0.035f, big.second - big.nearest)) *
                            smoothstep(0.4f, 0.55f, fbm(u / 32.0f, v / 32.0f, 104, 3, 8));
        col = col * (1.0f - 0.55f * crack);
        // Pebbles, flattened and turned at random, lit from the upper left like a low dome.
        const Cells small = cellular(u / 16.0f, v / 16.0f, 105, 16);
        if (hashUnit(small.cellX, small.cellY, 106) > 0.55f) {
            const float radius = 0.14f + 0.16f * hashUnit(small.cellX, small.cellY, 107);
            const float turn = 2.0f * PI * hashUnit(small.cellX, small.cellY, 109);
            const float dx = u / 16.0f - small.pointX, dy = v / 16.0f - small.pointY;
            const float a = (dx * std::cos(turn) + dy * std::sin(turn)) / radius;
            const float b = (-dx * std::sin(turn) + dy * std::cos(turn)) / (radius * 0.7f);
            const float d = std::sqrt(a * a + b * b);
            if (d < 1.0f) {
                const float nz = std::sqrt(1.0f - d * d);
                const float light = 0.7f + 0.35f * clamp01(0.45f * (-dx - dy) / radius + 0.8f * nz);
                const float tone = hashUnit(small.cellX, small.cellY, 108);
                const Rgb stone = mix(Rgb{0.46f, 0.4f, 0.34f}, Rgb{0.6f, 0.5f, 0.38f}, tone) *
                                  (0.92f + 0.16f * valueNoise(u / 1.5f, v / 1.5f, 110, 0));
                col = mix(stone * light, col * 0.65f, smoothstep(0.85f, 1.0f, d));
            } else if (d < 1.3f) {
                col = col * mixf(0.75f, 1.0f, (d - 1.0f) / 0.3f);  // the hollow each pebble sits in
            }
        }
        // Damp, darker patches.
        col = col * (1.0f - 0.25f * smoothstep(0.55f, 0.7f, fbm(u / 64.0f, v / 64.0f, 111, 3, 4)));
        return col;
    });
    return downsample(c);
}

// Square tiles of size pixels with grout between them; shade picks the glaze per tile.
Shader tiles(float size, float grout, Rgb groutColour, const std::function<Rgb(int, int)> &shade)
{
    return [=](float u, float v) {
        const float fu = u / size, fv = v / size;
        const int tx = static_cast<int>(std::floor(fu)), ty = static_cast<int>(std::floor(fv));
        const float lu = (fu - tx) * size, lv = (fv - ty) * size;
        const float edge = std::min(std::min(lu, size - lu), std::min(lv, size - lv));
        if (edge < grout * 0.5f)
            return groutColour;
        // A glaze that catches the light along its upper-left edge.
        const float bevel = 1.0f + 0.12f * (1.0f - smoothstep(0.0f, 3.0f, std::min(lu, lv) - grout * 0.5f)) -
                            0.08f * (1.0f - smoothstep(0.0f, 3.0f, std::min(size - lu, size - lv) - grout * 0.5f));
        return shade(tx, ty) * bevel * (0.96f + 0.08f * valueNoise(u / 3.0f, v / 3.0f, tx * 31 + ty));
    };
}

Image paintBlueTiles()
{
    Canvas c = makeCanvas(FLOOR_SIZE, FLOOR_SIZE, FLOOR_SAMPLES);
    fill(c, tiles(16.0f, 2.0f, Rgb{0.72f, 0.8f, 0.86f}, [](int x, int y) {
             return mix(Rgb{0.08f, 0.36f, 0.72f}, Rgb{0.16f, 0.5f, 0.86f}, hashUnit(x, y, 201));
         }));
    return downsample(c);
}

Image paintPoolBottom()
{
    constexpr int SIZE = 512, TILES = 32;
    Canvas c = makeCanvas(SIZE, SIZE, FLOOR_SAMPLES);
    // Two lane lines with a T at each end and a band of dark tiles around the
    // edge, all laid tile by tile as a real pool's lines are.
    auto dark = [](int x, int y) {
        const bool edge = x == 0 || y == 0 || x == TILES - 1 || y == TILES - 1;
        const bool lane = (x == 10 || x == 11 || x == 20 || x == 21) && y >= 4 && y <= 27;
        const bool bar = (y == 4 || y == 27) && ((x >= 8 && x <= 13) || (x >= 18 && x <= 23));
        return edge || lane || bar;
    };
    fill(c, tiles(16.0f, 1.6f, Rgb{0.78f, 0.86f, 0.9f}, [&](int x, int y) {
             const float h = hashUnit(x, y, 301);
             return dark(x, y) ? mix(Rgb{0.04f, 0.12f, 0.42f}, Rgb{0.08f, 0.18f, 0.5f}, h)
                               : mix(Rgb{0.8f, 0.9f, 0.95f}, Rgb{0.88f, 0.96f, 0.99f}, h);
         }));
    // The drain in the middle: a steel grate with slots.
    const float cx = SIZE / 2.0f, cy = SIZE / 2.0f, r = 15.0f;
    paint(c, disc(cx, cy, r + 2), Rgb{0.5f, 0.55f, 0.6f});
    paint(c, disc(cx, cy, r), [=](float u, float v) {
        const bool slot = std::fmod(std::fabs(u - cx) + 1.5f, 5.0f) < 2.2f && std::fabs(v - cy) < r * 0.75f;
        return slot ? Rgb{0.12f, 0.14f, 0.18f} : mix(Rgb{0.78f, 0.82f, 0.86f}, Rgb{0.55f, 0.6f, 0.66f}, (v - cy + r) / (2 * r));
    });
    return downsample(c);
}

Image paintIceBottom()
{
    Canvas c = makeCanvas(FLOOR_SIZE, FLOOR_SIZE, FLOOR_SAMPLES);
    fill(c, [](float u, float v) {
        const float depth = fbm(u / 64.0f, v / 64.0f, 401, 4, 4);
        Rgb col = mix(Rgb{0.55f, 0.76f, 0.9f}, Rgb{0.86f, 0.94f, 0.99f}, smoothstep(0.3f, 0.7f, depth));
        // Frost: fine bright flecks.
        col = col + Rgb{0.1f, 0.1f, 0.08f} * smoothstep(0.62f, 0.8f, fbm(u / 4.0f, v / 4.0f, 402, 3, 64));
        // Cracks: white lines along cell edges, with a blue shadow on one side.
        const Cells big = cellular(u / 64.0f, v / 64.0f, 403, 4);
        const Cells fine = cellular(u / 21.333334f, v / 21.333334f, 404, 12);
        const float line = std::max(1.0f - smoothstep(0.0f, 0.03f, big.second - big.nearest),
                                    0.7f * (1.0f - smoothstep(0.0f, 0.04f, fine.second - fine.nearest)) *
                                        smoothstep(0.45f, 0.6f, fbm(u / 32.0f, v / 32.0f, 405, 2, 8)));
        const Cells shadowCell = cellular((u - 1.5f) / 64.0f, (v - 1.5f) / 64.0f, 403, 4);
        const float shadowLine = 1.0f - smoothstep(0.0f, 0.05f, shadowCell.second - shadowCell.nearest);
        col = mix(col, Rgb{0.4f, 0.6f, 0.8f}, 0.5f * shadowLine);
        return mix(col, Rgb{0.98f, 1.0f, 1.0f}, line);
    });
    return downsample(c);
}

Image paintCowSpots()
{
    Canvas c = makeCanvas(FLOOR_SIZE, FLOOR_SIZE, FLOOR_SAMPLES);
    fill(c, [](float u, float v) {
        // A warped cell pattern gives one ragged blob per cell, and it tiles.
        const float wu = u + 30.0f * (fbm(u / 32.0f, v / 32.0f, 501, 3, 8) - 0.5f);
        const float wv = v + 30.0f * (fbm(u / 32.0f, v / 32.0f, 502, 3, 8) - 0.5f);
        const Cells cell = cellular(wu / 64.0f, wv / 64.0f, 503, 4);
        const bool hasSpot = hashUnit(cell.cellX, cell.cellY, 504) > 0.15f;
        const float radius = 0.24f + 0.16f * hashUnit(cell.cellX, cell.cellY, 505);
        const float hair = 0.94f + 0.06f * valueNoise(u / 1.5f, v / 6.0f, 506);
        const Rgb white{0.97f, 0.95f, 0.91f}, black{0.06f, 0.05f, 0.05f};
        const float inside = hasSpot ? 1.0f - smoothstep(radius - 0.01f, radius + 0.01f, cell.nearest) : 0.0f;
        return mix(white, black, inside) * hair;
    });
    return downsample(c);
}

Image paintIceCubes()
{
    Canvas c = makeCanvas(FLOOR_SIZE, FLOOR_SIZE, FLOOR_SAMPLES);
    const float cell = FLOOR_SIZE / 2.0f, inset = 6.0f, corner = 16.0f;
    // Signed distance to a cube's rounded outline: negative inside.
    auto outline = [=](float lu, float lv) {
        const float half = cell / 2 - inset - corner;
        const float qx = std::fabs(lu - cell / 2) - half, qy = std::fabs(lv - cell / 2) - half;
        return std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) - corner;
    };
    const Rgb gap{0.25f, 0.45f, 0.66f};
    fill(c, [=](float u, float v) {
        const int tx = static_cast<int>(u / cell), ty = static_cast<int>(v / cell);
        const float lu = u - tx * cell, lv = v - ty * cell;
        const float d = outline(lu, lv);
        if (d > 0.0f)
            return gap * (0.85f + 0.3f * valueNoise(u / 6.0f, v / 6.0f, 601));
        // Clear ice, brighter toward the lit upper-left, frosty in the core.
        const float across = (lu + lv) / (2 * cell);
        Rgb col = mix(Rgb{0.84f, 0.95f, 1.0f}, Rgb{0.56f, 0.76f, 0.92f}, across);
        const float core = std::hypot(lu - cell / 2, lv - cell / 2) / (cell / 2);
        col = mix(col, Rgb{0.95f, 0.98f, 1.0f}, 0.6f * (1.0f - smoothstep(0.1f, 0.65f, core)) *
                                                     fbm(u / 10.0f, v / 10.0f, 602 + tx + 2 * ty, 4));
        // Fracture planes inside the ice catch the light as thin bright lines.
        const Cells crack = cellular(u / 40.0f, v / 40.0f, 603);
        col = mix(col, Rgb{1, 1, 1}, 0.45f * (1.0f - smoothstep(0.0f, 0.025f, crack.second - crack.nearest)) *
                                         smoothstep(0.5f, 0.6f, fbm(u / 24.0f, v / 24.0f, 604, 2)));
        // The bevel: a bright rim on the upper-left edges, a dark one lower right.
        const float facing = ((cell / 2 - lu) + (cell / 2 - lv)) / cell;
        const float rim = (1.0f - smoothstep(0.0f, 9.0f, -d)) * std::min(1.0f, std::fabs(facing) * 1.2f);
        col = mix(col, facing > 0 ? Rgb{1, 1, 1} : Rgb{0.36f, 0.56f, 0.76f}, rim);
        // A streak of reflected light across the upper left.
        const float streak = std::fabs((lu - lv) * 0.7071f + cell * 0.22f);
        col = mix(col, Rgb{1, 1, 1}, 0.55f * (1.0f - smoothstep(2.0f, 6.0f, streak)) * (1.0f - smoothstep(0.0f, cell * 0.5f, lu + lv - cell * 0.3f)));
        return col;
    });
    Rng rng{700};
    for (int k = 0; k < 90; ++k) {
        const float u = rng.range(10, FLOOR_SIZE - 10), v = rng.range(10, FLOOR_SIZE - 10), r = rng.range(0.8f, 2.6f);
        if (outline(std::fmod(u, cell), std::fmod(v, cell)) > -10.0f)
            continue;
        paint(c, disc(u, v, r), Rgb{0.97f, 1.0f, 1.0f}, 0.75f);
        paint(c, disc(u + r * 0.25f, v + r * 0.25f, r * 0.6f), Rgb{0.62f, 0.8f, 0.93f}, 0.8f);
    }
    // Ice lets some light through: the cubes are a little less than opaque.
    const int w = c.width * c.scale;
    for (int y = 0; y < w; ++y)
        for (int x = 0; x < w; ++x) {
            const float u = (x + 0.5f) / c.scale, v = (y + 0.5f) / c.scale;
            const float d = outline(std::fmod(u, cell), std::fmod(v, cell));
            c.alpha[static_cast<std::size_t>(y) * w + x] = d > 0.0f ? 1.0f : 0.85f;
        }
    return downsample(c);
}

// ---------------------------------------------------------------- the icon

// The desktop icon: a tile of pool water, deeper towards the bottom, crossed
// by the bright net of lines that caustics draw on a pool floor. Painted in
// coordinates relative to the icon's size, so every size shows the same
// picture; the tile's corners are rounded and transparent.
Image paintIcon(int size)
{
    Canvas c = makeCanvas(size, size, 4);
    const float s = static_cast<float>(size);
    fill(c, [s](float u, float v) {
        const float x = u / s, y = v / s;
        const Rgb water = mix(Rgb{0.10f, 0.46f, 0.82f}, Rgb{0.02f, 0.15f, 0.42f}, y);
        // Cell borders of cellular noise, bent a little by value noise, make
        // the net; a line is brightest where the two nearest points tie.
        const float wx = x * 3.1f + 0.5f * fbm(x * 2.5f, y * 2.5f, 901, 3);
        const float wy = y * 3.1f + 0.5f * fbm(x * 2.5f + 7.0f, y * 2.5f, 902, 3);
        const Cells cells = cellular(wx, wy, 907);
        const float line = std::exp(-(cells.second - cells.nearest) / 0.075f);
        const float glow = 0.35f * std::exp(-(cells.second - cells.nearest) / 0.3f);
        return mix(water, Rgb{0.86f, 0.98f, 1.0f}, clamp01(line + glow));
    });
    const int w = size * c.scale;
    for (int y = 0; y < w; ++y)
        for (int x = 0; x < w; ++x) {
            const float dx = std::fabs((static_cast<float>(x) + 0.5f) / static_cast<float>(w) - 0.5f) / 0.46f;
            const float dy = std::fabs((static_cast<float>(y) + 0.5f) / static_cast<float>(w) - 0.5f) / 0.46f;
            c.alpha[static_cast<std::size_t>(y) * w + x] = std::pow(dx, 5.0f) + std::pow(dy, 5.0f) <= 1.0f ? 1.0f : 0.0f;
        }
    return downsample(c);
}

// PNG needs a zlib stream; stored (uncompressed) deflate blocks keep this
// writer free of any library, and an icon of a few tens of kilobytes costs
// nothing.
std::uint32_t crc32(const unsigned char *data, std::size_t n, std::uint32_t crc)
{
    crc = ~crc;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void putBigEndian(std::vector<unsigned char> &out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(value >> shift));
}

void putChunk(std::vector<unsigned char> &out, const char *type, const std::vector<unsigned char> &data)
{
    putBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putBigEndian(out, crc32(out.data() + start, out.size() - start, 0));
}

// An 8-bit RGBA PNG, top row first, every row unfiltered.
bool writePng(const std::string &path, const Image &img)
{
    std::vector<unsigned char> raw;
    for (int y = 0; y < img.height; ++y) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < img.width; ++x) {
            const std::size_t at = static_cast<std::size_t>(y) * img.width + x;
            raw.push_back(toByte(img.pixels[at].r));
            raw.push_back(toByte(img.pixels[at].g));
            raw.push_back(toByte(img.pixels[at].b));
            raw.push_back(toByte(img.alpha[at]));
        }
    }
    std::vector<unsigned char> z = {0x78, 0x01};  // deflate, 32 KiB window, no dictionary
    std::uint32_t a = 1, b = 0;                   // Adler-32 of the raw bytes
    for (unsigned char byte : raw) {
        a = (a + byte) % 65521u;
        b = (b + a) % 65521u;
    }
    for (std::size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
        const bool last = at + n == raw.size();
        z.push_back(last ? 1 : 0);  // stored block, final or not
        z.push_back(static_cast<unsigned char>(n & 0xff));
        z.push_back(static_cast<unsigned char>(n >> 8));
        z.push_back(static_cast<unsigned char>(~n & 0xff));
        z.push_back(static_cast<unsigned char>((~n >> 8) & 0xff));
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(at), raw.begin() + static_cast<std::ptrdiff_t>(at + n));
        if (last)
            break;
    }
    putBigEndian(z, (b << 16) | a);

    std::vector<unsigned char> header;
    putBigEndian(header, static_cast<std::uint32_t>(img.width));
    putBigEndian(header, static_cast<std::uint32_t>(img.height));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, adaptive filters, not interlaced
    std::vector<unsigned char> bytes = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    putChunk(bytes, "IHDR", header);
    putChunk(bytes, "IDAT", z);
    putChunk(bytes, "IEND", {});

    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}

// ---------------------------------------------------------------- the set

const char *const TEXTURE_FILES[] = {
#include "scenery/texture_files.inc"
};

struct Painting {
    Image image;
    bool withAlpha;
    bool topRowFirst;
};

int usage(const char *program)
{
    std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY\n       %s --icon SIZE OUTPUT.png\n", program, program);
    return 2;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && std::string(argv[1]) == "--icon") {
        const int size = std::atoi(argv[2]);
        if (size < 16 || size > 1024)
            return usage(argv[0]);
        if (!writePng(argv[3], paintIcon(size))) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[3]);
            return 1;
        }
        return 0;
    }
    if (argc != 2)
        return usage(argv[0]);
    const std::string dir = argv[1];
    const Image boo = paintBoo(), pink = paintPinkTrees(), cows = paintCows(), snow = paintSnow();
    // Slot by slot as scenery/texture_files.inc names them: per scenery set
    // its floor, its reflection (a sphere map of the walls' picture) and its
    // walls; then the box's cow spots and its ice cubes.
    const Painting paintings[] = {
        {paintDirt(), false, false},
        {sphereMap(boo, Rgb{0.01f, 0.01f, 0.05f}, 0.9f), false, false},
        {boo, false, true},
        {paintBlueTiles(), false, false},
        {sphereMap(pink, Rgb{0.45f, 0.62f, 0.92f}, 0.55f), false, false},
        {pink, false, true},
        {paintPoolBottom(), false, false},
        {sphereMap(cows, Rgb{0.22f, 0.45f, 0.88f}, 0.55f), false, false},
        {cows, false, true},
        {paintIceBottom(), false, false},
        {sphereMap(snow, Rgb{0.36f, 0.5f, 0.74f}, 0.5f), false, false},
        {snow, false, true},
        {paintCowSpots(), false, false},
        {paintIceCubes(), true, false},
    };
    static_assert(std::size(paintings) == std::size(TEXTURE_FILES), "one painting per listed texture file");
    for (std::size_t i = 0; i < std::size(paintings); ++i)
        if (!writeTga(dir + "/" + TEXTURE_FILES[i], paintings[i].image, paintings[i].withAlpha, paintings[i].topRowFirst)) {
            std::fprintf(stderr, "%s: cannot write %s/%s\n", argv[0], dir.c_str(), TEXTURE_FILES[i]);
            return 1;
        }
    return 0;
}
