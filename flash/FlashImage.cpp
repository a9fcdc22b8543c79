#include "flash/FlashImage.h"

#include <algorithm>
#include <cctype>

#include "common/HexRecord.h"
#include "common/LineReader.h"
#include "common/Text.h"
#include "flash/Messages.h"

namespace orv::flash {
namespace {

constexpr char kTableTag[] = "[TABLE]";
constexpr char kIntelHexTag[] = "[INTELHEX]";
constexpr char kOcdTag[] = "[ZTQFLASH]";
constexpr int kIntelHexPagesAt = 10;  // directly after the tag when it opens the line
constexpr int kMemoryEnd = 0x10000;
constexpr int kMaxTableWidth = 15;    // 4N + 13 must fit the loader's 74-character record
constexpr int kAddressAt = 3;         // ":" LL AAAA TT data CC

enum RecordType { kData = 0, kEnd = 1, kSegment = 2, kStartSegment = 3, kLinear = 4, kStartLinear = 5 };

// A position past the end of the line reads as a zero byte.
unsigned char CharAt(const std::string& line, size_t pos) {
  return pos < line.size() ? static_cast<unsigned char>(line[pos]) : 0;
}

bool EndsLine(const std::string& piece) { return !piece.empty() && piece.back() == '\n'; }

bool IsBlank(const std::string& line) { return line.find_first_not_of(" \t\r\n") == std::string::npos; }

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// Four hex digits of either case as a number; -1 when they are not.
int HexWord(const std::string& text) {
  if (text.size() != 4) return -1;
  int value = 0;
  for (const char c : text) {
    if (HexDigit(c) < 0) return -1;
    value = value * 16 + HexDigit(c);
  }
  return value;
}

// Decimal as the header fields have always been read: leading blanks
// skipped, digits up to the first other character, none gives 0. Capped
// well past any sane value so that a run of digits cannot overflow.
int ReadDecimal(const std::string& text) {
  size_t pos = text.find_first_not_of(" \t\r\n\v\f");
  long long value = 0;
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
    if (value < 100000000) value = value * 10 + (text[pos] - '0');
  }
  return static_cast<int>(value);
}

FlashStep Problem(std::string what) {
  FlashStep step;
  step.problem = std::move(what);
  return step;
}

std::string RecordProblem(HexRecordError error, size_t badAt, const HexRecord& record) {
  switch (error) {
    case HexRecordError::None: break;
    case HexRecordError::NoStart: return msg::kNotRecord;
    case HexRecordError::BadDigit: return Format(msg::kBadDigit, static_cast<int>(badAt) + 1);
    case HexRecordError::BadLength: return msg::kRecordLength;
    case HexRecordError::BadChecksum: {
      int sum = static_cast<int>(record.data.size()) + (record.address >> 8) + (record.address & 0xFF) + record.type;
      for (const uint8_t b : record.data) sum += b;
      return Format(msg::kChecksum, record.checksum, RecordChecksum(sum));
    }
  }
  return std::string();
}

}  // namespace

std::string EndRecord() { return std::string(kEndRecordLine) + std::string(2, '\0'); }

static_assert(sizeof kEndRecordLine - 1 + 2 == kEndRecordSize, "end record line and its two zero bytes");

TableHeader ParseTableHeader(const std::string& line) {
  const std::string a = Mid(line, Find(line, ']') + 2);
  const std::string field1 = Left(a, Find(a, ']'));
  const std::string b = Mid(a, Find(a, '[') + 1);
  const std::string field2 = Left(b, Find(b, ']'));
  const std::string c = Mid(b, Find(b, '[') + 1);
  const std::string field3 = Left(c, Find(c, ']'));

  TableHeader header;
  header.address = HexWord(Left(field1, 4));
  header.lineWidth = ReadDecimal(field2);
  header.lineCount = ReadDecimal(field3);
  return header;
}

// ---- Header ----

