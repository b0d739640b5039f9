// A library for the loader tests: it needs a library found only in its own folder, carries string
// resources, and counts in the environment how often its code was set running.
#include <cstdlib>
#include <string>

#include "extensions/resource_table.h"

extern "C" int FixtureDependencyValue();

namespace {

#define FIXTURE_TEN "0123456789"
#define FIXTURE_FIFTY FIXTURE_TEN FIXTURE_TEN FIXTURE_TEN FIXTURE_TEN FIXTURE_TEN
#define FIXTURE_HUNDRED FIXTURE_FIFTY FIXTURE_FIFTY

constexpr resource_table::StringResource kStrings[] = {
    {1, "first"},
    {7, "seventh text"},
    // Longer than the first buffer CString::LoadString tries.
    {300, FIXTURE_HUNDRED FIXTURE_HUNDRED FIXTURE_HUNDRED FIXTURE_HUNDRED FIXTURE_HUNDRED},
};

struct CountConstruction {
  CountConstruction() {
    const char* previous = std::getenv("LOADER_FIXTURE_CONSTRUCTIONS");
    const int count = previous ? std::atoi(previous) : 0;
    setenv("LOADER_FIXTURE_CONSTRUCTIONS", std::to_string(count + 1).c_str(), 1);
  }
} countConstruction;

}  // namespace

SORVIK_RESOURCE_TABLE(kStrings);

extern "C" __attribute__((visibility("default"))) int FixturePluginValue() {
  return FixtureDependencyValue() + 1;
}
