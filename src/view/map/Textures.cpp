#include "view/map/Textures.h"

#include <QColor>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace view {

namespace {

constexpr int N = kTextureSize;
using Field = std::array<float, N * N>;

float& At(Field& f, int x, int y) {
    return f[static_cast<std::size_t>(((y % N + N) % N) * N + (x % N + N) % N)];
}

// White noise in [0, 1), the same on every run.
Field Noise(std::uint32_t seed) {
    Field f{};
    std::uint32_t s = seed;
    for (float& v : f) {
        s = s * 1664525u + 1013904223u;
        v = static_cast<float>(s >> 8) / static_cast<float>(1u << 24);
    }
    return f;
}

// A box blur that wraps around the edges, so the tile stays seamless.
Field Blur(Field f, int passes, int radius = 1) {
    for (int pass = 0; pass < passes; ++pass) {
        Field out{};
        const float n = static_cast<float>((2 * radius + 1) * (2 * radius + 1));
        for (int y = 0; y < N; ++y)
            for (int x = 0; x < N; ++x) {
                float sum = 0;
                for (int dy = -radius; dy <= radius; ++dy)
                    for (int dx = -radius; dx <= radius; ++dx)
                        sum += At(f, x + dx, y + dy);
                At(out, x, y) = sum / n;
            }
        f = out;
    }
    // Stretch back to [0, 1] (blurring flattens the noise).
    auto [lo, hi] = std::minmax_element(f.begin(), f.end());
    const float low = *lo, span = std::max(1e-6f, *hi - *lo);
    for (float& v : f)
        v = (v - low) / span;
    return f;
}

QRgb Shade(QColor base, float amount) {
    auto c = [amount](int v) {
        return std::clamp(static_cast<int>(std::lround(v + amount)), 0, 255);
    };
    return qRgb(c(base.red()), c(base.green()), c(base.blue()));
}

template <class Pixel> QImage Draw(Pixel pixel) {
    QImage image(N, N, QImage::Format_RGB32);
    for (int y = 0; y < N; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < N; ++x)
            line[x] = pixel(x, y);
    }
    return image;
}

// Grey paving: two rows of flagstones a tile, offset by half a stone, with faint joints (the
// map's rooms must stay the brightest thing on it).
QImage Paving() {
    Field grain = Blur(Noise(11), 1);
    Field cloud = Blur(Noise(12), 3, 2);
    return Draw([&](int x, int y) {
        const int row = y / 32;
        const int sx = (x + row * 16) % 32;
        const bool joint = y % 32 == 0 || sx == 0;
        const float stone = 7.f * (At(cloud, x, y) - 0.5f) + 4.f * (At(grain, x, y) - 0.5f);
        return Shade(QColor(0x80, 0x80, 0x80), joint ? -7.f : stone);
    });
}

// Parchment: warm and light with soft blotches.
QImage Parchment() {
    Field cloud = Blur(Noise(21), 4, 2);
    Field grain = Blur(Noise(22), 1);
    return Draw([&](int x, int y) {
        return Shade(QColor(0xC8, 0xB8, 0x94),
                     22.f * (At(cloud, x, y) - 0.5f) + 6.f * (At(grain, x, y) - 0.5f));
    });
}

// Grass: green with darker and lighter speckles.
QImage Grass() {
    Field cloud = Blur(Noise(31), 3, 2);
    Field blades = Noise(32);
    return Draw([&](int x, int y) {
        float v = 14.f * (At(cloud, x, y) - 0.5f);
        const float b = At(blades, x, y);
        if (b > 0.92f) v += 16.f;
        if (b < 0.08f) v -= 16.f;
        return Shade(QColor(0x4C, 0x76, 0x3C), v);
    });
}

// Water: blue with gentle wave lines.
QImage Water() {
    Field cloud = Blur(Noise(41), 3, 2);
    constexpr float kPi = 3.14159265f;
    return Draw([&](int x, int y) {
        const float wave = std::sin(2 * kPi * (y / 16.f + 0.25f * std::sin(2 * kPi * x / 64.f)));
        return Shade(QColor(0x3C, 0x5C, 0x8C), 9.f * wave + 10.f * (At(cloud, x, y) - 0.5f));
    });
}

// Sand: pale with fine grains.
QImage Sand() {
    Field grain = Noise(51);
    Field cloud = Blur(Noise(52), 3, 2);
    return Draw([&](int x, int y) {
        return Shade(QColor(0xC4, 0xA8, 0x72),
                     16.f * (At(grain, x, y) - 0.5f) + 10.f * (At(cloud, x, y) - 0.5f));
    });
}

// Wooden planks: four planks a tile with grain along them.
QImage Planks() {
    Field grain = Noise(61);
    return Draw([&](int x, int y) {
        if (y % 16 == 0) return Shade(QColor(0x5A, 0x3C, 0x22), 0);
        // The grain runs along the plank: average the noise over a stretch of the row.
        float g = 0;
        for (int dx = -4; dx <= 4; ++dx)
            g += At(grain, x + dx, y);
        g /= 9.f;
        const float plank = 6.f * static_cast<float>((y / 16) % 2);
        return Shade(QColor(0x8C, 0x62, 0x3A), 30.f * (g - 0.5f) + plank);
    });
}

// Dark slate: for bright room colours.
QImage Slate() {
    Field cloud = Blur(Noise(71), 2, 2);
    Field grain = Noise(72);
    return Draw([&](int x, int y) {
        return Shade(QColor(0x3A, 0x3C, 0x44),
                     10.f * (At(cloud, x, y) - 0.5f) + 5.f * (At(grain, x, y) - 0.5f));
    });
}

} // namespace

const std::vector<QImage>& BackgroundTextures() {
    static const std::vector<QImage> textures{Paving(), Parchment(), Grass(), Water(),
                                              Sand(),   Planks(),    Slate()};
    return textures;
}

} // namespace view
