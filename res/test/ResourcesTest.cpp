// The picture table: every picture at its size, each numbered one unlike the
// others, unknown ones empty, the icon's images, and the pictures the
// program holds against the committed files.
#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "res/Catalog.h"
#include "res/Packed.h"
#include "res/Resources.h"

namespace {

// Numbered pictures differ from each other, so that none stands in for
// another (the arrow buttons share their pictures, so only raised and
// pressed are told apart there).
TEST(Resources, EveryPictureLoadsAtItsSizeUnlikeTheOthers) {
  const struct {
    const char* legend;
    int id;
    QSize size;
  } numbered[] = {
      {"icon", 128, {32, 32}},         {"background", 129, {240, 286}},   {"font strip", 130, {1320, 25}},
      {"About picture", 152, {32, 32}}, {"interval list", 153, {75, 200}}, {"port list", 156, {75, 200}},
      {"CONNECT red", 170, {25, 25}},   {"CONNECT green", 171, {25, 25}},  {"baud list", 190, {75, 200}},
  };
  for (const auto& c : numbered) {
    EXPECT_EQ(res::Load(c.id).size(), c.size) << c.legend << " (" << c.id << ")";
    for (const auto& other : numbered) {
      if (&other == &c) continue;
      EXPECT_NE(res::Load(c.id).toImage(), res::Load(other.id).toImage()) << c.legend << ", " << other.legend;
    }
  }

  // Every button raised (U) and pressed (D), the two different.
  const std::pair<const char*, int> buttons[] = {
      {"RECORD", 25}, {"STOP", 25}, {"SAVE", 25}, {"CONNECT", 25}, {"FLASH", 25}, {"PAGE", 25}, {"OK", 25},
      {"DISPLAY", 25}, {"UP", 16}, {"DOWN", 16}, {"IUP", 16}, {"IDOWN", 16}, {"BUP", 16}, {"BDOWN", 16}};
  for (const auto& [control, side] : buttons) {
    const QPixmap up = res::Load(std::string(control) + "U");
    const QPixmap down = res::Load(std::string(control) + "D");
    EXPECT_EQ(up.size(), QSize(side, side)) << control << "U";
    EXPECT_EQ(down.size(), QSize(side, side)) << control << "D";
    EXPECT_NE(up.toImage(), down.toImage()) << control << ": pressed looks raised";
  }
}

TEST(Resources, UnknownNumbersAndNamesGiveNothing) {
  for (const int id : {0, 131, -128}) EXPECT_TRUE(res::Load(id).isNull()) << "number " << id;
  for (const char* name : {"", "RECORD", "recordu", "record_u.png"}) {
    EXPECT_TRUE(res::Load(std::string(name)).isNull()) << "name \"" << name << "\"";
  }
}

// Icon 128 carries every image the catalog has of it, square, 16 and 32
// pixels among them; the program holds exactly the catalog.
TEST(Resources, TheIconAndTheBundle) {
  QList<QSize> images;
  for (const res::Picture& picture : res::kCatalog) {
    if (picture.id == res::kIcon) images << QImage(QStringLiteral(ORVANTA_PICTURE_DIR "/") + picture.file).size();
  }
  QList<QSize> sizes = res::Icon().availableSizes();
  const auto byWidth = [](QSize a, QSize b) { return a.width() < b.width(); };
  std::sort(images.begin(), images.end(), byWidth);
  std::sort(sizes.begin(), sizes.end(), byWidth);
  EXPECT_EQ(sizes, images);
  EXPECT_TRUE(images.contains(QSize(16, 16)) && images.contains(QSize(32, 32)));
  for (const QSize& size : images) EXPECT_EQ(size.width(), size.height());

  // The program holds every committed picture, pixel for pixel, and no other.
  std::set<std::string> catalog;
  for (const res::Picture& picture : res::kCatalog) catalog.insert(picture.file);
  std::set<std::string> packed;
  for (std::size_t i = 0; i < res::kPackedCount; ++i) {
    const res::PackedPicture& p = res::kPacked[i];
    packed.insert(p.file);
    const QImage held(reinterpret_cast<const uchar*>(p.pixels), p.width, p.height, p.width * 4,
                      p.alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    const QImage file = QImage(QStringLiteral(ORVANTA_PICTURE_DIR "/") + p.file).convertToFormat(held.format());
    EXPECT_TRUE(file == held) << p.file;
  }
  std::set<std::string> committed;
  for (const QString& file : QDir(QStringLiteral(ORVANTA_PICTURE_DIR)).entryList({"*.png"}, QDir::Files)) {
    committed.insert(file.toStdString());
  }
  EXPECT_EQ(packed, catalog);
  EXPECT_EQ(committed, catalog) << "every committed picture in the table, and no other";
}

}  // namespace

int main(int argc, char** argv) {
  // A pixmap needs a GUI application; no display is needed for these tests.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
