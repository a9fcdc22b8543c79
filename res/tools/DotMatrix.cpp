#include "res/tools/DotMatrix.h"

#include <algorithm>
#include <cmath>

#include "res/tools/DotFont.h"

namespace art {
namespace {

// Signed distance from (px, py) to a rounded square of side `size` centred
// at (cx, cy): negative inside.
float RoundedSquareDistance(float px, float py, float cx, float cy, float size, float radius) {
  const float inner = size / 2 - radius;
  const float qx = std::fabs(px - cx) - inner;
  const float qy = std::fabs(py - cy) - inner;
  const float ox = std::max(qx, 0.0f);
  const float oy = std::max(qy, 0.0f);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - radius;
}

float Clamp01(float v) { return std::min(std::max(v, 0.0f), 1.0f); }

float Mix(float a, float b, float t) { return a + (b - a) * t; }

int ToByte(float v) { return static_cast<int>(std::lround(std::min(std::max(v, 0.0f), 255.0f))); }

struct Field {
  std::vector<float> lit, core, unlit, glow;
  explicit Field(std::size_t n) : lit(n, 0), core(n, 0), unlit(n, 0), glow(n, 0) {}
};

}  // namespace

void AppendCharacter(std::vector<Dot>& dots, char c, float x, float y, const DotStyle& style, int rows) {
  const DotRows* pattern = DotsOf(c);
  for (int r = 0; r < rows && r < kDotRows; ++r) {
    for (int col = 0; col < kDotColumns; ++col) {
      const bool lit = pattern != nullptr && (*pattern)[r][col] == '#';
      dots.push_back({x + col * style.pitch, y + r * style.pitch, lit});
    }
  }
}

void AppendField(std::vector<Dot>& dots, const std::string& text, int cells, bool rightAligned, float x, float y,
                 float advance, const DotStyle& style, int rows) {
  const int length = static_cast<int>(text.size());
  const int first = rightAligned ? cells - length : 0;
  for (int cell = 0; cell < cells; ++cell) {
    const int index = cell - first;
    const char c = index >= 0 && index < length ? text[static_cast<std::size_t>(index)] : ' ';
    AppendCharacter(dots, c, x + cell * advance, y, style, rows);
  }
}

void DrawDots(QImage& image, const std::vector<Dot>& dots, const DotStyle& style) {
  const int width = image.width();
  const int height = image.height();
  Field field(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  const float reach = style.size / 2 + 1 + 3 * style.glow;
  for (const Dot& dot : dots) {
    const int x0 = std::max(0, static_cast<int>(std::floor(dot.cx - reach)));
    const int x1 = std::min(width - 1, static_cast<int>(std::ceil(dot.cx + reach)));
    const int y0 = std::max(0, static_cast<int>(std::floor(dot.cy - reach)));
    const int y1 = std::min(height - 1, static_cast<int>(std::ceil(dot.cy + reach)));
    for (int y = y0; y <= y1; ++y) {
      for (int x = x0; x <= x1; ++x) {
        const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
        const float d = RoundedSquareDistance(x + 0.5f, y + 0.5f, dot.cx, dot.cy, style.size, style.radius);
        const float cover = Clamp01(0.5f - d);
        if (!dot.lit) {
          field.unlit[i] = std::max(field.unlit[i], cover);
          continue;
        }
        field.lit[i] = std::max(field.lit[i], cover);
        field.core[i] = std::max(field.core[i], Clamp01(-d / (style.size / 2)));
        if (style.glow > 0 && d > 0) field.glow[i] += std::exp(-(d * d) / (2 * style.glow * style.glow));
      }
    }
  }
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
      float r = static_cast<float>(qRed(line[x]));
      float g = static_cast<float>(qGreen(line[x]));
      float b = static_cast<float>(qBlue(line[x]));
      r = Mix(r, style.unlit.r, field.unlit[i]);
      g = Mix(g, style.unlit.g, field.unlit[i]);
      b = Mix(b, style.unlit.b, field.unlit[i]);
      const float glow = 0.22f * std::min(field.glow[i], 1.5f) * (1 - field.lit[i]);
      r += style.lit.r * glow;
      g += style.lit.g * glow;
      b += style.lit.b * glow;
      // The middle of a lit dot runs a little toward white, as a backlit
      // segment does.
      const float hot = 0.35f * field.core[i];
      r = Mix(r, Mix(style.lit.r, 255, hot), field.lit[i]);
      g = Mix(g, Mix(style.lit.g, 255, hot), field.lit[i]);
      b = Mix(b, Mix(style.lit.b, 255, hot), field.lit[i]);
      line[x] = qRgba(ToByte(r), ToByte(g), ToByte(b), qAlpha(line[x]));
    }
  }
}

}  // namespace art
