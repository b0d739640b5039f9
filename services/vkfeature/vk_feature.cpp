#include "host/vk_feature.h"

VKFeature::VKFeature() = default;
VKFeature::~VKFeature() = default;
VKFeature::VKFeature(const VKFeature& other) = default;
VKFeature& VKFeature::operator=(const VKFeature& other) = default;

void VKFeature::DeleteFields() { values_.clear(); }

void VKFeature::SetValue(const char* name, long value) {
  if (name) values_[name] = value;
}

void VKFeature::SetValue(const char* name, double value) {
  if (name) values_[name] = value;
}

void VKFeature::SetValue(const char* name, const char* value) {
  if (name) values_[name] = std::string(value ? value : "");
}

namespace {
template <typename T, typename Map>
bool Lookup(const Map& values, const char* name, T& out) {
  if (!name) return false;
  const auto found = values.find(name);
  if (found == values.end()) return false;
  const T* held = std::get_if<T>(&found->second);
  if (!held) return false;
  out = *held;
  return true;
}
}  // namespace

bool VKFeature::GetValue(const char* name, long& value) const { return Lookup(values_, name, value); }
bool VKFeature::GetValue(const char* name, double& value) const { return Lookup(values_, name, value); }
bool VKFeature::GetValue(const char* name, std::string& value) const { return Lookup(values_, name, value); }

bool VKFeature::HasValue(const char* name) const { return name && values_.count(name) != 0; }

int VKFeature::GetFieldCount() const { return static_cast<int>(values_.size()); }
