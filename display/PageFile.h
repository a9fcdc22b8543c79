#pragma once
// The page file "Quorvel_Page_File.txt": one line per display page, an
// optional [name] then single-character markers each followed by a comma.
#include <string>

#include "display/DisplayModel.h"

namespace orv {

constexpr const char* kPageFileName = "Quorvel_Page_File.txt";

// Applies one line (as read, at most 59 characters) to page `page`.
// Pages outside 0..3 are left alone.
void ApplyPageLine(DisplayModel& model, int page, const std::string& line);

// Applies a whole file's text, line after line, the way the loader reads it;
// reading stops after the fourth line. Returns the number of lines applied
// to a page.
int ApplyPageText(DisplayModel& model, const std::string& text);

}  // namespace orv
