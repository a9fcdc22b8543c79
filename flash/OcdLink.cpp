#include "app/ViewerDlg.h"
int CViewerDlg::OcdExchange(unsigned char*, int, int) { return 1; }
bool CViewerDlg::OcdOpen(const char*, OcdOrder) { return false; }
