#include "res/Resources.h"

#include "res/Catalog.h"

namespace res {
namespace {

QString PathOfFile(const char* file) { return QStringLiteral(":/res/") + QString::fromLatin1(file); }

}  // namespace

QString PathOf(int id) {
  if (id == 0) return {};
  for (const Picture& picture : kCatalog) {
    if (picture.id == id) return PathOfFile(picture.file);
  }
  return {};
}

QString PathOf(const std::string& name) {
  if (name.empty()) return {};
  for (const Picture& picture : kCatalog) {
    if (name == picture.name) return PathOfFile(picture.file);
  }
  return {};
}

// A missing picture gives a null pixmap, as a failed bitmap load does: the
// callers go on without it.
QPixmap Load(int id) {
  const QString path = PathOf(id);
  return path.isEmpty() ? QPixmap() : QPixmap(path);
}

QPixmap Load(const std::string& name) {
  const QString path = PathOf(name);
  return path.isEmpty() ? QPixmap() : QPixmap(path);
}

QIcon Icon() {
  QIcon icon;
  for (const Picture& picture : kCatalog) {
    if (picture.id == kIcon) icon.addFile(PathOfFile(picture.file));
  }
  return icon;
}

}  // namespace res
