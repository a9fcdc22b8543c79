#include "app/IniText.h"

#include <algorithm>

namespace orv::ini {
namespace {

std::string Trim(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t\r");
  if (first == std::string::npos) return std::string();
  return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

struct Line {
  std::string text;   // as in the file, without its line feed
  std::string group;  // the group it belongs to
  bool header = false;
  bool isKey = false;
  std::string key, value;
};

std::vector<Line> Parse(const std::string& text) {
  std::vector<Line> lines;
  std::string group = kTopLevel;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find('\n', start);
    Line line;
    line.text = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    const std::string trimmed = Trim(line.text);
    const size_t close = trimmed.find(']');
    const size_t eq = trimmed.find('=');
    if (!trimmed.empty() && trimmed[0] == '[' && close != std::string::npos) {
      line.header = true;
      group = trimmed.substr(1, close - 1);
    } else if (eq != std::string::npos) {
      // A comment with a '=' in it reads as a key that starts with ';' or
      // '#', which no one asks for.
      line.isKey = true;
      line.key = Trim(trimmed.substr(0, eq));
      line.value = Trim(trimmed.substr(eq + 1));
    }
    line.group = group;
    lines.push_back(std::move(line));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

}  // namespace

std::optional<std::string> Value(const std::string& text, const std::string& group, const std::string& key) {
  std::optional<std::string> found;
  for (const Line& line : Parse(text)) {
    if (line.isKey && line.group == group && line.key == key) found = line.value;
  }
  return found;
}

std::string WithValues(const std::string& text, const std::string& group,
                       const std::vector<std::pair<std::string, std::string>>& values) {
  std::vector<Line> lines = Parse(text);
  std::vector<std::string> missing;
  size_t last = lines.size();  // the group's last header or key line
  for (const auto& [key, value] : values) {
    bool set = false;
    for (Line& line : lines) {
      if (line.isKey && line.group == group && line.key == key) {
        line.text = key + "=" + value;
        set = true;
      }
    }
    if (!set) missing.push_back(key + "=" + value);
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].group == group && (lines[i].header || lines[i].isKey)) last = i;
  }

  std::vector<std::string> out;
  for (const Line& line : lines) out.push_back(line.text);
  if (!missing.empty()) {
    if (last < lines.size()) {
      out.insert(out.begin() + static_cast<long>(last) + 1, missing.begin(), missing.end());
    } else {
      const bool empty = text.empty();
      std::vector<std::string> section;
      if (!empty && group != kTopLevel) section.push_back("");
      section.push_back("[" + group + "]");
      section.insert(section.end(), missing.begin(), missing.end());
      if (!empty && group == kTopLevel) section.push_back("");
      // The file's last line feed stays last: new lines go before the
      // empty piece after it.
      const auto at = group == kTopLevel ? out.begin() : out.back().empty() ? out.end() - 1 : out.end();
      if (group != kTopLevel && !out.back().empty()) section.push_back("");
      out.insert(at, section.begin(), section.end());
    }
  }
  std::string result;
  for (size_t i = 0; i < out.size(); ++i) {
    if (i > 0) result += '\n';
    result += out[i];
  }
  return result;
}

}  // namespace orv::ini
