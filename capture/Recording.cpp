#include "app/ViewerDlg.h"
void CViewerDlg::OnRecord() {}
bool CViewerDlg::WriteCaptureRecord(int) { return false; }
bool CViewerDlg::CloseCaptureFile() { return true; }
void CViewerDlg::StopRecording() {}
void CViewerDlg::OnSave() {}
