#include "res/Resources.h"

#include <cstring>

#include "res/Catalog.h"
#include "res/Packed.h"

namespace res {
namespace {

const PackedPicture* Packed(const char* file) {
  for (std::size_t i = 0; i < kPackedCount; ++i) {
    if (std::strcmp(kPacked[i].file, file) == 0) return &kPacked[i];
  }
  return nullptr;
}

// The pixmap shares the pixels where they lie in the program's image: no
// decoding and no copy at start-up. A missing picture gives a null pixmap,
// as a failed bitmap load does: the callers go on without it.
QPixmap FromPacked(const PackedPicture* picture) {
  if (!picture) return QPixmap();
  const QImage image(reinterpret_cast<const uchar*>(picture->pixels), picture->width, picture->height,
                     picture->width * 4, picture->alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
  return QPixmap::fromImage(image);
}

const char* FileOf(int id) {
  if (id == 0) return nullptr;
  for (const Picture& picture : kCatalog) {
    if (picture.id == id) return picture.file;
  }
  return nullptr;
}

const char* FileOf(const std::string& name) {
  if (name.empty()) return nullptr;
  for (const Picture& picture : kCatalog) {
    if (name == picture.name) return picture.file;
  }
  return nullptr;
}

QPixmap LoadFile(const char* file) { return file ? FromPacked(Packed(file)) : QPixmap(); }

}  // namespace

QPixmap Load(int id) { return LoadFile(FileOf(id)); }

QPixmap Load(const std::string& name) { return LoadFile(FileOf(name)); }

QIcon Icon() {
  QIcon icon;
  for (const Picture& picture : kCatalog) {
    if (picture.id == kIcon) icon.addPixmap(LoadFile(picture.file));
  }
  return icon;
}

}  // namespace res
