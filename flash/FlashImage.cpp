#include "flash/FlashImage.h"

#include "common/LineReader.h"
#include "common/Text.h"
#include "display/DisplayModel.h"
#include "flash/Messages.h"

namespace orv::flash {
namespace {

constexpr char kTableTag[] = "[TABLE]";
constexpr char kIntelHexTag[] = "[INTELHEX]";
constexpr char kOcdTag[] = "[ZTQFLASH]";
constexpr int kIntelHexPagesAt = 10;  // directly after the tag when it opens the line
constexpr int kPageSize = 512;
constexpr int kMemoryEnd = 0x10000;
constexpr int kMaxTableWidth = 15;    // 4N + 13 must fit the loader's 74-character record

// Intel HEX record fields: ":" LL AAAA TT data CC.
constexpr int kLengthAt = 1;
constexpr int kAddressAt = 3;
constexpr int kTypeAt = 7;
constexpr int kDataAt = 9;

// A position past the end of the line reads as a zero byte, never as
// whatever an earlier, longer line left behind.
unsigned char CharAt(const std::string& line, size_t pos) {
  return pos < line.size() ? static_cast<unsigned char>(line[pos]) : 0;
}

int HexByteAt(const std::string& line, size_t pos) {
  return HexDigitValue(CharAt(line, pos)) * 16 + HexDigitValue(CharAt(line, pos + 1));
}

// The four characters the progress row shows; missing ones show blank.
std::string AddressChars(const std::string& line) {
  std::string chars = Mid(line, kAddressAt, 4);
  chars.resize(4, ' ');
  return chars;
}

bool IsDataRecord(const std::string& line) {
  return CharAt(line, kTypeAt) == '0' && CharAt(line, kTypeAt + 1) == '0';
}

bool IsEndRecord(const std::string& line) {
  return CharAt(line, 0) == ':' && CharAt(line, kTypeAt) == '0' && CharAt(line, kTypeAt + 1) == '1';
}

bool IsBlank(const std::string& line) {
  return line.find_first_not_of(" \t\r\n") == std::string::npos;
}

bool EndsLine(const std::string& piece) { return !piece.empty() && piece.back() == '\n'; }

size_t ContentLength(const std::string& line) { return EndsLine(line) ? line.size() - 1 : line.size(); }

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

FlashStep ErrorStep(const char* message) {
  FlashStep step;
  step.action = Action::Error;
  step.message = message;
  return step;
}

FlashStep SendStep(Action action, std::string bytes, ImageFormat format = ImageFormat::None) {
  FlashStep step;
  step.action = action;
  step.bytes = std::move(bytes);
  step.format = format;
  return step;
}

}  // namespace

static_assert(sizeof kEndRecordLine - 1 + 2 == kEndRecordSize, "end record line and its two zero bytes");

std::string EndRecord() { return std::string(kEndRecordLine) + std::string(2, '\0'); }

std::string TablePageRange(int startAddress, int lineWidth, int lineCount) {
  const int first = (startAddress / kPageSize) & 0xFF;
  const long long span = static_cast<long long>(lineWidth) * lineCount / kPageSize;
  const int last = static_cast<int>((first + span) & 0xFF);
  // LF before CR: the loader has always been sent it this way round.
  return Format("  *%02X%02X\n\r", first, last);
}

TableHeader ParseTableHeader(const std::string& line) {
  const std::string a = Mid(line, Find(line, ']') + 2);
  const std::string field1 = Left(a, Find(a, ']'));
  const std::string b = Mid(a, Find(a, '[') + 1);
  const std::string field2 = Left(b, Find(b, ']'));
  const std::string c = Mid(b, Find(b, '[') + 1);
  const std::string field3 = Left(c, Find(c, ']'));

  TableHeader header;
  header.addressText = Left(field1, 4);
  for (unsigned char ch : header.addressText) header.address = header.address * 16 + HexDigitValue(ch);
  header.lineWidth = ReadDecimal(field2);
  header.lineCount = ReadDecimal(field3);
  return header;
}

// ---- FlashImage ----

std::vector<FlashStep> FlashImage::Header(const std::string& line) {
  std::vector<FlashStep> steps;

  if (Find(line, kTableTag) >= 0) {
    const TableHeader header = ParseTableHeader(line);
    // The record text has room for four address characters and 4N + 13
    // characters in all; anything else would go to the loader malformed.
    if (header.addressText.size() != 4) {
      steps.push_back(ErrorStep(msg::kTableHeader));
      return steps;
    }
    if (header.lineWidth < 1 || header.lineWidth > kMaxTableWidth) {
      steps.push_back(ErrorStep(msg::kTableWidth));
      return steps;
    }
    pendingTable_ = header;
    steps.push_back(SendStep(Action::SendWithAck,
                             TablePageRange(header.address, header.lineWidth, header.lineCount),
                             ImageFormat::Table));
  }

  if (Find(line, kIntelHexTag) >= 0) {
    const std::string pages = Mid(line, kIntelHexPagesAt, 4);
    // Without four page characters the loader would be told to erase pages
    // named by a line end or by nothing at all.
    if (pages.size() != 4 || Find(pages, '\n') >= 0) {
      steps.push_back(ErrorStep(msg::kIntelHexPages));
      return steps;
    }
    steps.push_back(SendStep(Action::SendWithAck, "  *" + pages, ImageFormat::IntelHex));
  }

  if (Find(line, kOcdTag) >= 0) {
    FlashStep step;
    step.action = Action::OpenOcdAndErase;
    step.format = ImageFormat::Ocd;
    steps.push_back(step);
  }
  return steps;
}

void FlashImage::Adopt(ImageFormat format) {
  format_ = format;
  byteCount_ = 0;
  if (format == ImageFormat::Table) {
    table_ = pendingTable_;
    recordAddress_ = table_.address;
    addressText_ = table_.addressText;
    lineIndex_ = 0;
    dataText_.clear();
    dataSum_ = 0;
  }
}

FlashStep FlashImage::Line(const std::string& line) {
  switch (format_) {
    case ImageFormat::Table:
      return TableLine(line);
    case ImageFormat::IntelHex:
      return IntelHexLine(line);
    case ImageFormat::Ocd:
      return OcdLine(line);
    case ImageFormat::None:
      break;
  }
  return ErrorStep(msg::kInvalidFileType);
}

//   db 'text'      N characters from position 4, taken as their codes
//   db %3F         one byte as two hex digits at positions 4 and 5
// Two data lines make one record:
//   :LLAAAA00<2N bytes as hex pairs>CC CR LF      (4N + 13 characters)
FlashStep FlashImage::TableLine(const std::string& line) {
  const int width = table_.lineWidth;
  FlashStep step;

  // The line after the header is not data; it only starts the first record.
  if (lineIndex_ == 0) {
    lineIndex_ = 1;
    return step;
  }

  const std::string prefix = Left(line, 4);
  if (prefix == "db '") {
    for (int i = 0; i < width; ++i) {
      const unsigned char c = CharAt(line, static_cast<size_t>(4 + i));
      dataText_ += Format("%02X", c);
      dataSum_ += c;
    }
    step.byteGrowth = width;
  } else if (prefix == "db %") {
    // The two digits go into the record as they stand (a lower-case digit
    // reaches the loader as written and counts 0 in the sum), except that a
    // line end or a missing digit becomes "0" so the record stays one line.
    // A slot wider than one byte is filled up with 00.
    for (size_t pos = 4; pos < 6; ++pos) {
      const unsigned char c = CharAt(line, pos);
      dataText_ += (c == '\n' || c == 0) ? '0' : static_cast<char>(c);
    }
    dataSum_ += HexByteAt(line, 4);
    for (int i = 1; i < width; ++i) dataText_ += "00";
    step.byteGrowth = 1;
  } else {
    return ErrorStep(msg::kDbFormat);
  }
  byteCount_ += step.byteGrowth;

  if (++lineIndex_ < 3) return step;

  const int length = 2 * width;
  lineIndex_ = 1;
  const std::string data = dataText_;
  const int dataSum = dataSum_;
  dataText_.clear();
  dataSum_ = 0;
  if (recordAddress_ + length > kMemoryEnd) return ErrorStep(msg::kPastEndOfMemory);

  const int sum = (length & 0xFF) + HexByteAt(addressText_, 0) + HexByteAt(addressText_, 2) + dataSum;
  step.action = Action::SendWithAck;
  step.bytes = Format(":%02X", length & 0xFF) + addressText_ + "00" + data +
               Format("%02X\r\n", RecordChecksum(sum));
  return step;
}

std::string FlashImage::Acknowledged() {
  recordAddress_ += 2 * table_.lineWidth;
  addressText_ = Format("%04X", recordAddress_ & 0xFFFF);
  return addressText_;
}

// Forwarded as read, line end included; the loader checks its own records.
FlashStep FlashImage::IntelHexLine(const std::string& line) {
  FlashStep step = SendStep(Action::SendWithAck, line);
  step.address = AddressChars(line);
  step.byteGrowth = HexByteAt(line, kLengthAt);
  byteCount_ += step.byteGrowth;
  return step;
}

//   :LLAAAATTdd..ddCC    only type 00 is written, at AAAA, LL bytes
FlashStep FlashImage::OcdLine(const std::string& line) {
  const int length = HexByteAt(line, kLengthAt);
  FlashStep step;
  step.address = AddressChars(line);

  if (IsDataRecord(line)) {
    if (length > kOcdMaxData) return ErrorStep(msg::kRecordTooLong);
    if (ContentLength(line) < static_cast<size_t>(kDataAt + 2 * length)) return ErrorStep(msg::kRecordTooShort);
    const int address = HexByteAt(line, kAddressAt) * 256 + HexByteAt(line, kAddressAt + 2);
    if (address + length > kMemoryEnd) return ErrorStep(msg::kPastEndOfMemory);

    std::vector<uint8_t> data;
    for (int k = 0; k < length; ++k) {
      data.push_back(static_cast<uint8_t>(HexByteAt(line, static_cast<size_t>(kDataAt + 2 * k))));
    }
    step.action = Action::OcdWrite;
    step.ocd = *WriteProgramMemory(static_cast<uint16_t>(address), data.data(), data.size());
  }
  step.byteGrowth = length;
  byteCount_ += length;
  return step;
}

FlashStep FlashImage::End() const {
  switch (format_) {
    case ImageFormat::Table:
    case ImageFormat::IntelHex:
      return SendStep(Action::SendWithoutAck, EndRecord());
    case ImageFormat::Ocd: {
      FlashStep step;
      step.action = Action::CloseOcd;
      return step;
    }
    case ImageFormat::None:
      break;
  }
  return FlashStep{};
}

// ---- ImageValidator ----
//
// Runs the file through the same translation the run will make, carrying
// out nothing, and stops at the first thing that must not reach the unit.
// Two errors are left to the run itself, in their place: "Invalid File
// Type" and the table's "db" format error. The run has always sent the
// records before a malformed table line, and an untagged file has always
// been reported only when its second line comes.
//
// An OCD image must end with its end record. A read-back that failed part
// way leaves "[ZTQFLASH]" and the records read so far; programming that
// would erase the whole unit and write back only part of it, so such a
// file is refused before the debugger is opened.

void ImageValidator::Feed(const std::string& piece) {
  if (done_) return;
  if (pendingOpen_) {
    // The previous piece had no line end and something follows: it was the
    // first 59 characters of a longer line, and the rest would have been
    // handled as a line of its own.
    Refuse(lineNumber_, msg::kLineTooLong);
    return;
  }
  ++lineNumber_;
  if (EndsLine(piece)) {
    Whole(piece);
    return;
  }
  // Either the file's last line or the start of a longer one. A data record
  // that is too long says so in its first characters; that is the clearer
  // message for the usual case, a hex file made with 32-byte records.
  if (headerSeen_ && image_.State() == ImageFormat::Ocd && IsDataRecord(piece) &&
      HexByteAt(piece, kLengthAt) > kOcdMaxData) {
    Refuse(lineNumber_, msg::kRecordTooLong);
    return;
  }
  pending_ = piece;
  pendingOpen_ = true;
}

ImageProblem ImageValidator::Finish() {
  if (!done_ && pendingOpen_) {
    pendingOpen_ = false;
    Whole(pending_);
  }
  if (!done_ && headerSeen_ && image_.State() == ImageFormat::Ocd && !lastIsEndRecord_) {
    Refuse(0, msg::kNoEndRecord);
  }
  done_ = true;
  return problem_;
}

void ImageValidator::Whole(const std::string& line) {
  if (!headerSeen_) {
    headerSeen_ = true;
    for (const FlashStep& step : image_.Header(line)) {
      if (step.action == Action::Error) {
        Refuse(lineNumber_, step.message.c_str());
        return;
      }
      image_.Adopt(step.format);
    }
    return;
  }

  const FlashStep step = image_.Line(line);
  if (step.action == Action::Error) {
    if (step.message == msg::kDbFormat || step.message == msg::kInvalidFileType) {
      done_ = true;
    } else {
      Refuse(lineNumber_, step.message.c_str());
    }
    return;
  }
  if (step.action == Action::SendWithAck && image_.State() == ImageFormat::Table) image_.Acknowledged();
  if (!IsBlank(line)) lastIsEndRecord_ = IsEndRecord(line);
}

void ImageValidator::Refuse(int line, const char* message) {
  problem_.line = line;
  problem_.message = message;
  done_ = true;
}

ImageProblem ValidateImage(const std::string& content) {
  ImageValidator validator;
  size_t pos = 0;
  std::string piece;
  while (NextLine(content, pos, piece) == LineStatus::Line) validator.Feed(piece);
  return validator.Finish();
}

}  // namespace orv::flash
