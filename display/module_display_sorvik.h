#pragma once
// The radar's display module: one per chart view. Between repaints it takes new sweeps into its echo
// textures; on a repaint it draws the echo picture around the own ship (or a shifted centre), turned by
// the heading, scaled to the range, faded by the age of each sector and dimmed for day and night, then
// the rings, labels and status message.
#include <cstdint>
#include <memory>

#include "display/echo_rows.h"
#include "display/echo_settings.h"
#include "display/echo_texture_set.h"
#include "display/module_display.h"
#include "display/radar_sector.h"
#include "display/sweep_recorder_client.h"
#include "host/coordinate_converter.h"
#include "host/pos_type.h"
#include "overlays/overlay_inputs.h"
#include "overlays/transmitter_status.h"

class ModuleDataSorvik;
class NavigationSource;
class OGRFeature;
class RenderContext;
class UnitConverter;

class ModuleDisplaySorvik : public ModuleDisplay, public SweepRecorderClient, public Drawable {
public:
  // Binds the display to `dataModule` when it is the radar's data module. A new display hides the echo
  // trails until its settings say otherwise.
  explicit ModuleDisplaySorvik(ModuleData* dataModule, SweepStore& store = TheSweepStore());
  ~ModuleDisplaySorvik() override;

  ModuleData* GetDataModule() override;
  // 1 when new echo rows arrived or the radar's status changed since the last poll.
  std::int16_t PollRedraw() override;
  // Whether the screen point of `converter`'s view lies within the radar picture's reach.
  virtual bool IsInRadarRange(ScreenPoint point, CoordinateConverter* converter);

  // Always true: whatever is missing narrows what is drawn.
  bool Draw(ChartView* view, int reserved, VKFeature* displayProperties, int reserved2) override;

  void OnStoreResized(int rows, int rowLength) override;
  bool OnNewSweeps() override;

  const TransmitterStatus& LastStatus() const { return lastStatus_; }
  const EchoTextureSet& Textures() const { return textures_; }

private:
  // Where and how the echo picture of one repaint is placed.
  struct EchoPlacement {
    PosType centre;
    double heading = 0.0;  // radians
  };

  // What the overlays read of the data module, with `settings` (not owned) as the radar settings.
  OverlayInputs OverlayInputsWith(OGRFeature* settings);
  EchoPlacement PlaceEcho(NavigationSource& navigation, OGRFeature* settings);
  void ClearOnRangeChange(OGRFeature* settings);
  // The echo passes on `device`; textures are created instead when they are missing.
  void DrawEcho(ChartView& view, RenderContext& context, IDirect3DDevice9* device, const EchoPlacement& placement,
                const EchoSettings& settings, int dayNightMode);
  void CreateTextures(IDirect3DDevice9* device, const EchoSettings& settings);
  // Rewrites `run` of the store's rows into the textures and asks for a repaint.
  void RewriteRows(EchoRowRun run, const EchoSettings& settings);
  void DrawEchoPass(ChartView& view, IDirect3DDevice9* device, const EchoPlacement& placement,
                    const EchoSettings& settings, int currentSector, int dayNightMode, UnitConverter& converter);
  void DrawHighlightPass(ChartView& view, IDirect3DDevice9* device, const EchoSettings& settings,
                         int currentSector);
  bool IsRadarLayerVisible();

  ModuleDataSorvik* dataModule_ = nullptr;
  std::uint8_t newEchoData_ = 0;
  int storeRows_ = 0;
  int storeRowLength_ = 0;
  TransmitterStatus lastStatus_;
  std::uint16_t lastRange_ = 0xFFFF;
  // Null when the display was built before the echo geometry was fixed: it then draws no echo.
  std::unique_ptr<RadarSector[]> sectors_;
  EchoTextureSet textures_;
  int deviceGeneration_ = -1;
  TransmitterTicks statusTicks_;
};
