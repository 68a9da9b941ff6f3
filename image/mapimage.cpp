#include "mapimage.h"

#include "pixelfont.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace image {

namespace {

// Viridis at 0, 1/7, ..., 1.
constexpr std::array<std::array<double, 3>, 8> Scale = {{
    {68, 1, 84},
    {70, 50, 127},
    {54, 92, 141},
    {39, 127, 142},
    {31, 161, 135},
    {74, 194, 109},
    {159, 218, 58},
    {253, 231, 37},
}};

constexpr std::array<std::uint8_t, 3> Black = {0, 0, 0}, Grey = {128, 128, 128};

// The map's longer side is enlarged to at least this many pixels.
constexpr std::size_t ShownSide = 256;
constexpr std::size_t Margin = 10, BarWidth = 16, Gap = 8;
constexpr int TextScale = 2;

std::string label(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3g", value);
    return text;
}

void fill(RgbImage &image, std::size_t x0, std::size_t y0, std::size_t w, std::size_t h, std::array<std::uint8_t, 3> c)
{
    for (std::size_t y = y0; y < y0 + h && y < image.height; ++y)
        for (std::size_t x = x0; x < x0 + w && x < image.width; ++x)
            std::copy(c.begin(), c.end(), image.rgb.begin() + std::ptrdiff_t((y * image.width + x) * 3));
}

} // namespace

std::array<std::uint8_t, 3> mapColour(double t)
{
    if (!(t > 0))
        t = 0;
    t = std::min(t, 1.0) * double(Scale.size() - 1);
    const std::size_t i = std::min(std::size_t(t), Scale.size() - 2);
    const double f = t - double(i);
    std::array<std::uint8_t, 3> c{};
    for (std::size_t k = 0; k < 3; ++k)
        c[k] = std::uint8_t(std::lround(Scale[i][k] + f * (Scale[i + 1][k] - Scale[i][k])));
    return c;
}

double mapTop(std::span<const float> values)
{
    double top = 0;
    for (const float v : values)
        if (std::isfinite(v))
            top = std::max(top, double(v));
    return top > 0 ? top : 1.0;
}

RgbImage renderMap(std::span<const float> values, std::size_t width, std::size_t height, std::string_view title)
{
    RgbImage image;
    if (width == 0 || height == 0 || values.size() != width * height)
        return image;
    const std::size_t zoom = std::max<std::size_t>(1, (ShownSide + std::max(width, height) - 1) / std::max(width, height));
    const std::size_t mapW = width * zoom, mapH = height * zoom;
    const std::size_t textH = GlyphHeight * TextScale;
    const std::size_t barH = std::max(mapH, 4 * textH);
    const double top = mapTop(values);
    const std::string labels[3] = {label(top), label(top / 2), "0"};
    std::size_t labelW = 0;
    for (const std::string &l : labels)
        labelW = std::max(labelW, textWidth(l, TextScale));
    const std::size_t barX = Margin + mapW + Gap;
    const std::size_t mapY = Margin + textH + Gap;
    image.width = std::max(barX + BarWidth + Gap + labelW + Margin, Margin + textWidth(title, TextScale) + Margin);
    image.height = mapY + std::max(barH, mapH) + textH / 2 + Margin;
    image.rgb.assign(image.width * image.height * 3, 255);
    drawText(image, Margin, Margin, title, TextScale, Black);

    for (std::size_t y = 0; y < height; ++y)
        for (std::size_t x = 0; x < width; ++x) {
            const float v = values[y * width + x];
            fill(image, Margin + x * zoom, mapY + y * zoom, zoom, zoom, std::isnan(v) ? Grey : mapColour(v / top));
        }
    // The scale, top to bottom, framed; its marks at the top, middle and
    // bottom, each label centred on its mark.
    for (std::size_t y = 0; y < barH; ++y)
        fill(image, barX, mapY + y, BarWidth, 1, mapColour(1.0 - double(y) / double(std::max<std::size_t>(1, barH - 1))));
    fill(image, barX - 1, mapY - 1, BarWidth + 2, 1, Black);
    fill(image, barX - 1, mapY + barH, BarWidth + 2, 1, Black);
    fill(image, barX - 1, mapY - 1, 1, barH + 2, Black);
    fill(image, barX + BarWidth, mapY - 1, 1, barH + 2, Black);
    for (std::size_t k = 0; k < 3; ++k) {
        const std::size_t at = mapY + (barH - 1) * k / 2;
        fill(image, barX + BarWidth, at, Gap / 2, 1, Black);
        drawText(image, barX + BarWidth + Gap, at >= textH / 2 ? at - textH / 2 : 0, labels[k], TextScale, Black);
    }
    return image;
}

} // namespace image
