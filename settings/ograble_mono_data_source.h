#pragma once
// OGRable over one owned data source.
#include "settings/ograble.h"

class OGRDataSource;

class OGRableMonoDataSource : public OGRable {
public:
  OGRableMonoDataSource() = default;
  OGRableMonoDataSource(const OGRableMonoDataSource&) = delete;
  OGRableMonoDataSource& operator=(const OGRableMonoDataSource&) = delete;

  OGRLayer* GetOGRLayer(std::int32_t index) override;
  OGRLayer* GetOGRLayerByName(const CString& name) override;
  std::int32_t GetOGRLayerCount() override;
  std::intptr_t ExtraQuery(std::intptr_t query, std::intptr_t argument) override;
  // Destroys the owned data source.
  virtual ~OGRableMonoDataSource();

  OGRDataSource* GetDataSource() const { return dataSource_; }
  // Takes ownership of `source`, destroying any data source held before.
  void SetDataSource(OGRDataSource* source);

protected:
  OGRDataSource* dataSource_ = nullptr;
};
