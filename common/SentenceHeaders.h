#pragma once
// The headers of the seven sentence types the display decodes. The decoder
// finds its sentences by them and the raw monitor counts the stream by them,
// in this order, so the two cannot disagree about what is shown.
#include <array>
#include <cstddef>

namespace orv {

enum class SentenceType { Xdr, Mtw, Dbt, Vlw, Vhw, Rmc, Gll };
inline constexpr int kSentenceTypes = 7;

inline constexpr std::array<const char*, kSentenceTypes> kSentenceHeaders = {
    "$IIXDR,", "$SDMTW,", "$SDDBT,", "$SDVLW,", "$SDVHW,", "$GPRMC,", "$GPGLL,"};

constexpr const char* HeaderOf(SentenceType type) { return kSentenceHeaders[static_cast<std::size_t>(type)]; }

}  // namespace orv
