// The failure rows of FLASH and SAVE, reached through the simulated unit's
// faults and the scripted answers: the message each shows, that the run
// ends within its bound, and how it leaves the port, the port-busy flag,
// the debugger and the unit's loader.
#include <gtest/gtest.h>
#include <unistd.h>

#include "Expect.h"
#include "FlashSession.h"
#include "Waits.h"
#include "common/Crc16.h"
#include "flash/OcdCommands.h"
#include "sim/Faults.h"

namespace flashtest {
namespace {

namespace msg = orv::flash::msg;
using orv::sim::Cable;

orv::sim::UnitOptions UnitWith(Cable cable, const std::string& fault) {
  orv::sim::UnitOptions unit;
  unit.cable = cable;
  std::string error;
  if (!fault.empty()) {
    EXPECT_TRUE(orv::sim::ApplyFault(fault, unit.faults, error)) << error;
  }
  return unit;
}

std::string OcdImage() { return "[ZTQFLASH]\n" + ReadFile(DataFile("srec16_type02.hex")); }

std::string CrcText(const Memory& memory) {
  const uint16_t crc = orv::Crc16X25(memory.data(), memory.size());
  return orv::flash::FlashCrcText(static_cast<uint8_t>(crc >> 8), static_cast<uint8_t>(crc & 0xFF));
}

const std::string kHeaderOnly = "[ZTQFLASH]\r\n";
const char kLoaded770[] = "Loaded Flash: bytes =770";
const char kOcdVersion[] = "OCD VERSION: 1.2";

// ---- The debugger: FLASH with an OCD image, and SAVE ----

enum class Op { Flash, Save };

struct OcdCase {
  const char* legend;
  const char* fault;
  Op op;
  std::vector<int> answers;
  std::vector<std::string> messages;
  double minSeconds, maxSeconds;
  int baudAfter;
  bool debugModeAfter;
  int erases;
};

TEST(FlashFailures, DebuggerRows) {
  const Memory programmed = HexOver(ReadFile(DataFile("srec16_type02.hex")), ErasedMemory());
  const OcdCase cases[] = {
      {"No to the debugger's question", "", Op::Flash, {IDYES, IDNO},
       {msg::kSureToFlash, msg::kEraseAndFlash, msg::kFlashInit}, 0, 1.5, 4800, false, 0},
      {"FLASH cable returns nothing", "no-echo", Op::Flash, {IDYES, IDYES},
       {msg::kSureToFlash, msg::kEraseAndFlash, msg::kReadingData, msg::kFlashInit}, 0, 1.5, 57600, false, 0},
      {"debugger answers after its time-out", "late-reply", Op::Flash, {IDYES, IDYES},
       {msg::kSureToFlash, msg::kEraseAndFlash, msg::kReadingData, msg::kFlashInit}, 0, 1.5, 57600, false, 0},
      {"erase never ends", "erase-hang", Op::Flash, {IDYES, IDYES},
       {msg::kSureToFlash, msg::kEraseAndFlash, kOcdVersion, msg::kEraseTimedOut, msg::kFlashInit}, 5.0, 7.0, 57600,
       true, 1},
      {"echo altered, count right: nothing tests it", "bad-echo", Op::Flash, {IDYES, IDYES},
       {msg::kSureToFlash, msg::kEraseAndFlash, kOcdVersion, msg::kFlashErased, CrcText(programmed), kLoaded770}, 0,
       3.0, 4800, false, 1},
      {"line dies among the records", "drop-after=600", Op::Flash, {IDYES, IDYES},
       {msg::kSureToFlash, msg::kEraseAndFlash, kOcdVersion, msg::kFlashErased, msg::kWritingData}, 0, 2.0, 57600,
       true, 1},
      {"No to Save Flash Data?", "", Op::Save, {IDNO}, {msg::kSaveFlashData}, 0, 1.5, 4800, false, 0},
      {"FLASH cable returns nothing, SAVE", "no-echo", Op::Save, {IDYES},
       {msg::kSaveFlashData, msg::kReadingData}, 0, 1.5, 57600, false, 0},
      {"debugger answers after its time-out, SAVE", "late-reply", Op::Save, {IDYES},
       {msg::kSaveFlashData, msg::kReadingData}, 0, 1.5, 57600, false, 0},
      // An echo that is not the read command: the data behind it is not saved.
      {"echo altered, SAVE", "bad-echo", Op::Save, {IDYES}, {msg::kSaveFlashData, kOcdVersion, msg::kReadingFlashData},
       0, 1.5, 57600, true, 0},
  };
  for (const OcdCase& c : cases) {
    SCOPED_TRACE(c.legend);
    Session s(UnitWith(Cable::Flash, c.fault));
    ASSERT_TRUE(s.started);
    ASSERT_TRUE(s.Connect(4800));
    const std::string path = s.Path(c.op == Op::Flash ? "image.txt" : "unit.hex");
    double seconds = 0;
    if (c.op == Op::Flash) {
      ASSERT_TRUE(WriteFile(path, OcdImage()));
      seconds = s.Flash(path, c.answers);
    } else {
      seconds = s.Save(path, c.answers);
      EXPECT_EQ(ReadFile(path), kHeaderOnly) << c.legend;
    }
    ExpectMessages(s.w.modal, c.messages, c.legend);
    EXPECT_GE(seconds, c.minSeconds) << c.legend;
    EXPECT_LT(seconds, c.maxSeconds) << c.legend;
    EXPECT_EQ(s.Baud(), c.baudAfter) << c.legend;
    EXPECT_TRUE(s.OcdTimeouts()) << c.legend << ": never put back";
    EXPECT_EQ(s.InDebugMode(), c.debugModeAfter) << c.legend;
    EXPECT_EQ(s.host->WithUnit([](orv::sim::Unit& u) { return u.ocd().MassEraseCount(); }), c.erases) << c.legend;
    EXPECT_EQ(s.w.dlg->m_bPortBusy, 0) << c.legend;
  }
}

TEST(FlashFailures, SaveWithoutAnOpenPortKeepsTheHeaderLine) {
  WindowFixture w;
  w.modal.files.push_back(w.workDir.path().toStdString() + "/unit.hex");
  w.dlg->OnSave();
  ExpectMessages(w.modal, {msg::kSetTimeouts});
  EXPECT_EQ(ReadFile(w.workDir.path().toStdString() + "/unit.hex"), kHeaderOnly);
}

// CONNECT that failed leaves the flag set and no port: every write and the
// first port setting fail, and each says so.
TEST(FlashFailures, FlashAfterAFailedConnect) {
  WindowFixture w;
  w.dlg->OnConnect();  // to /nonexistent/COM8:
  ASSERT_TRUE(w.dlg->m_bConnected);
  ASSERT_FALSE(w.dlg->m_hPort);
  w.modal.Clear();
  const std::string path = w.workDir.path().toStdString() + "/image.txt";
  ASSERT_TRUE(WriteFile(path, OcdImage()));
  w.modal.files.push_back(path);
  w.modal.answers = {IDYES};
  w.dlg->OnFlash();
  ExpectMessages(w.modal, {msg::kWritingDevice, msg::kSureToFlash, msg::kConfigurePort, msg::kFlashInit,
                           "Unable to write to serial port: code =9"});
  EXPECT_EQ(w.dlg->m_bPortBusy, 0);
}

// A read-back cut short keeps what it read and no end record; FLASH will
// not take that file for an image.
TEST(FlashFailures, ReadBackCutShortIsRefusedByFlash) {
  // The cable returns the three G commands of the connect (24 bytes) and the
  // handshake (17), then 21 bytes a record: the line dies after record 100.
  Session s(UnitWith(Cable::Flash, "drop-after=" + std::to_string(24 + 17 + 100 * 21)));
  ASSERT_TRUE(s.started);
  ASSERT_TRUE(s.Connect(4800));
  const std::string path = s.Path("unit.hex");
  s.Save(path, {IDYES});
  ExpectMessages(s.w.modal, {msg::kSaveFlashData, kOcdVersion, msg::kReadingFlashData});
  const std::string text = ReadFile(path);
  EXPECT_EQ(text.size(), kHeaderOnly.size() + 100 * 45) << "the header and 100 records";
  EXPECT_EQ(text.find(":00000001FF"), std::string::npos);
  EXPECT_EQ(s.Baud(), 57600);
  EXPECT_TRUE(s.InDebugMode());

  s.w.modal.Clear();
  const int64_t sent = s.host->BytesFromPc();
  s.Flash(path);
  ExpectMessages(s.w.modal, {msg::kNoEndRecord});
  EXPECT_EQ(s.host->BytesFromPc(), sent);
  EXPECT_EQ(s.host->WithUnit([](orv::sim::Unit& u) { return u.ocd().MassEraseCount(); }), 0);
}

// The line is lost once the last record is written: the lock fails, and the
// run still closes the file, counts and tells the unit to go on.
TEST(FlashFailures, LineLostBeforeTheLock) {
  Session s(UnitWith(Cable::Flash, ""));
  ASSERT_TRUE(s.started);
  ASSERT_TRUE(s.Connect(4800));
  const std::string path = s.Path("image.txt");
  ASSERT_TRUE(WriteFile(path, OcdImage()));
  s.progress.onRow = [&](const std::string& row) {
    if (row == "FLASH 0000" && s.progress.rows.size() > 2) s.host->Stop();  // the end record's row
  };
  const double seconds = s.Flash(path, {IDYES, IDYES});
  const std::vector<std::string> texts = s.Texts();
  ASSERT_EQ(texts.size(), 7u);
  EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 6),
            (std::vector<std::string>{msg::kSureToFlash, msg::kEraseAndFlash, kOcdVersion, msg::kFlashErased,
                                      msg::kWritingData, kLoaded770}));
  EXPECT_EQ(texts[6].rfind("Unable to write to serial port: code =", 0), 0u) << texts[6];
  EXPECT_EQ(s.Baud(), 57600);
  EXPECT_EQ(s.w.dlg->m_bPortBusy, 0);
  EXPECT_LT(seconds, 2.0);
}

