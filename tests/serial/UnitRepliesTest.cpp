// What the window makes of the unit's bytes: the status text in the caption
// and the acknowledgement of an echoed write.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "serial/StatusText.h"
#include "serial/UnitCommands.h"

namespace {

TEST(StatusText, FromTheStatusSentence) {
  const std::string pad(40, '.');
  const struct {
    const char* legend;
    std::string block;
    std::optional<std::string> status;  // empty: the previous status stays
  } cases[] = {
      {"no tag", pad + "$IIXDR,C,0071.5,C,ENGTMP3*65", std::string("recieving..")},
      {"a field of 9 followed by a comma", "$PZTQS,DEPTH OFF,V1.42*00" + pad, std::string("DEPTH OFF")},
      {"ten characters and no comma among them", "$PZTQS,ABCDEFGHIJ,V1*00" + pad, std::string("")},
      {"an empty field", "$PZTQS,,V1.42*00" + pad, std::string("")},
      {"17 characters from the $ to the end", pad + "$PZTQS,RUN,V1.42*", std::nullopt},
      {"18 characters from the $ to the end", pad + "$PZTQS,RUN,V1.42*1", std::string("RUN")},
      {"the first tag counts", "$PZTQS,ONE,1*00\r\n$PZTQS,TWO,1*00" + pad, std::string("ONE")},
  };
  for (const auto& c : cases) EXPECT_EQ(orv::StatusTextOf(c.block), c.status) << c.legend;
}

TEST(Acknowledgement, HashesOrBytesThreeToSix) {
  const struct {
    const char* legend;
    std::string sent;
    std::string reply;  // six bytes
    bool accepted;
  } cases[] = {
      {"bytes 3 to 6 repeated, the last two differ", ":101A0000", "1A00XY", true},
      {"two hashes, whatever follows", ":10000000", "##zzzz", true},
      {"one hash", ":10000000", "#0000\r", false},
      {"page-range command of seven bytes", "  *0410", "0410\r\n", true},
      {"a message too short to have bytes 3 to 6", "  *04", "04\r\n\r\n", false},
  };
  for (const auto& c : cases) {
    unsigned char reply[6];
    ASSERT_EQ(c.reply.size(), sizeof reply) << c.legend;
    c.reply.copy(reinterpret_cast<char*>(reply), sizeof reply);
    const auto* sent = reinterpret_cast<const unsigned char*>(c.sent.data());
    EXPECT_EQ(orv::AcknowledgementMatches(sent, static_cast<int>(c.sent.size()), reply), c.accepted) << c.legend;
  }
}

}  // namespace
