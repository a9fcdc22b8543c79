// The sentence decoder: finds in one received block the sentences that the
// current page asks for, in the page's order, and writes their rows.
//
// A sentence cut short is skipped whole. Every comma its rows need (and, for
// a transducer, the "*") must lie in the sentence's own line: before the CR
// or LF that ends it, before the "$" or "!" that starts a following sentence
// (characters that never occur inside one), and inside the block. Otherwise
// the sentence was cut by the block's end or lost its line end on the wire;
// following the commas into the next sentence would show that sentence's
// fields under this one's labels. A skipped sentence writes no row and no raw
// slot, but it keeps its place in the page's order: the search resumes just
// after its "$", as it would after a whole sentence. Were the position left
// where it was, every later slot with the same header would find the same
// cut sentence again, and one damaged transducer sentence would hide all the
// good ones behind it. Fixed-width windows (the transducer's label and value,
// the last characters of the raw text) are taken as received, up to the
// block's end.
#include <algorithm>
#include <array>
#include <iterator>
#include <string>

#include "common/SentenceHeaders.h"
#include "common/Text.h"
#include "display/DisplayModel.h"
#include "display/NumberText.h"

namespace orv {
namespace {

// ---- Fields -----------------------------------------------------------------

constexpr int kMostFields = 10;  // RMC's magnetic variation is the furthest field shown

// A header this close to the block's end is passed over: the sentence behind
// it has probably been cut off by the end of the block.
constexpr int kEndMargin = 32;

int FindIn(const std::string& block, char what, int from, int end) {
  const auto first = block.begin() + from;
  const auto last = block.begin() + end;
  const auto it = std::find(first, last, what);
  return it == last ? -1 : static_cast<int>(it - block.begin());
}

// Where the sentence that starts at `start` ends; see the top of this file.
int SentenceEnd(const std::string& block, int start) {
  const size_t end = block.find_first_of("\r\n$!", static_cast<size_t>(start) + 1);
  return end == std::string::npos ? static_cast<int>(block.size()) : static_cast<int>(end);
}

// One sentence in its block. comma[n] is the comma that ends field n; field 0
// is the header, so comma[0] is the header's own comma.
struct Sentence {
  const std::string& block;
  int start = 0;
  int end = 0;
  std::array<int, kMostFields + 1> comma{};