// The line is lost once the last record is read: the file is whole, but
// the CRC cannot be read.
TEST(FlashFailures, LineLostBeforeTheCrcOfARead) {
  Session s(UnitWith(Cable::Flash, ""));
  ASSERT_TRUE(s.started);
  ASSERT_TRUE(s.Connect(4800));
  s.progress.onRow = [&](const std::string& row) {
    if (row == "FLASH FFF0") s.host->Stop();
  };
  const std::string path = s.Path("unit.hex");
  s.Save(path, {IDYES});
  ExpectMessages(s.w.modal, {msg::kSaveFlashData, kOcdVersion, msg::kReadingCrcData});
  const std::string text = ReadFile(path);
  EXPECT_EQ(text.size(), kHeaderOnly.size() + 4096 * 45 + 13) << "every record and the end record";
  EXPECT_EQ(text.substr(text.size() - 13), ":00000001FF\r\n");
  EXPECT_EQ(s.Baud(), 57600);
}

// A disk that fills up: the read-back stops and says so instead of leaving
// a short file behind a CRC that looks like success.
TEST(FlashFailures, SaveToAFullDiskSaysSo) {
  Session s(UnitWith(Cable::Flash, ""));
  ASSERT_TRUE(s.started);
  ASSERT_TRUE(s.Connect(4800));
  const std::string path = s.Path("full.hex");
  ASSERT_EQ(symlink("/dev/full", path.c_str()), 0);
  const double seconds = s.Save(path, {IDYES});
  ExpectMessages(s.w.modal, {msg::kSaveFlashData, kOcdVersion, msg::kWritingFile});
  EXPECT_LT(seconds, 1.5);
  EXPECT_EQ(s.Baud(), 57600);
  EXPECT_TRUE(s.InDebugMode());
}

