#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "common/RegularFile.h"

namespace {

namespace fs = std::filesystem;

// Whatever is named, the call returns at once: a FIFO with no writer is the
// case that used to hold the caller in open() for ever.
TEST(RegularFile, OnlyARegularFileOpensAndNothingBlocks) {
  const fs::path dir = fs::temp_directory_path() / ("orv-regular-" + std::to_string(std::rand()));
  ASSERT_TRUE(fs::create_directory(dir)) << dir;
  const std::string base = dir.string();
  const std::string plain = (dir / "plain.txt").string();
  std::ofstream(plain) << "line\n";

  struct Case {
    const char* legend;
    std::string path;
    int error;  // 0: opens; -1: refused with whatever number the C library gives
  };
  std::vector<Case> cases = {
      {"regular file", plain, 0},
      {"directory", base, EINVAL},
      {"missing", (dir / "none.txt").string(), ENOENT},
  };
#ifdef _WIN32
  // The C library's stat does not find device names at all.
  cases.push_back({"device name", "NUL", -1});
#else
  const std::string fifo = (dir / "fifo.txt").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  cases.push_back({"FIFO without a writer", fifo, EINVAL});
  cases.push_back({"character device", "/dev/null", EINVAL});
#endif
  for (const Case& c : cases) {
    int error = 0;
    std::FILE* file = orv::OpenRegularFile(c.path, "r", error);
    EXPECT_EQ(file != nullptr, c.error == 0) << c.legend;
    if (file) {
      char line[16] = {};
      EXPECT_NE(std::fgets(line, sizeof line, file), nullptr) << c.legend << ": reads after the flag is cleared";
      std::fclose(file);
    } else {
      EXPECT_TRUE(c.error == -1 ? error != 0 : error == c.error) << c.legend << ": error " << error;
    }
  }
  fs::remove_all(dir);
}

}  // namespace
