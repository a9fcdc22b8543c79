#include "app/ViewerDlg.h"
bool CViewerDlg::FlashInit() { return false; }
void CViewerDlg::OnFlash() {}
