// The data module's connection to the radar: opening it, following its sweeps and state changes, and
// disconnecting.
#include <ogrsf_frmts.h>

#include <new>
#include <utility>

#include "common/radar_identity.h"
#include "display/echo_geometry.h"
#include "display/sweep_store.h"
#include "host/host_sink.h"
#include "host/radar_fields.h"
#include "host/radar_service.h"
#include "host/velihm_api.h"
#include "module/module_data_sorvik.h"
#include "module/radar_callbacks.h"
#include "module/service_libraries.h"
#include "settings/field_access.h"
#include "settings/radar_ogr_data_source.h"
#include "settings/radar_ogr_layer.h"

namespace {

constexpr int kOpenResultRadarAbsent = -5;
constexpr std::int32_t kMessageRadarAbsent = 41782;   // 0xA336
constexpr std::int32_t kMessageRadarFailure = 41783;  // 0xA337

void ShowOpenFailure(int result) {
  const std::int32_t message = result == kOpenResultRadarAbsent ? kMessageRadarAbsent : kMessageRadarFailure;
  GetUserInterfaceService()->ShowMessage(message, 1, 0, 0);
}

}  // namespace

bool ModuleDataSorvik::Init(NavigationSource* navigation, HostSink* hostSink, bool imoMode) {
  VKSorVikAPI* service = GetSorVikService();
  int modeFlag = imoMode ? 1 : 0;
  const int result = service->Open(&modeFlag);
  if (result != 0) {
    ShowOpenFailure(result);
  } else {
    ConfigureEchoGeometry(imoMode);
    TheSweepStore().SetShiftSamples(imoMode);
    GetSorVikRadar()->AddSweepCallback(SweepCallback);
    GetSorVikRadar()->AddChangeCallback(ChangeCallback);
    callbacksRegistered_ = true;
    ConnectSettings(navigation, hostSink, imoMode, GetSorVikRadar);
    return true;
  }
  navigationSource_ = navigation;
  sink_ = hostSink;
  return false;
}

void ModuleDataSorvik::ConnectSettings(NavigationSource* navigation, HostSink* hostSink, bool imoMode,
                                       RadarAccessor radar) {
  imoMode_ = imoMode ? 1 : 0;
  // The previous data source (a repeated Init) writes its settings back before the new one reads them.
  SetDataSource(nullptr);
  // Nothing may be thrown across the host interface: without memory the module has no data source.
  SetDataSource(new (std::nothrow) RadarOGRDataSource(imoMode, std::move(radar)));
  navigationSource_ = navigation;
  sink_ = hostSink;
}

void ModuleDataSorvik::Terminate() {
  if (callbacksRegistered_) {
    GetSorVikRadar()->RemoveSweepCallback(SweepCallback);
    GetSorVikRadar()->RemoveChangeCallback(ChangeCallback);
    callbacksRegistered_ = false;
  }
  TheSweepStore().Reset();
}

void ModuleDataSorvik::Refresh() {
  // Taking the flag and clearing it in one step keeps a change that arrives meanwhile for the next call.
  const bool changed = RadarStateChanged.exchange(false, std::memory_order_acq_rel);
  if (!sink_ || !changed) return;

  // Stale first: a host that reads the radar feature while handling the notice gets the new state.
  OGRDataSource* source = GetDataSource();
  if (source)
    for (int index = 0; index < source->GetLayerCount(); ++index)
      if (auto* radarLayer = dynamic_cast<RadarOGRLayer*>(source->GetLayer(index))) radarLayer->SetStale();

  // The key names the IMO property set until the radar layer tells its own name.
  ModuleLayerKey propertySet(kRadarModuleName, kRadarImoPropertiesLayerName);
  if (auto* radarLayer = dynamic_cast<RadarOGRLayer*>(source ? source->GetLayer(0) : nullptr))
    propertySet.SetItem(radarLayer->GetLayerName());
  const ModuleLayerKeyValue notice(propertySet, 0);
  sink_->OnModuleNotice(kNoticePropertiesChanged, notice);
}

double ModuleDataSorvik::GetRange() {
  OGRDataSource* source = GetDataSource();
  OGRLayer* layer = source ? source->GetLayer(0) : nullptr;
  OGRFeature* feature = layer ? layer->GetFeature(0) : nullptr;
  if (!feature) return 0.0;
  int range = 0;
  int unit = 0;
  const bool readable =
      GetFieldInteger(feature, &range, kFieldRange) && GetFieldInteger(feature, &unit, kFieldRangeUnit);
  OGRFeature::DestroyFeature(feature);
  if (!readable) return 0.0;
  return GetSorVikRadar()->RangeToDistance(range, unit);
}