// ---- The unit's loader: table and Intel HEX images ----

const char kTable[] =
    "[TABLE][1A00][4][6]\n; not data\ndb 'ABCD'\ndb %3F\ndb 'wxyz'\ndb '1234'\ndb 'ab'\ndb 'Q  R'\n";
// The fifth data line is not "db": two records have gone by then.
const char kTableBadFifth[] =
    "[TABLE][1A00][4][8]\n; not data\ndb 'ABCD'\ndb 'EFGH'\ndb 'IJKL'\ndb 'MNOP'\ndq 'QRST'\ndb 'UVWX'\n";

std::string IntelHexImage() { return "[INTELHEX]0001\n" + ReadFile(DataFile("srec16_type04.hex")); }

struct LoaderCase {
  const char* legend;
  const char* fault;
  std::string image;
  std::vector<int> answers;
  std::vector<std::string> messages;
  double minSeconds, maxSeconds;
  bool goSent;      // "$PZTQC,G" at the end: the unit streams again
  int records;      // records the loader took
  int pagesErased;
};

TEST(FlashFailures, LoaderRows) {
  const LoaderCase cases[] = {
      {"No to Are you sure", "", kTable, {IDNO}, {msg::kSureToFlash}, 0, 1, true, 0, 0},
      {"No to Erase and Flash Data?", "", kTable, {IDYES, IDNO}, {msg::kSureToFlash, msg::kEraseAndFlash}, 0, 1, true,
       0, 0},
      {"page range refused", "", "[INTELHEX]ZZZZ\n:00000001FF\n", {IDYES, IDYES},
       {msg::kSureToFlash, msg::kEraseAndFlash, msg::kWritingDevice}, 0, 1, false, 0, 0},
      {"unit stops acknowledging after two records", "stop-ack=2", IntelHexImage(), {IDYES, IDYES},
       {msg::kSureToFlash, msg::kEraseAndFlash, msg::kWritingDevice, "Loaded Flash: bytes =34"}, 3.0, 5.0, true, 2,
       2},
      {"fifth data line malformed", "", kTableBadFifth, {IDYES, IDYES},
       {msg::kSureToFlash, msg::kEraseAndFlash, msg::kDbFormat}, 0, 1, false, 2, 1},
      {"no tag, two lines", "", "hello\nworld\n", {IDYES}, {msg::kSureToFlash, msg::kInvalidFileType}, 0, 1, false, 0,
       0},
      {"no tag, one line", "", "hello\n", {IDYES}, {msg::kSureToFlash, "Loaded Flash: bytes =0"}, 0, 1, true, 0, 0},
      {"empty file", "", "", {IDYES}, {msg::kSureToFlash, "Loaded Flash: bytes =0"}, 0, 1, true, 0, 0},
      {"acknowledged with ##", "hash-ack", kTable, {IDYES, IDYES},
       {msg::kSureToFlash, msg::kEraseAndFlash, "Loaded Flash: bytes =21"}, 0, 1, true, 3, 1},
      {"answers late, within the bound", "late-reply=300", kTable, {IDYES, IDYES},
       {msg::kSureToFlash, msg::kEraseAndFlash, "Loaded Flash: bytes =21"}, 1.2, 3, true, 3, 1},
      {"answers later than the bound", "late-reply=5000", kTable, {IDYES, IDYES},
       {msg::kSureToFlash, msg::kEraseAndFlash, msg::kWritingDevice}, 3.0, 5.0, false, 0, 1},
  };
  for (const LoaderCase& c : cases) {
    SCOPED_TRACE(c.legend);
    Session s(UnitWith(Cable::Data, c.fault));
    ASSERT_TRUE(s.started);
    ASSERT_TRUE(s.Connect(4800));
    const std::string path = s.Path("image.txt");
    ASSERT_TRUE(WriteFile(path, c.image));
    const double seconds = s.Flash(path, c.answers);
    ExpectMessages(s.w.modal, c.messages, c.legend);
    EXPECT_GE(seconds, c.minSeconds) << c.legend;
    EXPECT_LT(seconds, c.maxSeconds) << c.legend;
    EXPECT_EQ(s.w.dlg->m_bPortBusy, 0) << c.legend;
    ASSERT_TRUE(s.UnitHasHeardAll()) << c.legend;
    // "$PZTQC,P" stopped the unit's stream; only "$PZTQC,G" starts it again.
    EXPECT_EQ(s.host->WithUnit([](orv::sim::Unit& u) { return u.Streaming(); }), c.goSent) << c.legend;
    const auto loader = s.host->WithUnit([](orv::sim::Unit& u) {
      return std::make_pair(u.loader().RecordsWritten(), u.loader().PagesErased());
    });
    EXPECT_EQ(loader.first, c.records) << c.legend;
    EXPECT_EQ(loader.second, c.pagesErased) << c.legend;
  }
}

