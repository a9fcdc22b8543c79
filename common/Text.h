#pragma once
// Text in this program is 8-bit bytes held in std::string; positions count
// from 0 and a failed search gives -1, as the unit's own tools count them.
#include <string>

namespace orv {

// printf-style formatting into a std::string.
std::string Format(const char* fmt, ...)
#if defined(__MINGW32__)
    // libstdc++ picks MinGW's C99 printf family (%zu, %lld), not the
    // Microsoft runtime's, so the checks are the GNU ones.
    __attribute__((format(gnu_printf, 1, 2)))
#elif defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Position of `what` in `text` at or after `from`, or -1.
int Find(const std::string& text, const std::string& what, int from = 0);
int Find(const std::string& text, char what, int from = 0);

// Substrings that clamp to the text instead of throwing.
std::string Mid(const std::string& text, int from, int count = -1);
std::string Left(const std::string& text, int count);

// The text up to its first zero byte: a NUL ends a block of received bytes.
std::string UpToNul(const char* data, int size);

}  // namespace orv
