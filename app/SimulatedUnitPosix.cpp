#include "app/SimulatedUnit.h"

#include "sim/PtyHost.h"

namespace {

class PtyUnit final : public SimulatedUnit {
 public:
  explicit PtyUnit(orv::sim::UnitOptions unit) : host_(std::move(unit), orv::sim::HostOptions{}) {}

  bool Start(std::string& error) { return host_.Start(error); }
  std::string Path() const override { return host_.SlavePath(); }
  void Stop() override { host_.Stop(); }

 private:
  orv::sim::PtyHost host_;
};

}  // namespace

std::unique_ptr<SimulatedUnit> SimulatedUnit::Start(bool flashCable, std::string& error) {
  orv::sim::UnitOptions unit;
  unit.cable = flashCable ? orv::sim::Cable::Flash : orv::sim::Cable::Data;
  auto simulated = std::make_unique<PtyUnit>(std::move(unit));
  if (!simulated->Start(error)) return nullptr;
  return simulated;
}
