#pragma once
// A main window joined to a simulated unit on a real pseudo-terminal, with
// what the flash tests look at: the messages, the progress rows the window
// painted, the time a run took, the unit's memory.
#include <QEvent>
#include <QObject>
#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "SimProcess.h"
#include "WindowFixture.h"
#include "sim/PtyHost.h"

namespace flashtest {

using Memory = std::array<uint8_t, 0x10000>;

std::string ReadFile(const std::string& path);
bool WriteFile(const std::string& path, const std::string& content);
// A file of tests/flash/data.
std::string DataFile(const char* name);

// 64 KiB of reproducible noise.
Memory RandomMemory(uint32_t seed);
Memory ErasedMemory();
// The memory the simulator's own Intel HEX reader makes of `text` over `memory`.
Memory HexOver(const std::string& text, Memory memory);
// The 64 KiB the simulator dumped, or an empty vector.
std::vector<uint8_t> Bytes(const Memory& memory);

bool HaveSrecCat();

// Row 0 as the window painted it, each distinct state once in order, kept
// only while it reads "FLASH " and four characters.
class ProgressRecorder : public QObject {
 public:
  explicit ProgressRecorder(CViewerDlg* dlg);
  ~ProgressRecorder() override;
  std::vector<std::string> rows;
  // Called with each new row as it is recorded.
  std::function<void(const std::string&)> onRow;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  CViewerDlg* dlg_;
};

// The progress rows an image's lines give, duplicates in a row merged.
std::vector<std::string> ProgressOf(const std::vector<std::string>& addresses);

struct Session {
  // Takes a simulated unit served in this process (counters and memory are
  // at hand through host.WithUnit).
  explicit Session(const orv::sim::UnitOptions& unit, bool pacing = false);
  // Takes quorvel-sim as its own process with these arguments.
  explicit Session(const std::vector<std::string>& simArgs);

  bool Connect(int baud = 4800);
  // FLASH with this path in the file dialog and these answers; seconds taken.
  double Flash(const std::string& path, std::vector<int> answers = {});
  // SAVE with this path; seconds taken.
  double Save(const std::string& path, std::vector<int> answers = {});
  std::string Path(const std::string& name) const;

  std::vector<std::string> Texts() const { return w.modal.Texts(); }
  int Baud() const;
  bool OcdTimeouts() const;
  Memory UnitMemory();
  bool InDebugMode();

  // What the window can see of its input queue.
  int InQueue() const;

  std::unique_ptr<orv::sim::PtyHost> host;
  SimProcess sim;
  // A FLASH cable that returns what the PC sends.
  bool echoes = false;
  // Called after each message box, once the session has let the line
  // settle (see Session::Settle).
  std::function<void(const ShownMessage&)> onMessage;
  WindowFixture w;
  ProgressRecorder progress{w.dlg.get()};
  bool started = false;
  // Bytes queued for the window when the last FLASH began.
  int inQueueBefore = 0;
  // Has the unit taken in everything the window sent so far? Scrolls the
  // unit's menu and waits (bounded) to see it move: the unit reads its
  // line in order. Data cable only.
  bool UnitHasHeardAll();

 private:
  void Settle(const ShownMessage& m);
};

}  // namespace flashtest
