#include "extensions/user32.h"

#include <unistd.h>

#include <atomic>
#include <string>

namespace {

std::atomic<MessageBoxPresenter> currentPresenter{nullptr};

// Line breaks of a multi-line box become single spaces so that a box is one line of the log.
std::string OneLine(const char* text) {
  std::string line;
  for (const char* p = text; *p; ++p) {
    if (*p == '\r' && p[1] == '\n') ++p;
    line += (*p == '\r' || *p == '\n') ? ' ' : *p;
  }
  return line;
}

}  // namespace

int DefaultMessageBoxAnswer(UINT type) {
  static constexpr int kButtons[][3] = {
      {IDOK, IDOK, IDOK},            {IDOK, IDCANCEL, IDOK},         {IDABORT, IDRETRY, IDIGNORE},
      {IDYES, IDNO, IDCANCEL},       {IDYES, IDNO, IDYES},           {IDRETRY, IDCANCEL, IDRETRY},
  };
  const UINT set = type & MB_TYPEMASK;
  if (set >= sizeof kButtons / sizeof kButtons[0]) return IDOK;
  const UINT button = (type & MB_DEFMASK) >> 8;
  return kButtons[set][button < 3 ? button : 0];
}

int PresentMessageBoxOnStandardError(HWND, LPCSTR text, LPCSTR caption, UINT type) {
  // One write, so that boxes from several threads never interleave within a line.
  const std::string line = OneLine(caption) + ": " + OneLine(text) + "\n";
  std::size_t written = 0;
  while (written < line.size()) {
    const ssize_t n = ::write(STDERR_FILENO, line.data() + written, line.size() - written);
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  return DefaultMessageBoxAnswer(type);
}

MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter) {
  return currentPresenter.exchange(presenter);
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  const MessageBoxPresenter presenter = currentPresenter.load();
  const char* shownCaption = caption ? caption : "Error";
  const char* shownText = text ? text : "";
  return presenter ? presenter(owner, shownText, shownCaption, type)
                   : PresentMessageBoxOnStandardError(owner, shownText, shownCaption, type);
}
