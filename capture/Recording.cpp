// RECORD, the capture records the receive thread writes, and SAVE.
//
// A record write (receive thread) and a close (window thread) both hold
// m_captureLock, so one never runs into the other. Message boxes the
// receive thread needs are shown by the window thread.
#include <filesystem>

#include "app/Platform.h"
#include "app/ViewerDlg.h"
#include "capture/CaptureRecord.h"
#include "common/Text.h"
#include "flash/FlashReadback.h"
#include "flash/WindowFlash.h"
#include "serial/LinkCaption.h"

namespace {

constexpr int kCaptureBufferSize = 100;
// How far the numbered names beside a kept capture file go.
constexpr int kMostNumberedFiles = 999;

// The extension of the file name part of `path`, without the dot.
std::string ExtensionOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::string();
  return path.substr(dot + 1);
}

}  // namespace

void CViewerDlg::OnRecord() {
  std::unique_lock<std::mutex> capture(m_captureLock);
  m_nRecordCount = 0;
  if (!m_bConnected) {
    // A recording left running by a disconnect is closed here rather than
    // only switched off: a file left open would be truncated by the next
    // start while still holding unwritten records.
    const bool wasRecording = m_bRecording || m_pCaptureFile;
    m_bRecording = false;
    capture.unlock();
    if (wasRecording) StopRecording();
    return;
  }
  if (m_strCaptureFile.empty()) {
    m_bRecording = false;
    capture.unlock();
    Message("No Capture file path specified");
    return;
  }
  if (m_bRecording) {
    capture.unlock();
    StopRecording();
    return;
  }
  if (m_pCaptureFile) {
    // Left open by a buffer that could not be set: close it before reopening.
    std::fclose(m_pCaptureFile);
    m_pCaptureFile = nullptr;
  }
  std::string path = m_strCaptureFile;
  capture.unlock();
  if (!KeepEarlierRecords(path)) return;

  capture.lock();
  m_strCaptureFile = path;
  // Binary mode: the record ends in CR LF itself, so the bytes on disk are
  // the same on every platform.
  m_pCaptureFile = std::fopen(path.c_str(), "wb");
  if (!m_pCaptureFile) {
    m_bRecording = false;
    capture.unlock();
    Message("Could not Open Capture File");
    return;
  }
  if (std::setvbuf(m_pCaptureFile, nullptr, _IOFBF, kCaptureBufferSize) != 0) {
    m_bRecording = false;
    capture.unlock();
    Message("Could not set buffer to 0");
    return;
  }
  {
    std::lock_guard<std::mutex> lock(m_lock);
    for (int i = 1; i < orv::kSlots; ++i) m_model.m_strSlotSentence[i].clear();
  }
  m_timeLastRecord = m_env.clock();
  m_btnRecord.LoadBitmaps("RECORDD", "RECORDU");
  m_bRecording = true;
  capture.unlock();
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_strCaptionState = orv::RecordingState(0);
  }
  SetCaption();
  repaint();
}

// A file that holds records is emptied only when the user says so (the
// natural press after a failed write, meant to stop, must not cost the
// capture). Kept, the new recording goes into a new file beside it, which
// stays the capture file from then on. False: nothing is to be recorded.
bool CViewerDlg::KeepEarlierRecords(std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error) || std::filesystem::file_size(path, error) == 0 || error) {
    return true;
  }
  std::string beside;
  for (int n = 2; n <= kMostNumberedFiles && beside.empty(); ++n) {
    const std::string candidate = orv::NumberedBeside(path, n);
    if (!std::filesystem::exists(candidate, error) && !error) beside = candidate;
  }
  std::string question = path + " already holds records. Overwrite it?";
  if (!beside.empty()) question += "\n\nNo keeps them and records into " + beside + ".";
  if (Message(question, "Status", Buttons::YesNo) == IDYES) return true;
  path = beside;
  return !beside.empty();
}

