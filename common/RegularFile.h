#pragma once
// Opening a file the user named (page file, flash image) for reading without
// ever blocking on it. A FIFO, a terminal or a device named by mistake would
// hold the window thread in open() or in the first read for as long as no
// writer comes; only a regular file is taken.
#include <cstdio>
#include <string>

namespace orv {

// The open stream, or null with `error` set to the system's error number
// (ENOENT, EACCES, ...) or, for anything that is not a regular file, EINVAL.
// `mode` is an fopen read mode ("r" or "rb").
std::FILE* OpenRegularFile(const std::string& path, const char* mode, int& error);

}  // namespace orv
