#include "services/velihm/message_texts.h"

namespace {
struct MessageText {
  std::int32_t code;
  const char* text;
};

constexpr MessageText kMessages[] = {
    {41780, "The chart could not be opened."},
    {41781, "The settings could not be saved."},
    {41782, "The radar is in use by another application. Close it and try again."},
    {41783, "The radar could not be opened. Check that it is switched on and connected."},
};
}  // namespace

const char* FindMessageText(std::int32_t code) {
  for (const MessageText& message : kMessages)
    if (message.code == code) return message.text;
  return nullptr;
}
