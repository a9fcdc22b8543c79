#include "app/ViewerDlg.h"
int CViewerDlg::WritePort(const unsigned char*, int, unsigned char) { return 1; }
void CViewerDlg::OnStop() {}
void CViewerDlg::OnPage() {}
void CViewerDlg::SendCommandG() {}