// One tag, anywhere in the line. A line with two would once have set the
// unit up twice, the loader's pages erased and then the debugger opened.
std::string ImageTranslator::Header(const std::string& line) {
  const struct {
    const char* tag;
    ImageFormat format;
  } kTags[] = {{kTableTag, ImageFormat::Table}, {kIntelHexTag, ImageFormat::IntelHex}, {kOcdTag, ImageFormat::Ocd}};
  for (const auto& t : kTags) {
    if (Find(line, t.tag) < 0) continue;
    if (format_ != ImageFormat::None) return msg::kTwoTags;
    format_ = t.format;
  }

  switch (format_) {
    case ImageFormat::None:
      return msg::kNoTag;
    case ImageFormat::Table:
      table_ = ParseTableHeader(line);
      if (table_.address < 0) return msg::kTableHeader;
      if (table_.lineWidth < 1 || table_.lineWidth > kMaxTableWidth) return msg::kTableWidth;
      recordAddress_ = table_.address;
      return std::string();
    case ImageFormat::IntelHex: {
      const int pages = HexWord(Mid(line, kIntelHexPagesAt, 4));
      if (pages < 0) return msg::kIntelHexPages;
      firstPage_ = pages >> 8;
      lastPage_ = pages & 0xFF;
      return std::string();
    }
    case ImageFormat::Ocd:
      return std::string();
  }
  return std::string();
}

FlashStep ImageTranslator::Line(const std::string& line) {
  return format_ == ImageFormat::Table ? TableLine(line) : RecordLine(line);
}

std::string ImageTranslator::Finish() const {
  if (format_ == ImageFormat::Table && lastPage_ < 0) return msg::kTableEmpty;
  if (format_ != ImageFormat::Table && !ended_) return msg::kNoEndRecord;
  return std::string();
}

// ---- Table images ----
//
//   db 'text'      N characters from position 4, taken as their codes
//   db %3F         one byte as two hex digits at positions 4 and 5
// Two data lines make one record:
//   :LLAAAA00<2N bytes as hex pairs>CC CR LF      (4N + 13 characters)
FlashStep ImageTranslator::TableLine(const std::string& line) {
  const int width = table_.lineWidth;
  // The line after the header is not data; it only starts the first record.
  if (lineIndex_ == 0) {
    lineIndex_ = 1;
    return FlashStep{};
  }

  const std::string prefix = Left(line, 4);
  if (prefix == "db '") {
    // Whatever stands there is data: a closing quote, a blank, the line end.
    for (int i = 0; i < width; ++i) {
      const unsigned char c = CharAt(line, static_cast<size_t>(4 + i));
      dataText_ += Format("%02X", c);
      dataSum_ += c;
    }
    pendingGrowth_ += width;
  } else if (prefix == "db %") {
    const int high = HexDigit(static_cast<char>(CharAt(line, 4)));
    const int low = HexDigit(static_cast<char>(CharAt(line, 5)));
    if (high < 0 || low < 0) return Problem(msg::kDbHex);
    // The byte fills the first place of its slot; a wider slot is filled
    // up with 00.
    dataText_ += Format("%02X", high * 16 + low) + std::string(2 * (width - 1), '0');
    dataSum_ += high * 16 + low;
    pendingGrowth_ += 1;
  } else {
    return Problem(msg::kDbLine);
  }
  if (++lineIndex_ < 3) return FlashStep{};

  const int length = 2 * width;
  const int address = recordAddress_;
  if (address + length > kMemoryEnd) return Problem(msg::kPastEndOfMemory);
  FlashStep step;
  step.action = Action::SendWithAck;
  const int sum = length + (address >> 8) + (address & 0xFF) + dataSum_;
  step.bytes = Format(":%02X%04X00", length, address) + dataText_ + Format("%02X\r\n", RecordChecksum(sum));
  step.byteGrowth = pendingGrowth_;
  recordAddress_ += length;
  step.showAfter = Format("%04X", recordAddress_ & 0xFFFF);
  if (firstPage_ < 0) firstPage_ = address / kPageSize;
  lastPage_ = (address + length - 1) / kPageSize;
  lineIndex_ = 1;
  dataText_.clear();
  dataSum_ = 0;
  pendingGrowth_ = 0;
  return step;
}

