#include "app/ViewerDlg.h"
bool CViewerDlg::OpenPort(const std::string&) { return false; }
bool CViewerDlg::ClosePort(PortHandle) { return false; }
void CViewerDlg::OnConnect() {}
