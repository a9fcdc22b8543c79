#include "res/tools/LcdArt.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "res/tools/DotFont.h"
#include "res/tools/DotMatrix.h"
#include "res/tools/Noise.h"

namespace art {
namespace {

constexpr Rgb kLit = {40, 230, 230};
constexpr Rgb kUnlit = {9, 30, 34};

// The display glyph: 3 px pitch, so the 5 x 8 matrix spans 14 x 23 px and
// sits centred in its 20 x 25 cell, leaving a gap between characters.
constexpr DotStyle kGlyphStyle = {3.0f, 2.5f, 0.7f, 0.9f, kLit, kUnlit};
constexpr float kGlyphFirstX = 4.0f;
constexpr float kGlyphFirstY = 2.0f;
constexpr int kGlyphWidth = 20;
constexpr int kGlyphHeight = 25;

// The list windows are 75 px wide and hold up to six characters, so their
// lettering is the same matrix at 2 px pitch.
constexpr DotStyle kListStyle = {2.0f, 1.5f, 0.3f, 0.7f, kLit, kUnlit};
constexpr int kListWidth = 75;
constexpr int kBand = 25;
constexpr int kListCells = 6;
constexpr float kListAdvance = 12.0f;
constexpr int kListRows = 7;

using ListTexts = std::array<const char*, 8>;

QImage Black(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::black);
  return image;
}

QImage List(const ListTexts& texts, bool rightAligned) {
  QImage image = Black(kListWidth, kBand * static_cast<int>(texts.size()));
  const float fieldWidth = (kListCells - 1) * kListAdvance + (kDotColumns - 1) * kListStyle.pitch;
  const float x = (kListWidth - fieldWidth) / 2;
  std::vector<Dot> dots;
  for (std::size_t band = 0; band < texts.size(); ++band) {
    const float y = static_cast<float>(band) * kBand + (kBand - (kListRows - 1) * kListStyle.pitch) / 2;
    AppendField(dots, texts[band], kListCells, rightAligned, x, y, kListAdvance, kListStyle, kListRows);
  }
  DrawDots(image, dots, kListStyle);
  return image;
}

// A dark metal case with a black glass window.
void DrawCase(QPainter& p, const QRectF& outer, const QRectF& glass, qreal corner) {
  QLinearGradient metal(outer.topLeft(), outer.bottomLeft());
  metal.setColorAt(0, QColor(112, 118, 126));
  metal.setColorAt(1, QColor(46, 50, 55));
  p.setPen(QPen(QColor(10, 11, 13), 1));
  p.setBrush(metal);
  p.drawRoundedRect(outer.adjusted(0.5, 0.5, -0.5, -0.5), corner, corner);
  p.setPen(QPen(QColor(20, 60, 66), 1));
  p.setBrush(QColor(2, 8, 12));
  p.drawRect(glass.adjusted(-0.5, -0.5, 0.5, 0.5));
}

}  // namespace

QImage FontStrip() {
  const std::string& characters = StripCharacters();
  QImage image = Black(kGlyphWidth * static_cast<int>(characters.size()), kGlyphHeight);
  std::vector<Dot> dots;
  for (std::size_t n = 0; n < characters.size(); ++n) {
    // The blanks keep their unlit dots, so a cleared row reads as a dark
    // bar of the same glass as the rest of the screen.
    AppendCharacter(dots, characters[n], static_cast<float>(n) * kGlyphWidth + kGlyphFirstX, kGlyphFirstY,
                    kGlyphStyle, kDotRows);
  }
  DrawDots(image, dots, kGlyphStyle);
  return image;
}