// ---- Intel HEX and OCD images ----
//
//   :LLAAAATTdd..ddCC    read as Intel HEX records in either case
//
// An Intel HEX image goes to the loader record by record, in upper case:
// the loader is known to read upper case, the only case the table images
// translated here have ever sent it, and nothing says it reads the other.
// An OCD image's data records (type 00) become program memory writes.
FlashStep ImageTranslator::RecordLine(const std::string& line) {
  if (IsBlank(line)) return FlashStep{};
  if (ended_) return Problem(msg::kAfterEnd);
  const std::string text = EndsLine(line) ? line.substr(0, line.size() - 1) : line;
  HexRecord record;
  size_t badAt = 0;
  const HexRecordError error = ParseHexRecord(text, record, &badAt);
  if (error != HexRecordError::None) return Problem(RecordProblem(error, badAt, record));

  const int length = static_cast<int>(record.data.size());
  switch (record.type) {
    case kData:
      if (record.address + length > kMemoryEnd) return Problem(msg::kPastEndOfMemory);
      break;
    case kEnd:
      ended_ = true;
      break;
    case kSegment:
    case kLinear:
      // Either names the upper part of every address that follows; the
      // unit has 64 KiB, and the records are written at their own 16 bits.
      if (length != 2 || record.data[0] != 0 || record.data[1] != 0) return Problem(msg::kUpperAddress);
      break;
    case kStartSegment:
    case kStartLinear:
      break;
    default:
      return Problem(Format(msg::kRecordType, record.type));
  }

  FlashStep step;
  step.showBefore = Upper(text.substr(kAddressAt, 4));
  step.byteGrowth = length;
  if (format_ == ImageFormat::IntelHex) {
    if (record.type == kData && length > 0) {
      const int first = record.address / kPageSize;
      const int last = (record.address + length - 1) / kPageSize;
      if (first < firstPage_ || last > lastPage_) {
        return Problem(Format(msg::kOutsidePages, record.address, firstPage_, lastPage_));
      }
    }
    step.action = Action::SendWithAck;
    step.bytes = Upper(line);
  } else if (record.type == kData) {
    if (length > kOcdMaxData) return Problem(msg::kRecordTooLong);
    step.action = Action::OcdWrite;
    step.ocd = *WriteProgramMemory(record.address, record.data.data(), record.data.size());
  }
  return step;
}

// ---- The whole-file check ----

ImageProblem CheckImage(const std::string& content, ImagePlan& plan) {
  ImageProblem problem;
  if (static_cast<long long>(content.size()) > kMaxImageBytes) {
    problem.message = msg::kFileTooLarge;
    return problem;
  }
  const auto refuse = [&problem](int line, const std::string& what) {
    problem.line = line;
    problem.message = Format(msg::kRefusal, line, what.c_str());
    return problem;
  };

  ImageTranslator image;
  size_t pos = 0;
  std::string piece;
  int line = 0;
  while (NextLine(content, pos, piece) == LineStatus::Line) {
    ++line;
    // A piece without its line end with more to come is the first 59
    // characters of a longer line; the rest would go as a line of its own.
    if (!EndsLine(piece) && pos < content.size()) return refuse(line, msg::kLineTooLong);
    const std::string what = line == 1 ? image.Header(piece) : image.Line(piece).problem;
    if (!what.empty()) return refuse(line, what);
  }
  if (line == 0) return refuse(1, msg::kNoTag);
  const std::string missing = image.Finish();
  if (missing == msg::kNoEndRecord) {
    problem.message = Format(msg::kNoEndRecord, line);
    return problem;
  }
  if (!missing.empty()) return refuse(line, missing);

  plan.format = image.ImageKind();
  if (plan.format == ImageFormat::Table) {
    // The pages the records write, every one of them: a record that starts
    // near the end of a page runs on into the next. LF before CR: the
    // loader has always been sent it this way round.
    plan.pageRange = Format("  *%02X%02X\n\r", image.FirstPage(), image.LastPage());
  } else if (plan.format == ImageFormat::IntelHex) {
    plan.pageRange = Format("  *%02X%02X", image.FirstPage(), image.LastPage());
  }
  plan.pages = plan.pageRange.empty() ? 0 : std::max(0, image.LastPage() - image.FirstPage() + 1);
  return problem;
}

}  // namespace orv::flash
