#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "common/RegularFile.h"

namespace {

// Whatever is named, the call returns at once: a FIFO with no writer is the
// case that used to hold the caller in open() for ever.
TEST(RegularFile, OnlyARegularFileOpensAndNothingBlocks) {
  char dir[] = "/tmp/orv-regular-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string base = dir;
  const std::string plain = base + "/plain.txt", fifo = base + "/fifo.txt";
  std::FILE* f = std::fopen(plain.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fputs("line\n", f);
  std::fclose(f);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

  const struct {
    const char* legend;
    std::string path;
    int error;  // 0: opens
  } cases[] = {
      {"regular file", plain, 0},
      {"FIFO without a writer", fifo, EINVAL},
      {"directory", base, EINVAL},
      {"missing", base + "/none.txt", ENOENT},
      {"character device", "/dev/null", EINVAL},
  };
  for (const auto& c : cases) {
    int error = 0;
    std::FILE* file = orv::OpenRegularFile(c.path, "r", error);
    EXPECT_EQ(file != nullptr, c.error == 0) << c.legend;
    if (file) {
      char line[16] = {};
      EXPECT_NE(std::fgets(line, sizeof line, file), nullptr) << c.legend << ": reads after the flag is cleared";
      std::fclose(file);
    } else {
      EXPECT_EQ(error, c.error) << c.legend;
    }
  }
  unlink(fifo.c_str());
  unlink(plain.c_str());
  rmdir(dir);
}

}  // namespace
