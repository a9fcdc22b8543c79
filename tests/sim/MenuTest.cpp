// The unit's buttons, pressed from the PC with "$PZTQC,S" and "$PZTQC,N".
#include <gtest/gtest.h>

#include "UnitDriver.h"
#include "sim/Menu.h"
#include "sim/Unit.h"

namespace orv::sim::test {
namespace {

std::string Commands(const std::string& letters) {
  std::string bytes;
  for (const char c : letters) bytes += std::string("$PZTQC,") + c;
  return bytes;
}

TEST(MenuTest, ButtonsMoveThroughTheMenu) {
  struct Case {
    const char* presses;  // N = SCROLL, S = SELECT
    const char* status;
  } cases[] = {
      {"", "RUN"},
      {"S", "RUN"},
      {"N", "DEPTH ON"},
      {"NS", "DEPTH OFF"},
      {"NSS", "DEPTH ON"},
      {"NN", "SPEED ON"},
      {"NNS", "SPEED OFF"},
      {"NNN", "XDR ON"},
      {"NNNN", "GPS ON"},
      {"NNNNS", "GPS OFF"},
      {"NNNNN", "EXIT"},
      {"NNNNNS", "RUN"},
      {"NNNNNN", "DEPTH ON"},
      {"NSNNNNN", "DEPTH OFF"},
      {"NSNNNNSN", "DEPTH OFF"},
  };
  for (const Case& c : cases) {
    Menu menu;
    for (const char* p = c.presses; *p != 0; ++p) {
      if (*p == 'N') menu.Scroll();
      if (*p == 'S') menu.Select();
    }
    EXPECT_EQ(menu.StatusText(), c.status) << "presses " << c.presses;
    EXPECT_LE(menu.StatusText().size(), 9u) << "presses " << c.presses;
  }
}

TEST(MenuTest, CommandsReachTheMenuThroughTheLine) {
  struct Case {
    const char* legend;
    std::string bytes;
    const char* status;
  } cases[] = {
      {"scroll", Commands("N"), "DEPTH ON"},
      {"scroll, select", Commands("NS"), "DEPTH OFF"},
      {"junk around a command", "abc$PZ$PZTQC,N\r\nxyz", "DEPTH ON"},
      {"a broken command", "$PZTQ,N$PZTQCN", "RUN"},
      {"lower case letter", "$PZTQC,n", "RUN"},
      {"three connects' G", Commands("GGG"), "RUN"},
  };
  for (const Case& c : cases) {
    Unit unit(UnitOptions{});
    UnitDriver driver(unit);
    driver.Send(c.bytes);
    EXPECT_EQ(unit.StatusText(), c.status) << c.legend;
  }
}

TEST(MenuTest, ACommandSplitAcrossReadsCounts) {
  Unit unit(UnitOptions{});
  UnitDriver driver(unit);
  for (const char c : Commands("NS")) driver.Send(std::string(1, c));
  EXPECT_EQ(unit.StatusText(), "DEPTH OFF");
}

TEST(MenuTest, StatusSentenceShowsTheMenuState) {
  Unit unit(UnitOptions{});
  UnitDriver driver(unit);
  driver.Run(3000);
  driver.Send(Commands("NN"));
  driver.Run(1000);  // what was already on its way
  const std::string after = driver.Run(3000);
  EXPECT_NE(after.find("$PZTQS,SPEED ON,"), std::string::npos);
  EXPECT_EQ(after.find("$PZTQS,RUN,"), std::string::npos);
}

TEST(MenuTest, SwitchingAGroupOffTakesItsSentencesOut) {
  struct Case {
    const char* presses;
    std::vector<std::string> gone;
  } cases[] = {
      {"NS", {"$SDDBT,", "$SDMTW,"}},
      {"NNS", {"$SDVHW,", "$SDVLW,"}},
      {"NNNS", {"$IIXDR,"}},
      {"NNNNS", {"$GPRMC,", "$GPGLL,"}},
  };
  for (const Case& c : cases) {
    Unit unit(UnitOptions{});
    UnitDriver driver(unit);
    driver.Send(Commands(c.presses));
    driver.Run(1000);
    const std::string after = driver.Run(6000);
    for (const std::string& header : c.gone) {
      EXPECT_EQ(after.find(header), std::string::npos) << c.presses << " " << header;
    }
    EXPECT_NE(after.find("$PZTQS,"), std::string::npos) << c.presses;
    // Switched on again, they come back.
    driver.Send(Commands("S"));
    driver.Run(1000);
    const std::string again = driver.Run(6000);
    for (const std::string& header : c.gone) {
      EXPECT_NE(again.find(header), std::string::npos) << c.presses << " " << header;
    }
  }
}

TEST(MenuTest, CommandsAtAnotherRateAreNotUnderstood) {
  Unit unit(UnitOptions{});
  UnitDriver driver(unit, 9600);
  driver.Send(Commands("N"));
  EXPECT_EQ(unit.StatusText(), "RUN");
  // Garbage in the middle of a command breaks it, as on a real line.
  driver.SetPcBaud(4800);
  driver.Send("$PZT");
  driver.SetPcBaud(9600);
  driver.Send("x");
  driver.SetPcBaud(4800);
  driver.Send("QC,N");
  EXPECT_EQ(unit.StatusText(), "RUN");
}

}  // namespace
}  // namespace orv::sim::test