  // Locates the commas that end fields 1 to `last`; false when the sentence
  // ends first.
  bool FindCommas(int headerLength, int last) {
    comma[0] = start + headerLength - 1;
    for (int n = 1; n <= last; ++n) {
      comma[n] = FindIn(block, ',', comma[n - 1] + 1, end);
      if (comma[n] < 0) return false;
    }
    return true;
  }
  std::string Field(int n) const { return Mid(block, comma[n - 1] + 1, comma[n] - comma[n - 1] - 1); }
  // From the "$" through position `last`, as far as the block holds it.
  std::string RawThrough(int last) const { return Mid(block, start, last - start + 1); }
};

// ---- Fixed-layout sentences -------------------------------------------------

struct RowRule;
using ShowFn = void (*)(const Sentence&, const RowRule&, std::string& label, std::string& value);

// One display row: a fixed label (or, with labelField, a field as the label)
// and the field that gives the value, shown by `show`.
struct RowRule {
  int row;
  const char* label;
  int labelField;
  int valueField;
  ShowFn show;
};

// The field as received.
void ShowText(const Sentence& s, const RowRule& rule, std::string& label, std::string& value) {
  label = rule.label ? std::string(rule.label) : s.Field(rule.labelField);
  value = s.Field(rule.valueField);
}

// Water temperature in Celsius, shown in Fahrenheit as "%5.1f".
void ShowFahrenheit(const Sentence& s, const RowRule& rule, std::string& label, std::string& value) {
  label = rule.label;
  value = FixedText(LeadingNumber(s.Field(rule.valueField)) * 1.8 + 32.0, 1);
  if (value.size() < 5) value.insert(0, 5 - value.size(), ' ');
}

// A position number field, ddmm.mm (latitude) or dddmm.mm (longitude),
// followed by its hemisphere letter:
//   4916.45,N   ->  label "N 49.16"  value ".27   "
//   12311.12,W  ->  label "W123.11"  value ".07   "
// The label holds the hemisphere, the whole degrees right-aligned in three
// places, "." and the whole minutes; the value the seconds, not carried into
// the minutes (0.995 minutes shows .60). Without a "." where degrees of one
// to three digits would put it, the label is the hemisphere alone and the
// whole number, times 60, is the value.
void ShowPosition(const Sentence& s, const RowRule& rule, std::string& label, std::string& value) {
  const std::string number = s.Field(rule.valueField);
  label = Mid(s.block, s.comma[rule.valueField] + 1, 1);
  const int point = Find(number, '.');
  if (point >= 3 && point <= 5) {
    label += std::string(static_cast<size_t>(5 - point), ' ') + Left(number, point - 2) + "." +
             Mid(number, point - 2, 2);
  }
  std::string seconds = FixedText(LeadingNumber(Mid(number, std::max(point, 0))) * 60.0, 0);
  if (seconds.size() < 2) seconds.insert(0, 2 - seconds.size(), '0');
  value = "." + seconds + "   ";
}

// A layout: the header, the raw slot of its channel and the last field it
// reads; the raw text ends 4 characters after that field's comma (normally
// the last field, the "*" and the checksum) and the search resumes just
// after that comma.
struct Layout {
  const char* header;
  int rawSlot;
  int lastField;
  const RowRule* rows;
  size_t rowCount;
};

// $SDVLW,2354.92,N,2338.533,N*6E
//        total    trip
constexpr RowRule kVlwRows[] = {
    {0, "TOTAL   ", 0, 1, ShowText},
    {1, "TRIP    ", 0, 3, ShowText},
};

// $SDVHW,,T,303,M,06.99,N,12.61,K*70
//        true  magnetic  knots  km/h
constexpr RowRule kVhwRows[] = {
    {0, "HEAD T  ", 0, 1, ShowText},
    {1, "HEAD M  ", 0, 3, ShowText},
    {2, "SPEED N  ", 0, 5, ShowText},
    {3, "SPEED K  ", 0, 7, ShowText},
};

// $SDDBT,7.8,f,2.4,M,1.3,F*0D
//        feet  metres fathoms
constexpr RowRule kDbtRows[] = {
    {4, "Depth f  ", 0, 1, ShowText},
    {5, "Depth M  ", 0, 3, ShowText},
    {6, "Depth F  ", 0, 5, ShowText},
};

// $SDMTW,12.5,C*02
//        Celsius; the label's degree sign (0xB0) has no glyph
constexpr RowRule kMtwRows[] = {
    {7, "Temp\xB0" "F   ", 0, 1, ShowFahrenheit},
};

// $GPRMC,123519.00,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*44
//        UTC         lat      N/S lon      E/W speed track date   magnetic
constexpr RowRule kRmcRows[] = {
    {0, "UTC  ", 0, 1, ShowText},
    {1, nullptr, 4, 3, ShowText},
    {2, nullptr, 6, 5, ShowText},
    {3, "SPEED ", 0, 7, ShowText},
    {4, "TRACK ", 0, 8, ShowText},
    {5, "MAGNET", 0, 10, ShowText},
};

// $GPGLL,4916.45,N,12311.12,W,225444,A*31
//        lat       lon        UTC
constexpr RowRule kGllRows[] = {
    {0, nullptr, 0, 1, ShowPosition},
    {1, nullptr, 0, 3, ShowPosition},
    {2, "TIME    ", 0, 5, ShowText},
};

constexpr Layout kLayouts[] = {
    {HeaderOf(SentenceType::Vlw), 1, 3, kVlwRows, std::size(kVlwRows)},
    {HeaderOf(SentenceType::Vhw), 3, 7, kVhwRows, std::size(kVhwRows)},
    {HeaderOf(SentenceType::Dbt), 6, 5, kDbtRows, std::size(kDbtRows)},
    {HeaderOf(SentenceType::Mtw), 7, 1, kMtwRows, std::size(kMtwRows)},
    {HeaderOf(SentenceType::Rmc), 5, 10, kRmcRows, std::size(kRmcRows)},
    {HeaderOf(SentenceType::Gll), 2, 5, kGllRows, std::size(kGllRows)},
};

const Layout* LayoutOf(const std::string& header) {
  for (const Layout& layout : kLayouts) {
    if (header == layout.header) return &layout;
  }
  return nullptr;
}

void DecodeFixed(DisplayModel& model, const Layout& layout, const std::string& block, int start,
                 int& searchFrom) {
  Sentence s{block, start, SentenceEnd(block, start), {}};
  if (!s.FindCommas(static_cast<int>(std::char_traits<char>::length(layout.header)), layout.lastField)) {
    searchFrom = start + 1;
    return;
  }
  for (size_t i = 0; i < layout.rowCount; ++i) {
    const RowRule& rule = layout.rows[i];
    rule.show(s, rule, model.m_strRowLabel, model.m_strRowValue);
    model.WriteRow(rule.row);
  }
  const int lastComma = s.comma[layout.lastField];
  model.m_strSlotSentence[layout.rawSlot] = s.RawThrough(lastComma + 4);
  searchFrom = lastComma + 1;
}

// ---- Transducer sentences ---------------------------------------------------

// $IIXDR,C,0071.5,C,ENGTMP3*65
//        type,measurement,unit,name; the name's last character is the
//        transducer's index in hex (0 to F), and the index picks the row
//        and the raw slot.
constexpr const char* kTransducerHeader = HeaderOf(SentenceType::Xdr);
constexpr int kTransducerLabel = 7;
constexpr int kTransducerValue = 6;
constexpr int kRowsOfFirstType = 9;  // type 0 shows indexes 0 to 8, type 1 indexes 9 to 15

void DecodeTransducer(DisplayModel& model, const std::string& block, int start, int& searchFrom) {
  Sentence s{block, start, SentenceEnd(block, start), {}};
  const int star = s.FindCommas(static_cast<int>(std::char_traits<char>::length(kTransducerHeader)), 3)
                       ? FindIn(block, '*', s.comma[3] + 1, s.end)
                       : -1;
  if (star < 0) {
    searchFrom = start + 1;
    return;
  }

  const int index = HexDigitValue(static_cast<unsigned char>(block[static_cast<size_t>(star) - 1]));
  // Fixed windows: a short measurement brings its comma and the unit letter
  // into the value, a short name its "*" and checksum into the label.
  model.m_strRowLabel = Mid(block, s.comma[3] + 1, kTransducerLabel);
  model.m_strRowValue = Mid(block, s.comma[1] + 1, kTransducerValue);
  model.m_strSlotSentence[index] = s.RawThrough(star + 3);
  searchFrom = star;

  if (model.m_nDisplayType == 0 && index < kRowsOfFirstType) model.WriteRow(index);
  if (model.m_nDisplayType == 1 && index >= kRowsOfFirstType) model.WriteRow(index - kRowsOfFirstType);
}

// A key's header is its text up to and including its first comma.
std::string HeaderOf(const std::string& key) {
  const size_t comma = key.find(',');
  return comma == std::string::npos ? std::string() : key.substr(0, comma + 1);
}

}  // namespace

bool DisplayModel::DecodeBlock(std::string block) {
  block.resize(std::min(block.size(), block.find('\0')));
  if (m_nDisplayType < 0 || m_nDisplayType >= kPages) return true;

  constexpr int kVisitedSlots = 8;
  const int length = static_cast<int>(block.size());
  int searchFrom = 0;
  for (int slot = 0; slot < kVisitedSlots; ++slot) {
    const std::string& key = m_strSlotKey[m_nDisplayType][slot];
    if (key.empty()) {
      m_strSlotSentence[0].clear();
      continue;
    }
    const std::string header = HeaderOf(key);
    const int start = Find(block, header, searchFrom);
    if (start < 0 || start + kEndMargin >= length) continue;

    if (header == kTransducerHeader) {
      DecodeTransducer(*this, block, start, searchFrom);
    } else if (const Layout* layout = LayoutOf(header)) {
      DecodeFixed(*this, *layout, block, start, searchFrom);
    } else {
      // A page that names a sentence nobody decodes ends the pass.
      m_strSlotSentence[0].clear();
      break;
    }
  }
  return true;
}

}  // namespace orv
