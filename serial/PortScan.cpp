#include "serial/PortScan.h"

#include <cctype>

namespace orv::serial {
namespace {

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

bool EndsWithInterface(const std::string& s, size_t at) {
  // "-if00" optionally followed by "-port0"
  if (s.compare(at, 3, "-if") != 0 || at + 5 > s.size() || !IsDigit(s[at + 3]) || !IsDigit(s[at + 4])) return false;
  const std::string rest = s.substr(at + 5);
  if (rest.empty()) return true;
  if (rest.compare(0, 5, "-port") != 0 || rest.size() == 5) return false;
  for (size_t i = 5; i < rest.size(); ++i) {
    if (!IsDigit(rest[i])) return false;
  }
  return true;
}

}  // namespace

std::string UsbNameOf(const std::string& byIdName) {
  std::string name = byIdName;
  if (name.compare(0, 4, "usb-") == 0) name.erase(0, 4);
  const size_t dash = name.rfind("-if");
  if (dash != std::string::npos && EndsWithInterface(name, dash)) name.erase(dash);
  for (char& c : name) {
    if (c == '_') c = ' ';
  }
  return name;
}

bool NaturalLess(const std::string& a, const std::string& b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      size_t ie = i, je = j;
      while (ie < a.size() && IsDigit(a[ie])) ++ie;
      while (je < b.size() && IsDigit(b[je])) ++je;
      // Without leading zeros, the longer number is the larger.
      const std::string x = a.substr(i, ie - i), y = b.substr(j, je - j);
      const size_t xs = x.find_first_not_of('0'), ys = y.find_first_not_of('0');
      const std::string xn = xs == std::string::npos ? "" : x.substr(xs);
      const std::string yn = ys == std::string::npos ? "" : y.substr(ys);
      if (xn.size() != yn.size()) return xn.size() < yn.size();
      if (xn != yn) return xn < yn;
      i = ie;
      j = je;
      continue;
    }
    if (a[i] != b[j]) return a[i] < b[j];
    ++i;
    ++j;
  }
  return a.size() - i < b.size() - j;
}

}  // namespace orv::serial
