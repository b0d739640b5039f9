#pragma once
// The radar service object the host reaches through the library's entry function: it reads the
// simulator's configuration at every Open and hands out the one simulated radar.
#include <mutex>

#include "host/radar_service.h"
#include "services/radar/radar_simulator.h"
#include "services/radar/simulator_config.h"

namespace radarsim {

// Open's answer to a null mode flag.
constexpr int kOpenBadArgument = -2;

class SimulatedRadarService final : public VKSorVikAPI {
public:
  SimulatedRadarService();
  ~SimulatedRadarService() = default;

  // *imoMode non-zero opens the type-approved mode; a null flag is refused with kOpenBadArgument.
  int Open(int* imoMode) override;
  SorVikRadar* GetRadar() override { return &radar_; }
  void GetRadarIdentity(CString& maker, CString& name, CString& model, CString& serial, CString& software,
                        CString& hardware) override;

private:
  RadarSimulator radar_;
  std::mutex configMutex_;
  SimulatorConfig config_;
};

}  // namespace radarsim
