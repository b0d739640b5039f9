#include "winbase.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>

namespace {

struct SystemMessage {
  DWORD id;
  std::string_view text;
};

// The system's own wording, without the line break that ends each text.
constexpr SystemMessage kSystemMessages[] = {
    {0, "The operation completed successfully."},
    {2, "The system cannot find the file specified."},
    {3, "The system cannot find the path specified."},
    {5, "Access is denied."},
    {6, "The handle is invalid."},
    {8, "Not enough memory resources are available to process this command."},
    {87, "The parameter is incorrect."},
    {122, "The data area passed to a system call is too small."},
    {126, "The specified module could not be found."},
    {127, "The specified procedure could not be found."},
    {193, "%1 is not a valid Win32 application."},
    {317, "The system cannot find message text for message number 0x%1 in the message file for %2."},
    {1157, "One of the library files needed to run this application cannot be found."},
    {1812, "The specified image file did not contain a resource section."},
    {1813, "The specified resource type cannot be found in the image file."},
    {1814, "The specified resource name cannot be found in the image file."},
    {15100, "The resource loader failed to find MUI file."},
};

const SystemMessage* FindSystemMessage(DWORD id) {
  const auto found = std::find_if(std::begin(kSystemMessages), std::end(kSystemMessages),
                                  [id](const SystemMessage& message) { return message.id == id; });
  return found == std::end(kSystemMessages) ? nullptr : found;
}

bool IsSupportedLanguage(DWORD languageId) {
  return languageId == 0 || languageId == LANG_USER_DEFAULT || languageId == LANG_SYSTEM_DEFAULT ||
         PRIMARYLANGID(languageId) == LANG_ENGLISH;
}

DWORD Fail(DWORD error) {
  SetLastError(error);
  return 0;
}

}  // namespace

DWORD FormatMessageA(DWORD flags, const void*, DWORD messageId, DWORD languageId, LPSTR buffer, DWORD size,
                     va_list*) {
  const DWORD width = flags & FORMAT_MESSAGE_MAX_WIDTH_MASK;
  const DWORD source = flags & ~(FORMAT_MESSAGE_MAX_WIDTH_MASK | FORMAT_MESSAGE_IGNORE_INSERTS);
  if (source != FORMAT_MESSAGE_FROM_SYSTEM || (width != 0 && width != FORMAT_MESSAGE_MAX_WIDTH_MASK) ||
      !buffer)
    return Fail(ERROR_INVALID_PARAMETER);
  if (!IsSupportedLanguage(languageId)) return Fail(ERROR_RESOURCE_LANG_NOT_FOUND);
  const SystemMessage* message = FindSystemMessage(messageId);
  if (!message) return Fail(ERROR_MR_MID_NOT_FOUND);
  // Inserts would need arguments; no caller here passes any.
  if (!(flags & FORMAT_MESSAGE_IGNORE_INSERTS) && message->text.find('%') != std::string_view::npos)
    return Fail(ERROR_INVALID_PARAMETER);
  std::string text(message->text);
  if (width == 0) text += "\r\n";
  if (text.size() >= size) {
    if (size > 0) buffer[0] = '\0';
    return Fail(ERROR_INSUFFICIENT_BUFFER);
  }
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<DWORD>(text.size());
}
