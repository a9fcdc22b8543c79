// pack-pictures OUT.cpp PICTURE.png...
//
// Decodes the program's pictures at build time into a C++ source of
// pixels, so that the program draws straight from its own image: loading a
// picture then costs no decoding, no image plugin and no copy.
#include <QFileInfo>
#include <QImage>
#include <QString>
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: pack-pictures OUT.cpp PICTURE.png...\n");
    return 2;
  }
  const std::string outPath = argv[1];
  const std::string temporary = outPath + ".part";
  std::FILE* out = std::fopen(temporary.c_str(), "w");
  if (!out) {
    std::perror(temporary.c_str());
    return 1;
  }
  std::fprintf(out, "// Made by pack-pictures from res/png; not to be edited.\n#include \"res/Packed.h\"\n\n"
                    "namespace res {\nnamespace {\n\n");
  std::string table;
  for (int i = 2; i < argc; ++i) {
    const QString path = QString::fromLocal8Bit(argv[i]);
    QImage image(path, "png");
    if (image.isNull()) {
      std::fprintf(stderr, "pack-pictures: cannot read %s\n", argv[i]);
      std::fclose(out);
      std::remove(temporary.c_str());
      return 1;
    }
    // The formats a raster pixmap is kept in, so that the pixmap can share
    // the pixels as they are.
    const bool alpha = image.hasAlphaChannel();
    image = image.convertToFormat(alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    std::fprintf(out, "alignas(16) const std::uint32_t kPixels%d[] = {", i);
    for (int y = 0; y < image.height(); ++y) {
      const auto* line = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
      std::fprintf(out, "\n");
      for (int x = 0; x < image.width(); ++x) std::fprintf(out, "0x%08xu,", line[x]);
    }
    std::fprintf(out, "\n};\n\n");
    table += "    {\"" + QFileInfo(path).fileName().toStdString() + "\", " + std::to_string(image.width()) + ", " +
             std::to_string(image.height()) + ", " + (alpha ? "true" : "false") + ", kPixels" + std::to_string(i) +
             "},\n";
  }
  std::fprintf(out, "}  // namespace\n\nconst PackedPicture kPacked[] = {\n%s};\n"
                    "const std::size_t kPackedCount = sizeof kPacked / sizeof kPacked[0];\n\n}  // namespace res\n",
               table.c_str());
  if (std::fclose(out) != 0 || std::rename(temporary.c_str(), outPath.c_str()) != 0) {
    std::perror(outPath.c_str());
    return 1;
  }
  return 0;
}
