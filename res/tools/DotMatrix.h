#pragma once
// Dot-matrix LCD lettering drawn straight into an image: each dot a small
// rounded square, lit ones with a faint glow, unlit ones barely visible.
// Computed per pixel from the distance to each dot, so the result does not
// depend on the paint engine.
#include <QImage>
#include <string>
#include <vector>

namespace art {

struct Rgb {
  float r, g, b;
};

struct DotStyle {
  float pitch;   // distance between neighbouring dot centres
  float size;    // side of one dot
  float radius;  // corner radius of a dot
  float glow;    // spread of the glow around a lit dot; 0 for none
  Rgb lit;
  Rgb unlit;
};

struct Dot {
  float cx, cy;
  bool lit;
};

// The dots of one character cell whose top-left dot is centred at (x, y):
// `rows` rows of the 5-column matrix, lit where the character's pattern has
// a dot. A character without a pattern gives unlit dots only.
void AppendCharacter(std::vector<Dot>& dots, char c, float x, float y, const DotStyle& style, int rows);

// Character cells of a text field: `cells` positions with the text placed
// at the left or the right end; the spare cells show unlit dots.
void AppendField(std::vector<Dot>& dots, const std::string& text, int cells, bool rightAligned, float x, float y,
                 float advance, const DotStyle& style, int rows);

// Draws the dots over what the image already holds (RGB32 or ARGB32; the
// alpha channel is kept, so dots belong on opaque parts).
void DrawDots(QImage& image, const std::vector<Dot>& dots, const DotStyle& style);

}  // namespace art
