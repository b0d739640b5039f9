#pragma once
// What the host keeps of its views in its own profile section, beside what each display stores of
// itself: how many views there were, and each one's size and light mode, by view index.
#include <optional>

#include "viewer/view_options.h"

struct StoredView {
  std::optional<int> width;
  std::optional<int> height;
  std::optional<LightMode> mode;
};

// The number of views stored by the last run; 0 when none were (or there is no profile).
int StoredViewCount();
StoredView ReadStoredView(int index);
void StoreView(int index, int width, int height, LightMode mode);
void StoreViewCount(int count);
