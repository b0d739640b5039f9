#include "settings/geometry_layers.h"

#include <ogrsf_frmts.h>

#include <algorithm>
#include <climits>

namespace {

constexpr const char* kGeometryColumnsTable = "GEOMETRY_COLUMNS";
constexpr const char* kTableNameField = "F_TABLE_NAME";

// The table listing the geometry layers, unfiltered and rewound; null when the source has none.
OGRLayer* RewoundGeometryColumns(OGRDataSource* dataSource) {
  OGRLayer* table = dataSource->GetLayerByName(kGeometryColumnsTable);
  if (!table) return nullptr;
  table->SetAttributeFilter(nullptr);
  table->SetSpatialFilter(nullptr);
  table->ResetReading();
  return table;
}

}  // namespace

int GetGeometryLayerCount(OGRDataSource* dataSource) {
  if (!dataSource) return 0;
  OGRLayer* table = RewoundGeometryColumns(dataSource);
  if (!table) return dataSource->GetLayerCount();
  // A table that cannot count answers -1; a count beyond int is cut, not wrapped.
  return static_cast<int>(std::clamp<GIntBig>(table->GetFeatureCount(TRUE), 0, INT_MAX));
}

OGRLayer* GetGeometryLayer(int index, OGRDataSource* dataSource) {
  if (!dataSource || index < 0) return nullptr;
  OGRLayer* table = RewoundGeometryColumns(dataSource);
  if (!table) return dataSource->GetLayer(index);

  OGRFeature* row = table->GetNextFeature();
  for (int skipped = 0; row && skipped < index; ++skipped) {
    OGRFeature::DestroyFeature(row);
    row = table->GetNextFeature();
  }
  if (!row) return nullptr;
  OGRLayer* layer = nullptr;
  const int field = row->GetFieldIndex(kTableNameField);
  if (field >= 0) layer = dataSource->GetLayerByName(row->GetFieldAsString(field));
  OGRFeature::DestroyFeature(row);
  return layer;
}
