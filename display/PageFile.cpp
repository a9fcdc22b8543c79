#include "display/PageFile.h"

#include "common/LineReader.h"
#include "common/Text.h"

namespace orv {

namespace {

constexpr const char* kFirstSlotKey = "#00::";

}  // namespace

// [Engine]1,2,3,4,
//   -> name "Engine", slots "#00::", "#01::", "#02::", "#03::", "#04::".
// Markers are taken two characters at a time for as long as a comma remains
// anywhere in the text, so a malformed "12,34," gives #01::, #0,:: and #04::.
void ApplyPageLine(DisplayModel& model, int page, const std::string& line) {
  if (page < 0 || page >= kPages) return;
  std::string rest = line;
  if (Find(rest, '[') >= 0) {
    const int close = Find(rest, ']');
    if (close >= 0) {
      model.m_strPageName[page] = Mid(rest, 1, close > 1 ? close - 1 : 0);
      rest = Mid(rest, close + 1);
    } else {
      model.m_strPageName[page].clear();
    }
  }
  std::string* slots = model.m_strSlotKey[page];
  slots[0] = kFirstSlotKey;
  int j = 1;
  for (int turn = 0; turn < kSlots - 1; ++turn) {
    if (Find(rest, ',') < 0) continue;
    slots[j++] = std::string("#0") + rest[0] + "::";
    rest = Mid(rest, 2);
  }
}

// Reading stops after the fourth line. Later lines have no page to fill,
// and a file that runs on past its pages (a stray or wrong file under the
// same name) should neither be read to its end at start-up nor be able to
// raise a read error about text that would be dropped anyway.
int ApplyPageText(DisplayModel& model, const std::string& text) {
  size_t pos = 0;
  std::string line;
  int page = 0;
  while (page < kPages && NextLine(text, pos, line) == LineStatus::Line) {
    ApplyPageLine(model, page++, line);
  }
  return page;
}

}  // namespace orv
