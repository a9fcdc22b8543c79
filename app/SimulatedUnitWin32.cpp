#include "app/SimulatedUnit.h"

std::unique_ptr<SimulatedUnit> SimulatedUnit::Start(bool, std::string& error) {
  error = "it needs a pseudo-terminal, which Windows does not have";
  return nullptr;
}
