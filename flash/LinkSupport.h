#pragma once
// What the FLASH run and the read-back share on top of the window's OCD
// link: the exchange buffer, one catalogue command in and its reply out,
// the bounded wait for an empty output queue, putting the connection's
// rate back, and the progress row.
#include <array>
#include <string>

#include "app/ViewerDlg.h"
#include "flash/OcdCommands.h"
#include "serial/Drain.h"

namespace orv::flash {

using orv::serial::Drain;
using orv::serial::DrainOutput;

using OcdBuffer = std::array<unsigned char, kOcdBufferSize>;

// The port as it stands (empty when none is open) and the connection's rate.
PortHandle PortOf(CViewerDlg& dlg);
int ConnectionBaudRate(CViewerDlg& dlg);

// Puts `command` into `buffer` and exchanges it (CViewerDlg::OcdExchange):
// 0 when the command went out and its full reply came back.
int Exchange(CViewerDlg& dlg, const OcdCommand& command, OcdBuffer& buffer);

// The connection's rate back on the port; false when that fails.
bool RestoreBaudRate(CViewerDlg& dlg);

// F L A S H and the four address characters in row 0, and a repaint of the
// cells only.
void ShowProgress(CViewerDlg& dlg, const std::string& address);

}  // namespace orv::flash
