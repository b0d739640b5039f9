#pragma once
// What the user-interface service library tells tests about itself, found by name in the loaded
// library (plain C, so that a caller needs nothing but these declarations).
#include <cstdint>

struct VelIHMShownMessage {
  std::int32_t code;
  int modal;
  int parameter1;
  int parameter2;
  // The text shown, cut to fit and terminated.
  char text[256];
};

// "VelIHMEntryCallCount": how often "GetVelIHMAPI" has been called in this process.
using VelIHMEntryCallCountFunction = int (*)();
// "VelIHMShownMessageCount": how many messages have been shown.
using VelIHMShownMessageCountFunction = int (*)();
// "VelIHMGetShownMessage": copies the `index`-th message shown (0 first); false when there is none.
using VelIHMGetShownMessageFunction = bool (*)(int index, VelIHMShownMessage* message);
