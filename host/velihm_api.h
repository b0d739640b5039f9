#pragma once
// The host's user-interface service library ("VelIHM.dll"): the entry "GetVelIHMAPI" returns one
// long-lived VelIHMAPI that shows the host's messages by code.
#include <cstdint>

class VelIHMAPI {
public:
  // Shows host message `messageCode` to the user. `modal` 1 returns only once the user has acknowledged
  // it; `parameter1` and `parameter2` are values the host keeps with the message (0 when unused).
  // Answers 0 when the message was shown, -1 when the code is not one of the host's messages (a generic
  // text naming the code is shown instead).
  virtual int ShowMessage(std::int32_t messageCode, int modal, int parameter1, int parameter2) = 0;

protected:
  ~VelIHMAPI() = default;
};

// Signature of the library's entry function.
using GetVelIHMAPIFunction = VelIHMAPI* (*)();
