#pragma once
// A main window as start-up leaves it, driven by a scripted modal seam.
#include <QDir>
#include <atomic>
#include <ctime>
#include <QTemporaryDir>
#include <memory>

#include "ScriptedModal.h"
#include "TestEnv.h"
#include "app/ViewerDlg.h"

struct WindowFixture {
  // Starts from an empty settings store unless the test wrote one first
  // (keepSettings), so no test sees what an earlier one left behind.
  // `prepare` runs in the fresh current directory before the window starts.
  explicit WindowFixture(bool show = true, bool keepSettings = false, const std::function<void()>& prepare = {}) {
    if (!keepSettings) ClearTestSettings();
    // Page files and capture files are looked for in the current directory.
    QDir::setCurrent(workDir.path());
    if (prepare) prepare();
    ViewerEnvironment env;
    env.modal = &modal;
    env.resolvePort = [this](const std::string& name) { return resolve ? resolve(name) : "/nonexistent/" + name; };
    // A test that sets `now` drives the recorder's clock itself.
    env.clock = [this] {
      const std::time_t t = now.load();
      return t != 0 ? t : std::time(nullptr);
    };
    dlg = std::make_unique<CViewerDlg>(env);
    dlg->OnInitDialog();
    if (show) dlg->show();
  }
  ~WindowFixture() {
    if (dlg) dlg->done(IDCANCEL);
    dlg.reset();
    QDir::setCurrent(QDir::tempPath());
  }

  // The status part of the caption, read the way the receive thread writes it.
  std::string CaptionStatus() const {
    std::lock_guard<std::mutex> lock(dlg->m_lock);
    return dlg->m_strCaptionStatus;
  }

  QTemporaryDir workDir;
  ScriptedModal modal;
  std::function<std::string(const std::string&)> resolve;
  std::atomic<std::time_t> now{0};
  std::unique_ptr<CViewerDlg> dlg;
};
