// The converter service object and the library's entry.
#include <atomic>

#include "host/converter_api.h"
#include "services/converter/converter_diagnostics.h"
#include "services/converter/unit_table.h"

namespace {

std::atomic<int> entryCalls{0};

class TableConverter final : public UnitConverter {
public:
  double Convert(const double* value, std::int32_t sourceUnit, std::int32_t targetUnit) override {
    const auto source = UnitsPerNauticalMile(sourceUnit);
    const auto target = UnitsPerNauticalMile(targetUnit);
    if (!value || !source || !target || *value == kConverterNoValue) return kConverterNoValue;
    if (*source == *target) return *value;
    return *value / *source * *target;
  }
};

class ConverterService final : public ConverterAPI {
public:
  UnitConverter* GetConverter() override { return &converter_; }

private:
  TableConverter converter_;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) ConverterAPI* GetConverterAPI() {
  ++entryCalls;
  static ConverterService service;
  return &service;
}

extern "C" __attribute__((visibility("default"))) int ConverterEntryCallCount() { return entryCalls.load(); }
