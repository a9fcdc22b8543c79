#pragma once
// The program's pictures as pixels, decoded from res/png when the program
// is built (res/tools/PackPictures.cpp).
#include <cstddef>
#include <cstdint>

namespace res {

struct PackedPicture {
  const char* file;  // its name in res/png: "background.png"
  int width;
  int height;
  bool alpha;                   // premultiplied ARGB32 when true, RGB32 otherwise
  const std::uint32_t* pixels;  // width x height, rows top to bottom
};

extern const PackedPicture kPacked[];
extern const std::size_t kPackedCount;

}  // namespace res
