// The FLASH run, the read-back and the debugger link, driven as the window
// drives them, against the whole simulated unit behind a port in the test's
// own thread: the messages, what reached the unit, how the port is left.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <random>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "common/Text.h"
#include "flash/FlashImage.h"
#include "flash/FlashProgram.h"
#include "flash/FlashReadback.h"
#include "flash/LinkBounds.h"
#include "flash/OcdLink.h"
#include "serial/UnitWriter.h"
#include "FlashTesting.h"

namespace orv::flash {
namespace {

using sim::Cable;
using test::CrcText;
using test::HexOver;
using test::SimPort;
using test::TestHost;
using test::Unit;
using Texts = std::vector<std::string>;

const char kGo[] = "$PZTQC,G";
const char kOcdVersion[] = "OCD VERSION: 1.2";
const std::string kTable =
    "[TABLE][1A00][4][6]\n; not data\ndb 'ABCD'\ndb %3F\ndb 'wxyz'\ndb '1234'\ndb 'ab'\ndb 'Q  R'\n";

std::string Loaded(int bytes) { return Format(msg::kLoadedBytes, bytes); }

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

struct Rig {
  Rig(const sim::UnitOptions& unit, std::deque<int> answers)
      : port(std::make_shared<SimPort>(unit)), host(port, std::move(answers)) {}
  RunEnd Flash(const std::string& image) { return ProgramImage(host, image); }
  std::shared_ptr<SimPort> port;
  TestHost host;
};

// Through the unit's loader: every way out sends "$PZTQC,G" last, the
// count leaves out what was not acknowledged.
TEST(FlashRun, LoaderRows) {
  const std::string intelHex = "[INTELHEX]0001\n" + test::DataFile("srec16_type04.hex");
  const struct {
    const char* legend;
    const char* fault;
    std::string image;
    std::deque<int> answers;
    Texts texts;
    int records;  // programmed by the loader
  } cases[] = {
      {"No to Are you sure", "", kTable, {IDNO}, {msg::kSureToFlash}, 0},
      {"No to Erase and Flash Data?", "", kTable, {IDYES, IDNO}, {msg::kSureToFlash, msg::kEraseAndFlash}, 0},
      {"the erase answered past its bound", "late-reply=5000", kTable, {IDYES, IDYES},
       {msg::kSureToFlash, msg::kEraseAndFlash, msg::kWritingDevice}, 0},
      {"answers stop after two records: the third is not counted", "stop-ack=2", intelHex, {IDYES, IDYES},
       {msg::kSureToFlash, msg::kEraseAndFlash, msg::kWritingDevice, Loaded(18)}, 2},
      {"acknowledged with ##", "hash-ack", kTable, {IDYES, IDYES},
       {msg::kSureToFlash, msg::kEraseAndFlash, Loaded(21)}, 3},
      {"answers late, within the bound", "late-reply=300", kTable, {IDYES, IDYES},
       {msg::kSureToFlash, msg::kEraseAndFlash, Loaded(21)}, 3},
  };
  for (const auto& c : cases) {
    Rig r(Unit(Cable::Data, c.fault), c.answers);
    r.Flash(c.image);
    EXPECT_EQ(r.host.texts, c.texts) << c.legend;
    // The end record, its two zero bytes, then G.
    EXPECT_TRUE(EndsWith(r.port->sent, (c.records ? std::string(":00000001FF\r\n\0\0", 15) : "") + kGo)) << c.legend;
    EXPECT_TRUE(r.port->unit.Streaming() && !r.port->unit.LoaderOpen()) << c.legend << ": the unit streams again";
    EXPECT_EQ(r.port->unit.loader().RecordsWritten(), c.records) << c.legend;
    EXPECT_FALSE(r.host.busy) << c.legend;
  }
}

// Through the debugger: after every exit the port is back at the unit's
// rate before "$PZTQC,G" goes.
TEST(FlashRun, DebuggerRows) {
  const std::string hex = test::DataFile("srec16_type02.hex");
  sim::Memory erased;
  erased.fill(0xFF);
  const struct {
    const char* legend;
    const char* fault;
    std::deque<int> answers;
    Texts texts;
    int erases;
  } cases[] = {
      {"No to the debugger's question", "", {IDYES, IDNO},
       {msg::kSureToFlash, msg::kEraseAndFlash, msg::kFlashInit}, 0},
      {"debugger answers after its time-out", "late-reply", {IDYES, IDYES},
       {msg::kSureToFlash, msg::kEraseAndFlash, msg::kReadingData, msg::kFlashInit}, 0},
      {"erase never ends", "erase-hang", {IDYES, IDYES},
       {msg::kSureToFlash, msg::kEraseAndFlash, kOcdVersion, msg::kEraseTimedOut, msg::kFlashInit}, 1},
      {"line dies among the records", "drop-after=600", {IDYES, IDYES},
       {msg::kSureToFlash, msg::kEraseAndFlash, kOcdVersion, msg::kFlashErased, msg::kWritingData}, 1},
      {"echo altered, count right: nothing tests it", "bad-echo", {IDYES, IDYES},
       {msg::kSureToFlash, msg::kEraseAndFlash, kOcdVersion, msg::kFlashErased, CrcText(HexOver(hex, erased)),
        Loaded(770)},
       1},
  };
  for (const auto& c : cases) {
    Rig r(Unit(Cable::Flash, c.fault), c.answers);
    r.Flash("[ZTQFLASH]\n" + hex);
    EXPECT_EQ(r.host.texts, c.texts) << c.legend;
    EXPECT_EQ(r.port->BaudRate(), 4800) << c.legend;
    EXPECT_TRUE(EndsWith(r.port->sent, kGo)) << c.legend;
    EXPECT_EQ(r.port->unit.ocd().MassEraseCount(), c.erases) << c.legend;
  }
}

TEST(FlashRun, PortsAndFilesThatAreNotThere) {
  // A connect that failed leaves no port: every write and setting says so.
  TestHost none(nullptr, {IDYES});
  ProgramImage(none, "[ZTQFLASH]\n:00000001FF\n");
  EXPECT_EQ(none.texts, (Texts{msg::kWritingDevice, msg::kSureToFlash, msg::kConfigurePort, msg::kFlashInit,
                               Format(serial::kWriteFailure, EBADF)}));
  // Only a regular file is read, and nothing named holds the call: a FIFO
  // without a writer once held open() for ever; NUL is a Windows device.
  std::string image;
  TestHost host(nullptr);
  EXPECT_TRUE(ReadImageFile(host, std::string(ORVANTA_SOURCE_DIR) + "/tests/flash/data/srec32.hex", image));
  EXPECT_EQ(image, test::DataFile("srec32.hex"));
  std::vector<std::string> paths = {"", "/nonexistent/image.txt", "/dev/null", "/tmp", "NUL"};
#ifndef _WIN32
  paths.push_back(::testing::TempDir() + "orvanta-" + std::to_string(std::random_device{}()) + ".fifo");
  ASSERT_EQ(mkfifo(paths.back().c_str(), 0600), 0);
#endif
  for (const std::string& path : paths) {
    host.texts.clear();
    EXPECT_FALSE(ReadImageFile(host, path, image)) << path;
    EXPECT_EQ(host.texts, Texts{path.empty() ? msg::kNoFlashPath : msg::kOpenFlashFile}) << path;
  }
#ifndef _WIN32
  std::remove(paths.back().c_str());
#endif
}

// ---- SAVE ----

struct SaveRun : Rig {
  SaveRun(const std::string& fault, std::deque<int> answers, const std::string& name)
      : Rig(Unit(Cable::Flash, fault), std::move(answers)),
        path(::testing::TempDir() + "orvanta-" + std::to_string(std::random_device{}()) + "-" + name) {
    std::remove(path.c_str());
  }
  ~SaveRun() { std::remove(path.c_str()); }
  std::string path;
};

// The file saved over is the old one, whole, unless the read-back succeeded.
TEST(FlashSave, OnlyAWholeReadBackReplacesTheFile) {
  const std::string old = "[ZTQFLASH]\r\n:00000001FF\r\n";
  const struct {
    const char* legend;
    std::string fault;
    Texts texts;
  } cases[] = {
      {"cable returns nothing", "no-echo", {msg::kSaveFlashData, msg::kReadingData}},
      {"echo altered: its data is not saved", "bad-echo", {msg::kSaveFlashData, kOcdVersion, msg::kReadingFlashData}},
      // The opening's 17 bytes, then 4096 records of echo and data.
      {"line dies after the last record: every record was read", "drop-after=" + std::to_string(17 + 4096 * 21),
       {msg::kSaveFlashData, kOcdVersion, msg::kReadingCrcData}},
  };
  for (const auto& c : cases) {
    for (const bool existed : {true, false}) {
      SaveRun r(c.fault, {IDYES}, "old.hex");
      if (existed) {
        std::FILE* f = std::fopen(r.path.c_str(), "wb");
        std::fwrite(old.data(), 1, old.size(), f);
        std::fclose(f);
      }
      SaveFlashFile(r.host, r.path);
      EXPECT_EQ(r.host.texts, c.texts) << c.legend;
      EXPECT_EQ(test::ReadFile(r.path), existed ? old : "") << c.legend;
      EXPECT_FALSE(std::ifstream(r.path + ".part") || (!existed && std::ifstream(r.path)))
          << c.legend << ": nothing left beside it, nor in its place";
      EXPECT_EQ(r.port->BaudRate(), 4800) << c.legend;
    }
  }
}

// The whole memory read back and saved over an old file, as a file FLASH takes.
TEST(FlashSave, WholeReadBackReplacesTheOldFile) {
  SaveRun save("", {IDYES}, "unit.hex");
  std::mt19937 random(42);
  for (uint8_t& byte : save.port->unit.memory()) byte = static_cast<uint8_t>(random());
  const sim::Memory memory = save.port->unit.memory();
  std::FILE* f = std::fopen(save.path.c_str(), "wb");
  std::fclose(f);
  SaveFlashFile(save.host, save.path);
  EXPECT_EQ(save.host.texts, (Texts{msg::kSaveFlashData, kOcdVersion, CrcText(memory)}));
  EXPECT_EQ(save.host.progress.size(), 4096u) << "each record's address shown as it is read";
  EXPECT_EQ(save.host.progress.back(), "FFF0");
  const std::string file = test::ReadFile(save.path);
  EXPECT_TRUE(HexOver(file, sim::Memory{}) == memory) << "--memory reads a read-back file";
  ImagePlan plan;
  EXPECT_EQ(CheckImage(file, plan).message, "") << "FLASH takes it";
}

// ---- The debugger link's own rules ----

TEST(OcdLink, SettingsInOrderBreakWhileAskingNoPutsTheRateBack) {
  const struct {
    const char* legend;
    OcdOrder order;
    bool failBaud, failTimeouts;
    std::deque<int> answers;
    Texts texts;
    Texts log;
  } cases[] = {
      {"FLASH: baud rate first", OcdOrder::BaudRateFirst, false, false, {IDNO}, {msg::kEraseAndFlash},
       {"baud 57600", "timeouts", "break on", "break off", "baud 4800"}},
      {"SAVE: time-outs first", OcdOrder::TimeoutsFirst, false, false, {IDNO}, {msg::kEraseAndFlash},
       {"timeouts", "baud 57600", "break on", "break off", "baud 4800"}},
      {"baud first, rate refused", OcdOrder::BaudRateFirst, true, false, {}, {msg::kConfigurePort}, {"baud 57600"}},
      {"time-outs first, refused", OcdOrder::TimeoutsFirst, false, true, {}, {msg::kSetTimeouts}, {"timeouts"}},
  };
  for (const auto& c : cases) {
    Rig r(Unit(Cable::Flash, "no-echo"), c.answers);
    r.port->failBaud = c.failBaud;
    r.port->failTimeouts = c.failTimeouts;
    bool breakWhileAsked = false;
    r.host.onMessage = [&](const std::string&) { breakWhileAsked = r.port->log.back() == "break on"; };
    EXPECT_FALSE(OcdLink(r.host).Open(msg::kEraseAndFlash, c.order)) << c.legend;
    EXPECT_EQ(r.host.texts, c.texts) << c.legend;
    EXPECT_EQ(r.port->log, c.log) << c.legend;
    EXPECT_EQ(breakWhileAsked, !c.answers.empty()) << c.legend;
    EXPECT_EQ(r.port->sent, "") << c.legend;
  }
  Rig r(Unit(Cable::Flash), {IDNO});
  OcdLink(r.host).Open(msg::kSaveFlashData, OcdOrder::TimeoutsFirst);
  EXPECT_EQ(r.port->GetTimeouts().ReadTotalMs(21), 121) << "the debugger's 100 + n ms stay";
}

// 100 bytes stuck in the output queue at 57600: their wire time and the
// allowance, then the wait gives up.
TEST(OcdLink, OutputThatNeverDrainsIsGivenUpWithinItsBound) {
  const auto bound = std::chrono::milliseconds(DrainBoundMs(100, 57600));
  Rig r(Unit(Cable::Flash), {});
  r.port->stuckOut = 100;
  OcdLink link(r.host);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(link.Open(msg::kEraseAndFlash, OcdOrder::BaudRateFirst));
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(r.host.texts, Texts{msg::kSendTimedOut});
  EXPECT_GE(took, bound);
  EXPECT_LT(took, bound + std::chrono::seconds(2));
  unsigned char buffer[kOcdBufferSize] = {0x05};
  EXPECT_EQ(link.Exchange(buffer, 1, 2), ETIMEDOUT);
  r.port->failCounts = true;
  EXPECT_NE(link.Exchange(buffer, 1, 2), 0) << "counts that cannot be read are a failure";
}

}  // namespace
}  // namespace orv::flash
