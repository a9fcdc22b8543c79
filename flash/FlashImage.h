#pragma once
// The three flash image formats and their line-by-line translation into
// what the FLASH run sends.
//
//   [TABLE][1A00][12][40]    table image: "db '" and "db %" lines, two to a
//                            record, sent as Intel HEX to the unit's loader
//   [INTELHEX]0410           Intel HEX records forwarded to the loader
//   [ZTQFLASH]               Intel HEX data records written into program
//                            memory through the on-chip debugger
//
// CheckImage reads the whole file exactly as the run will, through the same
// ImageTranslator, before anything is sent: an image that would reach the
// unit damaged, in pieces, outside the memory or the pages erased for it,
// or without its end, is refused while the unit has heard nothing. The run
// then translates the same text again, so what was checked is what is sent.
#include <string>

#include "flash/OcdCommands.h"

namespace orv::flash {

enum class ImageFormat { None = 0, Table = 1, IntelHex = 2, Ocd = 3 };

enum class Action {
  None,
  SendWithAck,  // `bytes` to the unit's loader, acknowledged
  OcdWrite,     // `ocd` through the debugger
};

struct FlashStep {
  Action action = Action::None;
  std::string bytes;
  OcdCommand ocd;
  // Four characters for the progress row, before the action and once it
  // succeeded; empty where the row is not to change.
  std::string showBefore;
  std::string showAfter;
  // Counted once the action succeeded (at once for a step without one).
  int byteGrowth = 0;
  // Set when the line must not reach the unit: what is wrong with it.
  std::string problem;
};

// The Intel HEX end record, as a file line.
constexpr char kEndRecordLine[] = ":00000001FF\r\n";
// What the loader is sent at the end: that line and two zero bytes.
constexpr int kEndRecordSize = 15;
std::string EndRecord();

constexpr int kPageSize = 512;

struct TableHeader {
  int address = -1;   // field 1's first four characters as hex; -1 when they are not
  int lineWidth = 0;  // N
  int lineCount = 0;  // M
};
// Cuts the fields out of [TABLE][1A00][12][40] the way the loader's users
// have always written them: from two past the line's first "]", each field
// up to its "]", the next from the character after its "[".
TableHeader ParseTableHeader(const std::string& line);

class ImageTranslator {
 public:
  // The header line: empty, or what is wrong with it.
  std::string Header(const std::string& line);
  // One line after the header, as orv::NextLine gives it.
  FlashStep Line(const std::string& line);
  // After the last line: empty, or what is missing.
  std::string Finish() const;

  ImageFormat ImageKind() const { return format_; }
  // Table images: the bytes of a last data line that found no partner. They
  // are never sent, and counted all the same, as the loader's users have
  // always been told.
  int UnpairedGrowth() const { return lineIndex_ == 2 ? pendingGrowth_ : 0; }
  // Loader images: the pages the loader is to erase (Intel HEX: as the
  // header names them; table: those the records write; -1 before any).
  int FirstPage() const { return firstPage_; }
  int LastPage() const { return lastPage_; }

 private:
  FlashStep TableLine(const std::string& line);
  FlashStep RecordLine(const std::string& line);

  ImageFormat format_ = ImageFormat::None;
  TableHeader table_;
  int recordAddress_ = 0;
  int lineIndex_ = 0;
  std::string dataText_;
  int dataSum_ = 0;
  int pendingGrowth_ = 0;
  int firstPage_ = -1;
  int lastPage_ = -1;
  bool ended_ = false;
};

// What the whole-file check hands the run.
struct ImagePlan {
  ImageFormat format = ImageFormat::None;
  std::string pageRange;  // loader images: the page-range command
  int pages = 0;          // how many pages it names
};

struct ImageProblem {
  int line = 0;         // where it is; 0 when the file as a whole is at fault
  std::string message;  // the text to show; empty: nothing to refuse
  bool Ok() const { return message.empty(); }
};

ImageProblem CheckImage(const std::string& content, ImagePlan& plan);

// An image of the whole 64 KiB as a table of one-byte lines is under half a
// megabyte; anything far beyond that is not a flash image.
constexpr long long kMaxImageBytes = 16LL * 1024 * 1024;

}  // namespace orv::flash
