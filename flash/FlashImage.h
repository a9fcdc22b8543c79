#pragma once
// The three flash image formats and their line-by-line translation into
// what the FLASH run sends. The file is never needed whole: the run hands
// over each line as orv::LineReader gives it (at most 59 characters, the
// line end as a single LF) and gets back one step to carry out.
//
//   [TABLE][1A00][12][40]    table image: "db '" and "db %" lines, two to a
//                            record, sent as Intel HEX to the unit's loader
//   [INTELHEX]0410           Intel HEX lines forwarded to the loader as read
//   [ZTQFLASH]               Intel HEX data records written into program
//                            memory through the on-chip debugger
//
// Before anything is sent or erased the run passes the whole file through
// ImageValidator (or ValidateImage), which refuses what must never reach the
// unit: lines that would arrive in pieces, records that overrun the
// debugger's buffer, data that wraps past FFFF, table widths the record
// text cannot hold, and an OCD image without its end record.
#include <string>
#include <vector>

#include "flash/OcdCommands.h"

namespace orv::flash {

enum class ImageFormat { None = 0, Table = 1, IntelHex = 2, Ocd = 3 };

enum class Action {
  None,
  SendWithAck,      // `bytes` to the unit's loader, acknowledged
  SendWithoutAck,   // `bytes` to the unit's loader, no acknowledgement (the end record)
  OcdWrite,         // `ocd` through the debugger
  OpenOcdAndErase,  // open the debugger link, erase and unlock the flash
  CloseOcd,         // lock, read the memory CRC, release the unit
  Error,            // show `message`; the run ends
};

struct FlashStep {
  Action action = Action::None;
  std::string bytes;
  OcdCommand ocd;
  std::string message;
  // Four characters for the progress row; empty when it is not to change.
  std::string address;
  int byteGrowth = 0;
  // For a header set-up: the format it sets up once the run has carried it out.
  ImageFormat format = ImageFormat::None;
};

// The Intel HEX end record, as a file line.
constexpr char kEndRecordLine[] = ":00000001FF\r\n";
// What the loader is sent at the end: that line and two zero bytes.
constexpr int kEndRecordSize = 15;
std::string EndRecord();

// An Intel HEX record's checksum: the two's complement of the low 8 bits of
// the sum of its length, address, type and data bytes.
constexpr int RecordChecksum(int byteSum) { return (0x100 - (byteSum & 0xFF)) & 0xFF; }

// The page-range command of a table image: two blanks, "*", SS, EE, LF, CR.
std::string TablePageRange(int startAddress, int lineWidth, int lineCount);

struct TableHeader {
  std::string addressText;  // the first four characters of field 1, as written
  int address = 0;          // those characters read as hex digits
  int lineWidth = 0;        // N
  int lineCount = 0;        // M
};
// Cuts the fields out of [TABLE][1A00][12][40] the way the loader's users
// have always written them: from two past the line's first "]", each field
// up to its "]", the next from the character after its "[".
TableHeader ParseTableHeader(const std::string& line);

class FlashImage {
 public:
  // The set-ups a header line asks for, one per tag found, in the order
  // [TABLE], [INTELHEX], [ZTQFLASH]; none for a line without a tag. The run
  // carries each out and calls Adopt with its format when it succeeded; the
  // last one adopted decides the format.
  std::vector<FlashStep> Header(const std::string& line);
  void Adopt(ImageFormat format);

  // One line after the header.
  FlashStep Line(const std::string& line);
  // The table record just handed out was acknowledged: the next record's
  // address follows on. Returns the four characters the progress row shows.
  std::string Acknowledged();
  // What follows the last line.
  FlashStep End() const;

  ImageFormat State() const { return format_; }
  int ByteCount() const { return byteCount_; }

 private:
  FlashStep TableLine(const std::string& line);
  FlashStep IntelHexLine(const std::string& line);
  FlashStep OcdLine(const std::string& line);

  ImageFormat format_ = ImageFormat::None;
  int byteCount_ = 0;

  TableHeader table_;
  TableHeader pendingTable_;
  int recordAddress_ = 0;
  std::string addressText_;
  int lineIndex_ = 0;
  // Record data as it goes into the record text: two characters a byte.
  std::string dataText_;
  int dataSum_ = 0;
};

// The whole-file check the run makes before anything is sent or erased.
struct ImageProblem {
  int line = 0;         // 1 for the header; 0 when the file as a whole is at fault
  std::string message;  // empty: nothing to refuse
  bool Ok() const { return message.empty(); }
};

class ImageValidator {
 public:
  // Each piece exactly as orv::NextLine or orv::LineReader delivers it.
  void Feed(const std::string& piece);
  ImageProblem Finish();

 private:
  void Whole(const std::string& line);
  void Refuse(int line, const char* message);

  FlashImage image_;
  int lineNumber_ = 0;
  bool headerSeen_ = false;
  bool done_ = false;
  bool pendingOpen_ = false;   // the last piece had no line end
  std::string pending_;
  bool lastIsEndRecord_ = false;
  ImageProblem problem_;
};

ImageProblem ValidateImage(const std::string& content);

}  // namespace orv::flash
