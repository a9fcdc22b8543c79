#include "res/tools/PanelArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

#include "res/tools/Noise.h"

namespace art {
namespace {

constexpr int kPanelSize = 25;
constexpr int kArrowSize = 16;

constexpr QRgb kCyan = qRgb(60, 235, 235);
constexpr QRgb kRed = qRgb(240, 52, 44);
constexpr QRgb kGreen = qRgb(48, 230, 96);
const QColor kCyanLight(205, 255, 255);
const QColor kCyanDim(26, 120, 124);

// How one symbol is inked: the symbol is drawn twice, first as a soft dark
// shadow, then in colour, so that it stands off the metal.
struct Ink {
  bool shadow;
  bool pressed;
  QColor main;
  QColor light;
  QColor dim;
};

Ink ShadowInk(bool pressed) {
  const QColor s(0, 0, 0, 150);
  return {true, pressed, s, s, s};
}

Ink ColourInk(bool pressed, const QColor& main) {
  const bool cyan = main.rgb() == kCyan;
  return {false, pressed, main, cyan ? kCyanLight : main.lighter(150), cyan ? kCyanDim : main.darker(220)};
}

QPen Line(const QColor& colour, qreal width) { return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

// Brushed dark grey metal with a two-pixel bevel; sunk in when pressed.
void DrawPlate(QImage& image, Look look, std::uint32_t seed) {
  const int n = image.width();
  const bool pressed = look == Look::kPressed;
  const int top = pressed ? 46 : 84;
  const int bottom = pressed ? 36 : 52;
  for (int y = 1; y < n - 1; ++y) {
    const float t = static_cast<float>(y) / static_cast<float>(n - 1);
    const float row = (Hash01(seed, 0, y) - 0.5f) * 5;
    for (int x = 1; x < n - 1; ++x) {
      const float grain = (Hash01(seed + 1, x, y) - 0.5f) * 3;
      const int v = static_cast<int>(std::lround(top + (bottom - top) * t + row + grain));
      image.setPixel(x, y, qRgb(v, v + 4, v + 10));
    }
  }
  QPainter p(&image);
  p.setPen(QColor(8, 9, 11));
  p.drawRect(0, 0, n - 1, n - 1);
  const QColor lightOuter = pressed ? QColor(18, 19, 22) : QColor(156, 162, 170);
  const QColor lightInner = pressed ? QColor(30, 32, 36) : QColor(112, 118, 126);
  const QColor darkOuter = pressed ? QColor(92, 97, 104) : QColor(20, 22, 25);
  const QColor darkInner = pressed ? QColor(54, 58, 63) : QColor(38, 41, 45);
  const int bevel = n >= kPanelSize ? 2 : 1;
  for (int i = 0; i < bevel; ++i) {
    const int a = 1 + i;
    const int b = n - 2 - i;
    p.setPen(i == 0 ? lightOuter : lightInner);
    p.drawLine(a, a, b - 1, a);
    p.drawLine(a, a, a, b - 1);
    p.setPen(i == 0 ? darkOuter : darkInner);
    p.drawLine(a, b, b, b);
    p.drawLine(b, a, b, b);
  }
}

void DrawRecord(QPainter& p, const Ink& ink) {
  const QPointF centre(12.5, 12.5);
  if (ink.shadow) {
    p.setPen(Qt::NoPen);
    p.setBrush(ink.main);
    p.drawEllipse(centre, 6.2, 6.2);
    return;
  }
  // Pressed stands for recording under way: the lamp is lit.
  if (ink.pressed) {
    QRadialGradient halo(centre, 8.5);
    halo.setColorAt(0.6, QColor(255, 60, 40, 120));
    halo.setColorAt(1, QColor(255, 60, 40, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(centre, 8.5, 8.5);
  }
  QRadialGradient lamp(QPointF(11, 10.8), 6.5);
  lamp.setColorAt(0, ink.pressed ? QColor(255, 200, 190) : QColor(255, 130, 118));
  lamp.setColorAt(0.45, ink.pressed ? QColor(255, 60, 44) : QColor(214, 34, 28));
  lamp.setColorAt(1, ink.pressed ? QColor(190, 20, 14) : QColor(120, 12, 10));
  p.setPen(QPen(QColor(30, 6, 6), 0.8));
  p.setBrush(lamp);
  p.drawEllipse(centre, 5.6, 5.6);
}

// The unit's SELECT: an enter mark.
void DrawSelect(QPainter& p, const Ink& ink) {
  QPainterPath stem;
  stem.moveTo(17.5, 6.5);
  stem.lineTo(17.5, 14);
  stem.lineTo(10, 14);
  p.setPen(Line(ink.main, 2.2));
  p.setBrush(Qt::NoBrush);
  p.drawPath(stem);
  QPainterPath head;
  head.moveTo(5.5, 14);
  head.lineTo(10.5, 9.8);
  head.lineTo(10.5, 18.2);
  head.closeSubpath();
  p.setPen(Line(ink.main, 0.8));
  p.setBrush(ink.main);
  p.drawPath(head);
}

void DrawDisk(QPainter& p, const Ink& ink) {
  QPainterPath body;
  body.moveTo(6.5, 6.5);
  body.lineTo(16, 6.5);
  body.lineTo(18.5, 9);
  body.lineTo(18.5, 18.5);
  body.lineTo(6.5, 18.5);
  body.closeSubpath();
  p.setPen(Line(ink.shadow ? ink.main : ink.dim, 1));
  p.setBrush(ink.main);
  p.drawPath(body);
  if (ink.shadow) return;
  // Shutter with its window, then the label.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(20, 44, 50));
  p.drawRect(QRectF(9, 6.5, 6.5, 4.5));
  p.setBrush(ink.main);
  p.drawRect(QRectF(13, 7.5, 1.5, 2.5));
  p.setBrush(ink.light);
  p.drawRect(QRectF(8.5, 13, 8, 5.5));
  p.setPen(QPen(ink.dim, 0.8));
  p.drawLine(QPointF(10, 15), QPointF(15, 15));
  p.drawLine(QPointF(10, 16.8), QPointF(15, 16.8));
}

// A mains-style plug, prongs up, cable down, in a 25 x 25 square.
void DrawPlug(QPainter& p, const Ink& ink) {
  p.setPen(Qt::NoPen);
  p.setBrush(ink.shadow ? ink.main : ink.light);
  p.drawRoundedRect(QRectF(9.4, 4, 2.2, 5.5), 0.6, 0.6);
  p.drawRoundedRect(QRectF(13.4, 4, 2.2, 5.5), 0.6, 0.6);
  p.setBrush(ink.main);
  p.drawRoundedRect(QRectF(7, 9, 11, 6.5), 1.6, 1.6);
  QPainterPath neck;
  neck.moveTo(9, 15);
  neck.lineTo(16, 15);
  neck.lineTo(14.2, 18.2);
  neck.lineTo(10.8, 18.2);
  neck.closeSubpath();
  p.drawPath(neck);
  p.setPen(Line(ink.main, 2));
  p.drawLine(QPointF(12.5, 18), QPointF(12.5, 21.5));
  if (ink.shadow) return;
  p.setPen(QPen(ink.dim, 0.9));
  p.drawLine(QPointF(9, 12.2), QPointF(16, 12.2));
}

void DrawBolt(QPainter& p, const Ink& ink) {
  QPainterPath bolt;
  bolt.moveTo(15, 3.5);
  bolt.lineTo(7, 13.8);
  bolt.lineTo(11.8, 13.8);
  bolt.lineTo(9.6, 21.5);
  bolt.lineTo(18, 10.6);
  bolt.lineTo(13.2, 10.6);
  bolt.lineTo(16.4, 3.5);
  bolt.closeSubpath();
  if (ink.shadow) {
    p.setPen(Line(ink.main, 1.2));
    p.setBrush(ink.main);
  } else {
    QLinearGradient fill(QPointF(8, 4), QPointF(17, 21));
    fill.setColorAt(0, ink.light);
    fill.setColorAt(1, ink.main);
    p.setPen(Line(ink.dim, 0.7));
    p.setBrush(fill);
  }
  p.drawPath(bolt);
}

// The unit's SCROLL: a list with a chevron under it.
void DrawScroll(QPainter& p, const Ink& ink) {
  p.setBrush(Qt::NoBrush);
  for (qreal y : {6.5, 9.75, 13.0}) {
    p.setPen(Line(y == 9.75 ? ink.light : ink.main, 1.7));
    p.drawLine(QPointF(7, y), QPointF(18, y));
  }
  p.setPen(Line(ink.main, 2.1));
  QPainterPath chevron;
  chevron.moveTo(8.5, 15.8);
  chevron.lineTo(12.5, 19.6);
  chevron.lineTo(16.5, 15.8);
  p.drawPath(chevron);
}

// The page selector: a screen with a further page behind it.
void DrawPages(QPainter& p, const Ink& ink) {
  p.setPen(QPen(ink.dim, 1.2));
  p.setBrush(ink.shadow ? ink.main : QColor(4, 22, 26));
  p.drawRoundedRect(QRectF(9.5, 5, 10, 8.5), 1, 1);
  p.setPen(QPen(ink.main, 1.4));
  p.setBrush(ink.shadow ? ink.main : QColor(2, 12, 16));
  p.drawRoundedRect(QRectF(5.5, 9, 11, 9), 1, 1);
  p.setPen(Line(ink.main, 1.4));
  p.drawLine(QPointF(8.5, 20.6), QPointF(13.5, 20.6));
  if (ink.shadow) return;
  p.setPen(Qt::NoPen);
  p.setBrush(ink.light);
  for (int row = 0; row < 2; ++row) {
    for (int col = 0; col < 4; ++col) p.drawRect(QRectF(7.5 + 2 * col, 11.5 + 3 * row, 1.1, 1.1));
  }
}

void DrawOk(QPainter& p, const Ink& ink) {
  p.setBrush(Qt::NoBrush);
  p.setPen(Line(ink.main, 1.9));
  p.drawEllipse(QPointF(8.8, 12.5), 3.2, 4.6);
  p.drawLine(QPointF(14.5, 7.9), QPointF(14.5, 17.1));
  QPainterPath k;
  k.moveTo(19.2, 7.9);
  k.lineTo(15.2, 12.5);
  k.lineTo(19.2, 17.1);
  p.drawPath(k);
}

void DrawTriangle(QPainter& p, const Ink& ink, bool up) {
  QPainterPath arrow;
  const qreal tip = up ? 4.5 : 11.5;
  const qreal base = up ? 10.5 : 5.5;
  arrow.moveTo(8, tip);
  arrow.lineTo(12.2, base);
  arrow.lineTo(3.8, base);
  arrow.closeSubpath();
  p.setPen(Line(ink.shadow ? ink.main : ink.dim, 0.8));
  p.setBrush(ink.main);
  p.drawPath(arrow);
}

void DrawUp(QPainter& p, const Ink& ink) { DrawTriangle(p, ink, true); }
void DrawDown(QPainter& p, const Ink& ink) { DrawTriangle(p, ink, false); }

void DrawFrame(QPainter& p, const Ink& ink) {
  p.setBrush(Qt::NoBrush);
  if (!ink.shadow) {
    QColor glow = ink.main;
    glow.setAlpha(70);
    p.setPen(QPen(glow, 3.4));
    p.drawRoundedRect(QRectF(4.5, 4.5, 16, 16), 2.5, 2.5);
  }
  p.setPen(QPen(ink.main, 1.5));
  p.drawRoundedRect(QRectF(4.5, 4.5, 16, 16), 2.5, 2.5);
}

void DrawFramedPlug(QPainter& p, const Ink& ink) {
  DrawFrame(p, ink);
  p.save();
  p.translate(12.5, 12.5);
  p.scale(0.62, 0.62);
  p.translate(-12.5, -12.5);
  DrawPlug(p, ink);
  p.restore();
}

using SymbolFn = void (*)(QPainter&, const Ink&);

struct PanelSymbol {
  const char* control;
  int size;
  QRgb colour;
  SymbolFn draw;
  std::uint32_t seed;  // of the metal's grain
};

// CONNECT starts out not connected, so its own pictures are the red sign.
constexpr PanelSymbol kPanelSymbols[] = {
    {"RECORD", kPanelSize, kCyan, DrawRecord, 11},
    {"STOP", kPanelSize, kCyan, DrawSelect, 12},
    {"SAVE", kPanelSize, kCyan, DrawDisk, 13},
    {"CONNECT", kPanelSize, kRed, DrawFramedPlug, 14},
    {"FLASH", kPanelSize, kCyan, DrawBolt, 15},
    {"PAGE", kPanelSize, kCyan, DrawScroll, 16},
    {"OK", kPanelSize, kCyan, DrawOk, 17},
    {"DISPLAY", kPanelSize, kCyan, DrawPages, 18},
    {"UP", kArrowSize, kCyan, DrawUp, 21},
    {"IUP", kArrowSize, kCyan, DrawUp, 21},
    {"BUP", kArrowSize, kCyan, DrawUp, 21},
    {"DOWN", kArrowSize, kCyan, DrawDown, 22},
    {"IDOWN", kArrowSize, kCyan, DrawDown, 22},
    {"BDOWN", kArrowSize, kCyan, DrawDown, 22},
};

QImage Button(int size, Look look, std::uint32_t seed, const QColor& colour, SymbolFn draw) {
  QImage image(size, size, QImage::Format_RGB32);
  image.fill(Qt::black);
  DrawPlate(image, look, seed);
  const bool pressed = look == Look::kPressed;
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  if (pressed) p.translate(1, 1);
  p.save();
  p.translate(0.7, 0.8);
  draw(p, ShadowInk(pressed));
  p.restore();
  Ink ink = ColourInk(pressed, colour);
  if (pressed) {
    // Sunk in, the symbol catches less light.
    ink.main = ink.main.darker(112);
    ink.light = ink.light.darker(112);
  }
  draw(p, ink);
  return image;
}

}  // namespace

QImage PanelButton(const std::string& control, Look look) {
  for (const PanelSymbol& symbol : kPanelSymbols) {
    if (control == symbol.control) return Button(symbol.size, look, symbol.seed, QColor(symbol.colour), symbol.draw);
  }
  return {};
}

QImage ConnectSign(bool connected) {
  return Button(kPanelSize, Look::kRaised, 14, QColor(connected ? kGreen : kRed), DrawFramedPlug);
}

}  // namespace art
