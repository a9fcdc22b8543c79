#pragma once
// What every flash test checks of the messages a run showed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScriptedModal.h"
#include "flash/Messages.h"

namespace flashtest {

// Questions and progress reports carry "Status", everything else "Error".
inline std::string CaptionOf(const std::string& text) {
  namespace msg = orv::flash::msg;
  const char* status[] = {msg::kSureToFlash, msg::kEraseAndFlash, msg::kSaveFlashData, msg::kFlashErased,
                          "OCD VERSION: ", "FLASH CRC: ", "Loaded Flash: bytes ="};
  for (const char* s : status) {
    if (text.compare(0, std::string(s).size(), s) == 0) return msg::kCaptionStatus;
  }
  return msg::kCaptionError;
}

inline bool IsQuestion(const std::string& text) {
  namespace msg = orv::flash::msg;
  return text == msg::kSureToFlash || text == msg::kEraseAndFlash || text == msg::kSaveFlashData;
}

// The texts in order, each with its caption and buttons, and no question
// the test did not script an answer for.
inline void ExpectMessages(const ScriptedModal& modal, const std::vector<std::string>& expected,
                           const std::string& legend = "") {
  EXPECT_EQ(modal.Texts(), expected) << legend;
  for (const ShownMessage& m : modal.messages) {
    EXPECT_EQ(m.caption, CaptionOf(m.text)) << legend << ": " << m.text;
    EXPECT_EQ(m.buttons, IsQuestion(m.text) ? Buttons::YesNo : Buttons::Ok) << legend << ": " << m.text;
  }
  EXPECT_TRUE(modal.unexpected.empty()) << legend << ": unscripted question " << modal.unexpected.front();
  EXPECT_TRUE(modal.answers.empty()) << legend << ": " << modal.answers.size() << " answers left over";
}

}  // namespace flashtest
