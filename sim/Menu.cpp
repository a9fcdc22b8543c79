#include "sim/Menu.h"

namespace orv::sim {

namespace {

constexpr int kRun = -1;
constexpr int kExit = 4;
constexpr std::array<const char*, 4> kGroupNames = {"DEPTH", "SPEED", "XDR", "GPS"};

}  // namespace

Menu::Menu() { Show(); }

void Menu::Scroll() {
  item_ = item_ == kExit ? 0 : item_ + 1;
  Show();
}

void Menu::Select() {
  if (item_ == kRun) return;
  if (item_ == kExit) {
    item_ = kRun;
  } else {
    enabled_[static_cast<size_t>(item_)] = !enabled_[static_cast<size_t>(item_)];
  }
  Show();
}

void Menu::Show() {
  if (item_ == kRun) {
    text_ = "RUN";
  } else if (item_ == kExit) {
    text_ = "EXIT";
  } else {
    const size_t i = static_cast<size_t>(item_);
    text_ = std::string(kGroupNames[i]) + (enabled_[i] ? " ON" : " OFF");
  }
}

}  // namespace orv::sim
