#include "app/ViewerDlg.h"
bool CViewerDlg::SaveFlashData(std::FILE*) { return false; }
