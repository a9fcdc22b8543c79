#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <set>
#include <string>

#include "res/Catalog.h"
#include "res/Resources.h"

namespace {

struct NumberedCase {
  const char* legend;
  int id;
  int width;
  int height;
};

const NumberedCase kNumbered[] = {
    {"icon", 128, 32, 32},           {"background", 129, 240, 286},     {"font strip", 130, 1320, 25},
    {"About picture", 152, 32, 32},  {"interval list", 153, 75, 200},   {"port list", 156, 75, 200},
    {"CONNECT red", 170, 25, 25},    {"CONNECT green", 171, 25, 25},    {"baud list", 190, 75, 200},
};

struct ControlCase {
  const char* control;
  int size;
};

const ControlCase kControls[] = {
    {"RECORD", 25}, {"STOP", 25}, {"SAVE", 25}, {"CONNECT", 25}, {"FLASH", 25}, {"PAGE", 25}, {"OK", 25},
    {"DISPLAY", 25}, {"UP", 16}, {"DOWN", 16}, {"IUP", 16}, {"IDOWN", 16}, {"BUP", 16}, {"BDOWN", 16},
};

QImage Picture(int id) { return res::Load(id).toImage().convertToFormat(QImage::Format_RGB32); }

bool Lit(QRgb p) { return qGreen(p) > 120 && qBlue(p) > 120; }

// Lit pixels in a rectangle of an image.
int LitCount(const QImage& image, const QRect& area) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) count += Lit(image.pixel(x, y)) ? 1 : 0;
  }
  return count;
}

int Brightest(const QImage& image, const QRect& area) {
  int most = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb p = image.pixel(x, y);
      most = std::max({most, qRed(p), qGreen(p), qBlue(p)});
    }
  }
  return most;
}

QRect Glyph(int n) { return QRect(20 * n, 0, 20, 25); }
QRect Band(int i) { return QRect(0, 25 * i, 75, 25); }

TEST(Resources, NumberedPicturesLoadAtTheirSize) {
  for (const NumberedCase& c : kNumbered) {
    const QPixmap pixmap = res::Load(c.id);
    EXPECT_EQ(pixmap.size(), QSize(c.width, c.height)) << c.legend << " (" << c.id << ")";
  }
}

TEST(Resources, ButtonPicturesLoadAtTheirSize) {
  for (const ControlCase& c : kControls) {
    for (const char* suffix : {"U", "D"}) {
      const std::string name = std::string(c.control) + suffix;
      EXPECT_EQ(res::Load(name).size(), QSize(c.size, c.size)) << name;
    }
  }
}

TEST(Resources, PressedDiffersFromRaised) {
  for (const ControlCase& c : kControls) {
    const QImage up = res::Load(std::string(c.control) + "U").toImage();
    const QImage down = res::Load(std::string(c.control) + "D").toImage();
    EXPECT_NE(up, down) << c.control;
  }
}

TEST(Resources, UnknownNumbersAndNamesGiveNothing) {
  struct Case {
    const char* legend;
    int id;
    const char* name;
  };
  const Case cases[] = {
      {"number 0", 0, nullptr},          {"number 131", 131, nullptr},       {"number -128", -128, nullptr},
      {"empty name", 0, ""},             {"control without suffix", 0, "RECORD"}, {"lower case", 0, "recordu"},
      {"file name", 0, "record_u.png"},
  };
  for (const Case& c : cases) {
    if (c.name == nullptr) {
      EXPECT_TRUE(res::PathOf(c.id).isEmpty()) << c.legend;
      EXPECT_TRUE(res::Load(c.id).isNull()) << c.legend;
    } else {
      EXPECT_TRUE(res::PathOf(std::string(c.name)).isEmpty()) << c.legend;
      EXPECT_TRUE(res::Load(std::string(c.name)).isNull()) << c.legend;
    }
  }
}

TEST(Resources, IconHasBothImages) {
  const QList<QSize> sizes = res::Icon().availableSizes();
  EXPECT_TRUE(sizes.contains(QSize(32, 32)));
  EXPECT_TRUE(sizes.contains(QSize(16, 16)));
}

TEST(Resources, BundleHoldsExactlyTheCatalog) {
  std::set<std::string> catalog;
  for (const res::Picture& picture : res::kCatalog) catalog.insert(picture.file);
  std::set<std::string> bundled;
  for (const QString& file : QDir(QStringLiteral(":/res")).entryList(QDir::Files)) bundled.insert(file.toStdString());
  EXPECT_EQ(bundled, catalog);
}

