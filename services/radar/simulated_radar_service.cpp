#include "services/radar/simulated_radar_service.h"

namespace radarsim {

SimulatedRadarService::SimulatedRadarService() : config_(LoadSimulatorConfig()) {}

int SimulatedRadarService::Open(int* imoMode) {
  if (!imoMode) return kOpenBadArgument;
  const SimulatorConfig config = LoadSimulatorConfig();
  {
    std::lock_guard lock(configMutex_);
    config_ = config;
  }
  return radar_.Open(config, *imoMode != 0);
}

void SimulatedRadarService::GetRadarIdentity(CString& maker, CString& name, CString& model, CString& serial,
                                             CString& software, CString& hardware) {
  std::lock_guard lock(configMutex_);
  maker = "SIMULATION";
  name = config_.radarName.c_str();
  model.Format("SIM-%d", config_.model);
  serial.Format("%08llX", static_cast<unsigned long long>(config_.seed & 0xFFFFFFFFull));
  software = "1.0";
  hardware = config_.source == SimulatorConfig::Source::kReplay ? "REPLAY" : "SIMULATED";
}

}  // namespace radarsim
