// The calls each platform spells its own way, on the platform that builds
// them: the Windows ones run under Wine.
#include "app/Platform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

// A capture record that failed half-way is cut off again, in the file the
// recorder writes ("wb", its own buffer flushed).
TEST(Platform, TruncateCutsAWrittenFileBackAndLaterWritesFollowOn) {
  const std::string path = (std::filesystem::temp_directory_path() / "orv-platform-truncate.txt").string();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("whole record\npart of a rec", file);
  ASSERT_EQ(std::fflush(file), 0);
  EXPECT_TRUE(orv::platform::TruncateFile(file, 13));
  std::fseek(file, 13, SEEK_SET);
  std::fputs("next\n", file);
  std::fclose(file);

  file = std::fopen(path.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  char text[64] = {};
  const size_t n = std::fread(text, 1, sizeof text - 1, file);
  std::fclose(file);
  EXPECT_EQ(std::string(text, n), "whole record\nnext\n");
  std::remove(path.c_str());
}

}  // namespace
