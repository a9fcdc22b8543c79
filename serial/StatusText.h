#pragma once
// The unit's status sentence carries its status text as the first field:
//
//   $PZTQS,RUN,...*hh
//
// The caption shows that text. The rule is the unit tools' own, quirks
// included: the tag must start more than 17 characters before the end of
// the block, and the text is what comes before the first comma among the
// 10 characters after the tag (nothing when there is no comma there).
#include <optional>
#include <string>

namespace orv {

constexpr const char* kNoStatusText = "recieving..";

// The new status text for a block, or nothing when the block leaves the
// previous one in place.
std::optional<std::string> StatusTextOf(const std::string& block);

}  // namespace orv
