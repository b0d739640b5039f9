#pragma once
// The host's message texts by code.
#include <cstdint>

// The text of message `code`, or null when the host has no such message.
const char* FindMessageText(std::int32_t code);