QImage Background() {
  constexpr int kWidth = 240;
  constexpr int kHeight = 286;
  constexpr std::uint32_t kSeed = 129;
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  for (int y = 0; y < kHeight; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < kWidth; ++x) {
      const float fx = x + 0.5f;
      const float fy = y + 0.5f;
      // Deep navy glass: a slow mottle, fine grain, darker toward the rim,
      // and a faint sheen from the top left.
      const float mottle = ValueNoise(kSeed, fx, fy, 24) * 0.6f + ValueNoise(kSeed + 1, fx, fy, 7) * 0.4f;
      const float grain = Hash01(kSeed + 2, x, y) - 0.5f;
      const float dx = (fx - kWidth / 2.0f) / (kWidth / 2.0f);
      const float dy = (fy - kHeight / 2.0f) / (kHeight / 2.0f);
      const float vignette = 1 - 0.5f * std::min(1.0f, (dx * dx + dy * dy) / 2);
      const float sheen = std::max(0.0f, 1 - (fx + fy) / 260.0f) * 5;
      const float level = (0.75f + 0.5f * mottle) * vignette;
      const float r = 4 * level + grain * 2 + sheen * 0.6f;
      const float g = 9 * level + grain * 2 + sheen * 0.9f;
      const float b = 19 * level + grain * 3 + sheen;
      line[x] = qRgb(std::clamp(static_cast<int>(std::lround(r)), 0, 255),
                     std::clamp(static_cast<int>(std::lround(g)), 0, 255),
                     std::clamp(static_cast<int>(std::lround(b)), 0, 255));
    }
  }
  // The bezel: a dark rim with a faint lit edge just inside it.
  QPainter p(&image);
  p.setPen(QColor(2, 3, 6));
  p.drawRect(0, 0, kWidth - 1, kHeight - 1);
  p.setPen(QColor(22, 34, 48));
  p.drawRect(1, 1, kWidth - 3, kHeight - 3);
  return image;
}

QImage PortList() {
  return List({"COM 1", "COM 2", "COM 3", "COM 4", "COM 5", "COM 6", "COM 7", "COM 8"}, false);
}

QImage IntervalList() {
  return List({"1 SEC", "2 SEC", "5 SEC", "10 SEC", "30 SEC", "1 MIN", "5 MIN", "10 MIN"}, true);
}

QImage BaudList() {
  return List({"2400", "4800", "9600", "19200", "38400", "57600", "115200", "230400"}, true);
}

QImage Icon(int size) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  const float s = static_cast<float>(size) / 32;
  {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    DrawCase(p, QRectF(0, 2 * s, size, 28 * s), QRectF(3 * s, 5 * s, 26 * s, 19 * s), 3 * s);
    // Two buttons under the glass, as on the unit.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(24, 26, 29));
    p.drawEllipse(QPointF(11 * s, 27 * s), 1.6 * s, 1.6 * s);
    p.drawEllipse(QPointF(21 * s, 27 * s), 1.6 * s, 1.6 * s);
  }
  std::vector<Dot> dots;
  if (size >= 32) {
    // "42" in the display's own lettering, scaled with the case.
    const DotStyle style = {2.0f * s, 1.6f * s, 0.3f * s, 0.6f * s, kLit, kUnlit};
    AppendCharacter(dots, '4', 6.5f * s, 8.5f * s, style, 7);
    AppendCharacter(dots, '2', 18.5f * s, 8.5f * s, style, 7);
    DrawDots(image, dots, style);
  } else {
    // Too small for a character: three lines of lit dots.
    const DotStyle style = {1.0f, 1.0f, 0.0f, 0.0f, kLit, kUnlit};
    for (int row = 0; row < 3; ++row) {
      for (int col = 0; col < 10; ++col) dots.push_back({3.5f + col, 4.5f + 2 * row, (col + row) % 4 != 3});
    }
    DrawDots(image, dots, style);
  }
  return image;
}

QImage AboutPicture() {
  QImage image(32, 32, QImage::Format_RGB32);
  image.fill(Qt::black);
  {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    DrawCase(p, QRectF(2, 0, 28, 32), QRectF(5, 3, 22, 18), 3);
    // SCROLL and SELECT.
    for (float x : {11.0f, 21.0f}) {
      QRadialGradient knob(QPointF(x - 0.6, 25.4), 2.6);
      knob.setColorAt(0, QColor(150, 156, 164));
      knob.setColorAt(1, QColor(40, 43, 47));
      p.setPen(QPen(QColor(12, 13, 15), 0.8));
      p.setBrush(knob);
      p.drawEllipse(QPointF(x, 26), 2.3, 2.3);
    }
  }
  // Four rows of characters on the glass, each character a 2 x 3 block.
  const DotStyle style = {1.0f, 1.0f, 0.0f, 0.0f, kLit, Rgb{6, 24, 28}};
  static const char* const kRows[] = {"TEMP 18", "SPD  62", "DPT 125", "LOG 234"};
  std::vector<Dot> dots;
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 7; ++col) {
      const bool lit = kRows[row][col] != ' ';
      for (int dy = 0; dy < 3; ++dy) {
        for (int dx = 0; dx < 2; ++dx) dots.push_back({6.5f + 3 * col + dx, 4.5f + 4 * row + dy, lit});
      }
    }
  }
  DrawDots(image, dots, style);
  return image;
}

}  // namespace art