// ---- The file: nothing reaches the unit ----

struct FileCase {
  const char* legend;
  const char* name;      // in the work directory; nullptr: the dialog is cancelled
  std::string content;   // written unless empty
  std::vector<std::string> messages;
};

TEST(FlashFailures, FileRows) {
  const std::string big(17 * 1024 * 1024, 'x');
  const FileCase cases[] = {
      {"empty path", "", "", {msg::kNoFlashPath}},
      {"file does not open", "missing.txt", "", {msg::kOpenFlashFile}},
      {"dialog cancelled: Quorvel_Flash", nullptr, "", {msg::kOpenFlashFile}},
      {"a directory", "dir", "", {msg::kReadingFile}},
      {"32-byte records in an OCD image", "ocd32.txt", "[ZTQFLASH]\n" + ReadFile(DataFile("srec32.hex")),
       {msg::kRecordTooLong}},
      {"32-byte records in an Intel HEX image", "hex32.txt", "[INTELHEX]0001\n" + ReadFile(DataFile("srec32.hex")),
       {msg::kLineTooLong}},
      {"OCD image without its end record", "short.txt",
       "[ZTQFLASH]\n:10000000000102030405060708090A0B0C0D0E0F78\n", {msg::kNoEndRecord}},
      {"table lines too wide for a record", "wide.txt", "[TABLE][1A00][16][4]\n", {msg::kTableWidth}},
      {"far larger than any image", "big.txt", big, {msg::kFileTooLarge}},
  };
  Session s(UnitWith(Cable::Data, ""));
  ASSERT_TRUE(s.started);
  ASSERT_TRUE(s.Connect(4800));
  QDir(s.w.workDir.path()).mkdir("dir");
  for (const FileCase& c : cases) {
    SCOPED_TRACE(c.legend);
    s.w.modal.Clear();
    const int64_t sent = s.host->BytesFromPc();
    if (c.name == nullptr) {
      s.w.dlg->OnFlash();
      ASSERT_EQ(s.w.modal.fileRequests.size(), 1u);
      const FileDialogRequest& r = s.w.modal.fileRequests[0];
      EXPECT_TRUE(r.open);
      EXPECT_EQ(r.initialName, "Quorvel_Flash");
      EXPECT_EQ(r.defaultExt, "txt");
      EXPECT_EQ(r.filter, "Text Files (*.txt)|*.txt|HEX Files (*.hex)|*.hex||");
    } else {
      const std::string path = *c.name ? s.Path(c.name) : std::string();
      if (!c.content.empty()) {
        ASSERT_TRUE(WriteFile(path, c.content));
      }
      s.Flash(path);
    }
    ExpectMessages(s.w.modal, c.messages, c.legend);
    EXPECT_EQ(s.w.dlg->m_bPortBusy, 0) << c.legend;
    ASSERT_TRUE(s.UnitHasHeardAll()) << c.legend;
    EXPECT_EQ(s.host->BytesFromPc(), sent + 8) << c.legend << ": only the menu scroll went out";
  }
}

TEST(FlashFailures, NotConnectedOpensTheDialogAndDoesNothing) {
  WindowFixture w;
  const std::string path = w.workDir.path().toStdString() + "/image.txt";
  ASSERT_TRUE(WriteFile(path, kTable));
  w.modal.files.push_back(path);
  w.dlg->OnFlash();
  EXPECT_EQ(w.modal.fileRequests.size(), 1u);
  ExpectMessages(w.modal, {});
  EXPECT_EQ(w.dlg->m_bPortBusy, 0);
  EXPECT_EQ(w.dlg->m_strFlashFile, path);
}

}  // namespace
}  // namespace flashtest
