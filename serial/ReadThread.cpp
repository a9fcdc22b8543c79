#include "app/ViewerDlg.h"
unsigned CViewerDlg::ReadThreadProc(CViewerDlg*) { return 0; }
void CViewerDlg::EndReadThread() {}
