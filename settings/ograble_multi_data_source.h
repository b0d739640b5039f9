#pragma once
// OGRable over an ordered list of owned data sources whose layers are numbered consecutively.
#include <vector>

#include "settings/ograble.h"

class OGRDataSource;

class OGRableMultiDataSource : public OGRable {
public:
  OGRableMultiDataSource() = default;
  OGRableMultiDataSource(const OGRableMultiDataSource&) = delete;
  OGRableMultiDataSource& operator=(const OGRableMultiDataSource&) = delete;

  OGRLayer* GetOGRLayer(std::int32_t index) override;
  OGRLayer* GetOGRLayerByName(const CString& name) override;
  std::int32_t GetOGRLayerCount() override;
  std::intptr_t ExtraQuery(std::intptr_t query, std::intptr_t argument) override;
  // Destroys every data source in list order.
  virtual ~OGRableMultiDataSource();

  // Takes ownership of `source` (which may be null) and appends it.
  void AddDataSource(OGRDataSource* source) { dataSources_.push_back(source); }

protected:
  std::vector<OGRDataSource*> dataSources_;
};
