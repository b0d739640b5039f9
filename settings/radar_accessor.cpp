#include "settings/radar_accessor.h"

#include "host/radar_service.h"
#include "module/service_libraries.h"

SorVikRadar* LoadedServiceRadar() {
  VKSorVikAPI* service = GetSorVikService();
  return service ? service->GetRadar() : nullptr;
}
