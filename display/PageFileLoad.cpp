// Loading the page table from "Quorvel_Page_File.txt" in the current
// directory, once at start-up.
#include <cerrno>
#include <cstdio>

#include "app/ViewerDlg.h"
#include "common/LineReader.h"
#include "common/RegularFile.h"
#include "display/PageFile.h"

bool CViewerDlg::LoadPageFile() {
  int error = 0;
  std::FILE* file = orv::OpenRegularFile(orv::kPageFileName, "r", error);
  if (!file) {
    // A FIFO, a device or a directory under the page file's name would
    // block start-up or fail every read: it is refused as a file that
    // cannot be read. A missing or forbidden file is silently not used.
    if (error != EINVAL) return false;
    Message("Error Reading from file");
    return true;
  }

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
