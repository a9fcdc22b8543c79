// The display filled from the unit's stream equals what the decoder makes
// of the same 300-byte blocks: quorvel-sim replays a known file, which it
// starts with the first G command, so the window's blocks begin at the
// file's first byte.
#include <gtest/gtest.h>

#include "LiveStream.h"
#include "SimProcess.h"
#include "WindowFixture.h"

namespace {

TEST(LiveDisplay, EachDisplayTypeShowsWhatTheDecoderMakesOfTheBlocks) {
  const std::string stream = KnownStream(6);
  for (int type = 0; type < orv::kPages; ++type) {
    WindowFixture w;
    const std::string replay = WriteFile(w.workDir.path() + "/replay.nmea", stream);
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--replay", replay, "--baud", "230400"}));
    w.resolve = [&](const std::string&) { return sim.SlavePath(); };
    w.dlg->m_nBaudRate = 230400;
    for (int i = 0; i < type; ++i) w.dlg->OnDisplay();
    w.dlg->OnConnect();
    ExpectDisplay(*w.dlg, DecodedStream(stream, type), orv::kDisplayTypeName[type]);
    EXPECT_EQ(w.CaptionStatus(), "ECO RUN");
    w.dlg->OnConnect();
  }
}

}  // namespace
