#pragma once
// The host's property bag: named values of three kinds (integer, real, text). Display properties reach
// the module in one, and feature fields can be copied into one.
#include <map>
#include <string>
#include <variant>

class VKFeature {
public:
  VKFeature();
  ~VKFeature();
  VKFeature(const VKFeature& other);
  VKFeature& operator=(const VKFeature& other);

  // Removes every value.
  void DeleteFields();
  // Stores a value under `name`, replacing any value of any kind stored there before.
  void SetValue(const char* name, long value);
  void SetValue(const char* name, double value);
  void SetValue(const char* name, const char* value);
  // True and the value when `name` holds a value of that kind; false and `value` untouched otherwise.
  bool GetValue(const char* name, long& value) const;
  bool GetValue(const char* name, double& value) const;
  bool GetValue(const char* name, std::string& value) const;
  bool HasValue(const char* name) const;
  int GetFieldCount() const;

private:
  using Value = std::variant<long, double, std::string>;
  std::map<std::string, Value> values_;
};
