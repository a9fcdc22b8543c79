#pragma once
// The window is laid out in dialog units of MS Sans Serif 8, as the unit's
// own tools were: one unit is 6/4 = 1.5 pixels across and 13/8 = 1.625 down,
// rounded to the nearest pixel as the platform's MulDiv rounds.
#include <QPoint>
#include <QSize>

namespace geometry {

constexpr int MulDiv(int value, int num, int den) {
  const long long p = static_cast<long long>(value) * num;
  return static_cast<int>(p >= 0 ? (p + den / 2) / den : -((-p + den / 2) / den));
}
constexpr int DluToPxX(int x) { return MulDiv(x, 6, 4); }
constexpr int DluToPxY(int y) { return MulDiv(y, 13, 8); }
inline QPoint DluToPx(int x, int y) { return QPoint(DluToPxX(x), DluToPxY(y)); }

// Template 102: 190 x 200 units.
constexpr int kClientWidth = DluToPxX(190);   // 285
constexpr int kClientHeight = DluToPxY(200);  // 325

constexpr int kListY = 292;
constexpr int kPortListX = 0;
constexpr int kIntervalListX = 90;
constexpr int kBaudListX = 175;
constexpr int kListWidth = 75;
constexpr int kListHeight = 25;

constexpr int kCellX0 = 10;
constexpr int kCellY0 = 5;
constexpr int kRowPitch = 30;

}  // namespace geometry
