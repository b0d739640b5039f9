#pragma once
// How a module exposes its features to the host as OGR layers, whatever the data sources behind them.
#include <cstdint>

#include "afxstr.h"

class OGRLayer;

class OGRable {
public:
  // The layer of number `index`, owned by the module, or null.
  virtual OGRLayer* GetOGRLayer(std::int32_t index) = 0;
  virtual OGRLayer* GetOGRLayerByName(const CString& name) = 0;
  virtual std::int32_t GetOGRLayerCount() = 0;
  virtual std::intptr_t ExtraQuery(std::intptr_t query, std::intptr_t argument) = 0;

protected:
  ~OGRable() = default;
};
