#include "app/AboutDlg.h"

#include <QLabel>
#include <QPushButton>

#include "app/Geometry.h"
#include "app/Legend.h"
#include "res/Resources.h"

namespace {

// Template 100, in dialog units: each legend entry is a picture of the
// button and the text beside it.
struct LegendEntry {
  const char* picture;
  int px, py;
  const char* text;
  int tx, ty, tw, th;
};

const LegendEntry kLegend[] = {
    {"CONNECTD", 7, 47, legend::kConnect, 33, 45, 88, 36},
    {"RECORDU", 7, 88, legend::kRecord, 34, 85, 84, 33},
    {"SAVEU", 7, 126, legend::kSave, 35, 124, 79, 48},
    {"PAGEU", 137, 44, legend::kScroll, 162, 41, 97, 35},
    {"STOPU", 135, 85, legend::kSelect, 160, 84, 90, 35},
    {"FLASHU", 137, 122, legend::kFlash, 161, 121, 98, 30},
    {"DISPLAYU", 136, 158, legend::kDisplay, 159, 157, 93, 38},
};

QRect DluRect(int x, int y, int w, int h) {
  using namespace geometry;
  const int left = DluToPxX(x), top = DluToPxY(y);
  return QRect(left, top, DluToPxX(x + w) - left, DluToPxY(y + h) - top);
}

// A picture control takes the size of its picture.
QLabel* Picture(QWidget* parent, const QPixmap& pixmap, int x, int y) {
  auto* label = new QLabel(parent);
  label->setPixmap(pixmap);
  label->setGeometry(QRect(DluRect(x, y, 15, 13).topLeft(), pixmap.isNull() ? DluRect(0, 0, 15, 13).size() : pixmap.size()));
  return label;
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle("About Orvanta");
  // The template's boxes are measured for an 8-point dialog font, about
  // 11 pixels a line.
  QFont small = font();
  small.setPixelSize(10);
  setFont(small);
  setFixedSize(geometry::DluToPxX(266), geometry::DluToPxY(209));

  Picture(this, res::Load(res::kAboutPicture), 7, 7)->setObjectName("picture152");

  auto* version = new QLabel("Quorvel 1.42", this);
  version->setTextFormat(Qt::PlainText);
  version->setGeometry(DluRect(36, 7, 92, 8));

  auto* ok = new QPushButton("OK", this);
  ok->setGeometry(DluRect(209, 7, 50, 14));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  for (const LegendEntry& entry : kLegend) {
    Picture(this, res::Load(entry.picture), entry.px, entry.py)->setObjectName(entry.picture);
    auto* text = new QLabel(QString::fromLatin1(entry.text), this);
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setGeometry(DluRect(entry.tx, entry.ty, entry.tw, entry.th));
  }
}
