// Draws every picture of the program into one directory, under the file
// names of the resource catalog. The committed PNGs in res/png come from
// here (scripts/make-artwork.sh); the same program and Qt give the same bytes.
#include <QDir>
#include <QImage>
#include <QString>
#include <cstdio>
#include <functional>
#include <map>
#include <string>

#include "res/Catalog.h"
#include "res/tools/DotFont.h"
#include "res/tools/LcdArt.h"
#include "res/tools/PanelArt.h"

namespace {

using Draw = std::function<QImage()>;

std::map<std::string, Draw> Drawings() {
  std::map<std::string, Draw> drawings = {
      {"icon16.png", [] { return art::Icon(16); }},
      {"icon32.png", [] { return art::Icon(32); }},
      {"icon48.png", [] { return art::Icon(48); }},
      {"icon64.png", [] { return art::Icon(64); }},
      {"icon128.png", [] { return art::Icon(128); }},
      {"icon256.png", [] { return art::Icon(256); }},
      {"background.png", art::Background},
      {"font.png", art::FontStrip},
      {"about.png", art::AboutPicture},
      {"interval_list.png", art::IntervalList},
      {"port_list.png", art::PortList},
      {"baud_list.png", art::BaudList},
      {"connect_red.png", [] { return art::ConnectSign(false); }},
      {"connect_green.png", [] { return art::ConnectSign(true); }},
  };
  // Named button pictures: "<CONTROL>U" raised, "<CONTROL>D" pressed.
  for (const res::Picture& picture : res::kCatalog) {
    const std::string name = picture.name;
    if (name.empty()) continue;
    const std::string control = name.substr(0, name.size() - 1);
    const art::Look look = name.back() == 'D' ? art::Look::kPressed : art::Look::kRaised;
    drawings[picture.file] = [control, look] { return art::PanelButton(control, look); };
  }
  return drawings;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-artwork <output directory>\n");
    return 2;
  }
  const std::string fontProblem = art::CheckDotFont();
  if (!fontProblem.empty()) {
    std::fprintf(stderr, "make-artwork: %s\n", fontProblem.c_str());
    return 1;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  if (!out.exists() && !QDir().mkpath(out.path())) {
    std::fprintf(stderr, "make-artwork: cannot create %s\n", argv[1]);
    return 1;
  }
  const std::map<std::string, Draw> drawings = Drawings();
  int failures = 0;
  for (const res::Picture& picture : res::kCatalog) {
    const auto found = drawings.find(picture.file);
    const QImage image = found == drawings.end() ? QImage() : found->second();
    const QString path = out.filePath(QString::fromLatin1(picture.file));
    if (image.isNull() || !image.save(path, "PNG")) {
      std::fprintf(stderr, "make-artwork: cannot draw or write %s\n", picture.file);
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