bool CViewerDlg::WriteCaptureRecord(int byteCount) {
  std::unique_lock<std::mutex> capture(m_captureLock);
  if (!m_pCaptureFile || !m_bRecording) return false;

  m_timeNow = m_env.clock();
  const std::tm local = orv::platform::LocalTime(m_timeNow);
  std::string record;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    record = orv::FormatCaptureRecord(local, byteCount, m_model.m_strSlotSentence);
  }

  // Each record is pushed out as it is written, so a record reported
  // written is on disk, and a failure shows at the record that failed.
  const long before = std::ftell(m_pCaptureFile);
  std::fwrite(record.data(), 1, record.size(), m_pCaptureFile);
  std::fflush(m_pCaptureFile);
  if (std::ferror(m_pCaptureFile)) {
    // Cut off what part of the failed record reached the file, so the file
    // ends with the last whole record.
    if (before >= 0) orv::platform::TruncateFile(m_pCaptureFile, before);
    const bool closed = std::fclose(m_pCaptureFile) == 0;
    m_pCaptureFile = nullptr;
    m_bRecording = false;
    const int written = m_nRecordCount;
    capture.unlock();
    OnWindowThread([this, closed, written] {
      Message("Error Writing to file");
      if (!closed) Message("Could not Close File");
      ShowRecordingStopped(written);
    });
    return false;
  }
  const int count = ++m_nRecordCount;
  capture.unlock();
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_strCaptionState = orv::RecordingState(count);
  }
  OnWindowThread([this] { SetCaption(); });
  return true;
}

bool CViewerDlg::CloseCaptureFile() {
  std::unique_lock<std::mutex> capture(m_captureLock);
  if (m_pCaptureFile) {
    std::fflush(m_pCaptureFile);
    const bool closed = std::fclose(m_pCaptureFile) == 0;
    m_pCaptureFile = nullptr;
    if (!closed) {
      capture.unlock();
      Message("Could not Close File");
      return false;
    }
  }
  m_bRecording = false;
  return true;
}

void CViewerDlg::StopRecording() {
  CloseCaptureFile();
  {
    std::lock_guard<std::mutex> capture(m_captureLock);
    m_bRecording = false;
  }
  // The state part goes back to what the connection shows; while the line
  // is open that is nothing at all.
  ShowRecordingOff(!m_bConnected ? "disconnected" : m_reconnect ? orv::kWaitingText : "");
}

// After a failed write: the button and the caption say that recording
// stopped, unless the user has started a new one meanwhile.
void CViewerDlg::ShowRecordingStopped(int written) {
  {
    std::lock_guard<std::mutex> capture(m_captureLock);
    if (m_bRecording) return;
  }
  ShowRecordingOff(orv::RecordingStoppedState(written));
}

void CViewerDlg::ShowRecordingOff(const std::string& state) {
  m_btnRecord.LoadBitmaps("RECORDU", "RECORDD");
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_strCaptionState = state;
  }
  SetCaption();
  repaint();
}

void CViewerDlg::OnSave() {
  FileDialogRequest request;
  request.open = false;
  request.defaultExt = "txt";
  request.initialName = "Quorvel_Capture";
  request.filter = "Text Files (*.txt)|*.txt|HEX Files (*.hex)|*.hex||";
  const std::string path = m_env.modal->FileDialog(this, request);
  const std::string ext = ExtensionOf(path);

  if (ext == "txt") {
    // Takes effect at the next start of recording.
    std::lock_guard<std::mutex> capture(m_captureLock);
    m_strCaptureFile = path;
    return;
  }
  if (ext == "hex") {
    m_strFlashSaveFile = path;
    if (m_strFlashSaveFile.empty()) return;
    RequestRepaint(true);
    WindowFlashHost host(*this);
    orv::flash::SaveFlashFile(host, m_strFlashSaveFile);
    return;
  }
  Message("File type must be *.txt or *.hex");
}
