// The user-interface service object and the library's entry. Messages appear as message boxes.
#include <atomic>
#include <cstdio>

#include "host/velihm_api.h"
#include "services/velihm/message_texts.h"
#include "services/velihm/shown_messages.h"
#include "winuser.h"

#define VELIHM_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::atomic<int> entryCalls{0};

constexpr char kCaption[] = "Radar";

class MessageService final : public VelIHMAPI {
public:
  int ShowMessage(std::int32_t messageCode, int modal, int parameter1, int parameter2) override {
    VelIHMShownMessage shown{messageCode, modal, parameter1, parameter2, {}};
    const char* text = FindMessageText(messageCode);
    if (text)
      std::snprintf(shown.text, sizeof shown.text, "%s", text);
    else
      std::snprintf(shown.text, sizeof shown.text, "Message %d.", static_cast<int>(messageCode));
    RecordShownMessage(shown);
    // There is no modeless box here: every box is acknowledged before MessageBoxA returns.
    ::MessageBoxA(nullptr, shown.text, kCaption, MB_OK | MB_ICONWARNING);
    return text ? 0 : -1;
  }
};

}  // namespace

VELIHM_EXPORT VelIHMAPI* GetVelIHMAPI() {
  ++entryCalls;
  static MessageService service;
  return &service;
}

VELIHM_EXPORT int VelIHMEntryCallCount() { return entryCalls.load(); }

VELIHM_EXPORT int VelIHMShownMessageCount() { return ShownMessageCount(); }

VELIHM_EXPORT bool VelIHMGetShownMessage(int index, VelIHMShownMessage* message) {
  return message && GetShownMessage(index, *message);
}