// A cleared cell is a dark bar: the blanks show only unlit dots.
TEST(FontStrip, BlanksAreDarkAndEveryOtherGlyphIsLit) {
  const QImage font = Picture(res::kFont);
  ASSERT_EQ(font.size(), QSize(1320, 25));
  for (int n = 0; n < 66; ++n) {
    if (n == 0 || n == 12) {
      EXPECT_EQ(LitCount(font, Glyph(n)), 0) << "blank glyph " << n;
      EXPECT_LT(Brightest(font, Glyph(n)), 48) << "blank glyph " << n;
    } else {
      EXPECT_GT(LitCount(font, Glyph(n)), 10) << "glyph " << n;
    }
  }
  EXPECT_EQ(font.copy(Glyph(0)), font.copy(Glyph(12)));
}

// The decoder writes these glyphs by number: each must sit where its
// shape says it is.
TEST(FontStrip, PunctuationSitsAtItsNumber) {
  struct Case {
    const char* legend;
    int glyph;
    int firstLitRow;
    int lastLitRow;
  };
  const Case cases[] = {{"'.' (11)", 11, 16, 21}, {"'-' (13)", 13, 9, 13}};
  const QImage font = Picture(res::kFont);
  for (const Case& c : cases) {
    const QRect cell = Glyph(c.glyph);
    EXPECT_GT(LitCount(font, cell), 0) << c.legend;
    EXPECT_EQ(LitCount(font, QRect(cell.left(), 0, 20, c.firstLitRow)), 0) << c.legend << " lit above its place";
    EXPECT_EQ(LitCount(font, QRect(cell.left(), c.lastLitRow + 1, 20, 24 - c.lastLitRow)), 0)
        << c.legend << " lit below its place";
  }
}

// The cells of a row touch, so nothing lit may reach a glyph's edge columns.
TEST(FontStrip, GlyphsKeepClearOfTheirNeighbours) {
  const QImage font = Picture(res::kFont);
  for (int n = 0; n < 66; ++n) {
    EXPECT_EQ(LitCount(font, QRect(20 * n, 0, 1, 25)), 0) << "left edge of glyph " << n;
    EXPECT_EQ(LitCount(font, QRect(20 * n + 19, 0, 1, 25)), 0) << "right edge of glyph " << n;
  }
}

TEST(FontStrip, NoTwoGlyphsLookAlike) {
  const QImage font = Picture(res::kFont);
  for (int a = 1; a < 66; ++a) {
    if (a == 12) continue;
    for (int b = a + 1; b < 66; ++b) {
      if (b == 12) continue;
      EXPECT_NE(font.copy(Glyph(a)), font.copy(Glyph(b))) << "glyphs " << a << " and " << b;
    }
  }
}

struct ListCase {
  const char* legend;
  int id;
  bool rightAligned;
};

const ListCase kLists[] = {
    {"port list", res::kPortList, false},
    {"interval list", res::kIntervalList, true},
    {"baud list", res::kBaudList, true},
};

TEST(ListPictures, EveryBandIsLitAndDiffersFromTheOthers) {
  for (const ListCase& c : kLists) {
    const QImage list = Picture(c.id);
    ASSERT_EQ(list.size(), QSize(75, 200)) << c.legend;
    for (int i = 0; i < 8; ++i) {
      EXPECT_GT(LitCount(list, Band(i)), 20) << c.legend << " band " << i;
      for (int j = i + 1; j < 8; ++j) EXPECT_NE(list.copy(Band(i)), list.copy(Band(j))) << c.legend << " bands " << i << ", " << j;
    }
  }
}

// The panel copies one 25-pixel band at a time: nothing lit on a band's
// first or last row, and the text at the side the list is aligned to.
TEST(ListPictures, TextStaysInItsBandAndOnItsSide) {
  for (const ListCase& c : kLists) {
    const QImage list = Picture(c.id);
    for (int i = 0; i < 8; ++i) {
      EXPECT_EQ(LitCount(list, QRect(0, 25 * i, 75, 1)), 0) << c.legend << " top of band " << i;
      EXPECT_EQ(LitCount(list, QRect(0, 25 * i + 24, 75, 1)), 0) << c.legend << " bottom of band " << i;
      const QRect outer = c.rightAligned ? QRect(62, 25 * i, 13, 25) : QRect(0, 25 * i, 13, 25);
      EXPECT_GT(LitCount(list, outer), 0) << c.legend << " band " << i << " is not aligned";
    }
  }
}

TEST(ConnectPictures, RedAndGreen) {
  struct Case {
    const char* legend;
    int id;
    bool green;
  };
  for (const Case& c : {Case{"170", res::kConnectRed, false}, Case{"171", res::kConnectGreen, true}}) {
    const QImage sign = Picture(c.id);
    long red = 0;
    long green = 0;
    for (int y = 0; y < sign.height(); ++y) {
      for (int x = 0; x < sign.width(); ++x) {
        red += qRed(sign.pixel(x, y));
        green += qGreen(sign.pixel(x, y));
      }
    }
    EXPECT_EQ(green > red, c.green) << c.legend << ": red " << red << ", green " << green;
  }
}

}  // namespace

int main(int argc, char** argv) {
  // A pixmap needs a GUI application; no display is needed for these tests.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
