// Loading the page table from "Quorvel_Page_File.txt" in the current
// directory, once at start-up.
#include <cstdio>

#include "app/ViewerDlg.h"
#include "common/LineReader.h"
#include "display/PageFile.h"

bool CViewerDlg::LoadPageFile() {
  std::FILE* file = std::fopen(orv::kPageFileName, "r");
  if (!file) return false;

  orv::LineReader reader(file);
  std::string line;
  bool readError = false;
  // There are four pages; reading stops after the fourth line, so a longer
  // file can never write past them.
  for (int page = 0; page < orv::kPages; ++page) {
    const orv::LineStatus status = reader.Next(line);
    if (status == orv::LineStatus::End) break;
    if (status == orv::LineStatus::Error) {
      Message("Error Reading from file");
      readError = true;
      break;
    }
    std::lock_guard<std::mutex> lock(m_lock);
    orv::ApplyPageLine(m_model, page, line);
  }
  if (std::fclose(file) != 0 && readError) Message("Could not Close File");
  return true;
}
