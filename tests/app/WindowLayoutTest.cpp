// The window as a person sees it, grabbed offscreen: list windows and
// buttons at the pixel positions the layout gives.
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include "WindowFixture.h"
#include "res/Resources.h"

namespace {

// True when the part of `shot` at `at` equals `source` of `picture` pixel for pixel.
bool SameAt(const QImage& shot, QPoint at, const QImage& picture, QRect source) {
  return picture.copy(source).convertToFormat(QImage::Format_RGB32) ==
         shot.copy(QRect(at, source.size())).convertToFormat(QImage::Format_RGB32);
}

TEST(WindowLayout, ListsAndButtonsWhereTheLayoutPutsThem) {
  WindowFixture w;
  EXPECT_EQ(w.dlg->size(), QSize(285, 325)) << "the client area of the template";
  const QImage shot = w.dlg->grab().toImage();

  // COM 8 (index 7), 2 SEC (index 1), 4800 (index 1). The arrow buttons
  // overlap the edges of the interval and baud windows by a few pixels.
  EXPECT_TRUE(SameAt(shot, {0, 292}, res::Load(res::kPortList).toImage(), QRect(0, 175, 75, 25)));
  EXPECT_TRUE(SameAt(shot, {91, 292}, res::Load(res::kIntervalList).toImage(), QRect(1, 25, 71, 25)));
  EXPECT_TRUE(SameAt(shot, {178, 292}, res::Load(res::kBaudList).toImage(), QRect(3, 25, 72, 25)));

  struct Placed {
    int id;
    QPoint at;
  };
  const Placed buttons[] = {{1004, {243, 8}},  {1005, {243, 49}},  {1007, {243, 89}},  {1006, {243, 130}},
                            {1003, {243, 171}}, {1002, {243, 211}}, {1024, {245, 254}}, {1015, {75, 293}},
                            {1016, {75, 309}},  {1018, {162, 293}}, {1017, {162, 309}}, {1028, {257, 293}},
                            {1029, {257, 309}}};
  for (const Placed& b : buttons) {
    CBitmapButton* button = w.dlg->Button(b.id);
    EXPECT_EQ(button->pos(), b.at) << button->text().toStdString();
    const QImage picture = button->NormalPicture().toImage();
    EXPECT_TRUE(SameAt(shot, b.at, picture, picture.rect())) << button->text().toStdString();
  }
}

}  // namespace
