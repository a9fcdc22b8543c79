#include "serial/StatusText.h"

#include "common/Text.h"

namespace orv {

std::optional<std::string> StatusTextOf(const std::string& block) {
  const int i = Find(block, "$PZTQS,");
  if (i < 0) return std::string(kNoStatusText);
  if (!(i + 17 < static_cast<int>(block.size()))) return std::nullopt;
  const std::string field = Mid(block, i + 7, 10);
  const int comma = Find(field, ',');
  return comma < 0 ? std::string() : Left(field, comma);
}

}  // namespace orv
