#pragma once
// Where the host receives notices from a data module.
#include "common/layer_keys.h"

class HostSink {
public:
  // A notice of `kind` about the layer or property set named by `subject`. Kind 2: the module's
  // property set changed; re-read it.
  virtual void OnModuleNotice(const int& kind, const ModuleLayerKeyValue& subject) = 0;

protected:
  ~HostSink() = default;
};

inline constexpr int kNoticePropertiesChanged = 2;
