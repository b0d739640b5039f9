#include "overlays/ansi_text.h"

#include <iconv.h>

#include <cerrno>

std::wstring WideFromAnsi(std::string_view text) {
  std::wstring wide;
  wide.reserve(text.size());
  iconv_t converter = iconv_open("WCHAR_T", "WINDOWS-1252");
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    for (char c : text) wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return wide;
  }
  std::size_t at = 0;
  while (at < text.size()) {
    char* in = const_cast<char*>(text.data() + at);
    std::size_t inLeft = text.size() - at;
    wchar_t out[256];
    char* outAt = reinterpret_cast<char*>(out);
    std::size_t outLeft = sizeof out;
    const std::size_t converted = iconv(converter, &in, &inLeft, &outAt, &outLeft);
    wide.append(out, static_cast<std::size_t>(reinterpret_cast<wchar_t*>(outAt) - out));
    at = static_cast<std::size_t>(in - text.data());
    if (converted == static_cast<std::size_t>(-1) && errno != E2BIG) {
      wide += static_cast<wchar_t>(static_cast<unsigned char>(text[at]));  // a byte with no character
      ++at;
    }
  }
  iconv_close(converter);
  return wide;
}

std::wstring WideLabelText(std::string_view text) {
  std::string copy;
  copy.reserve(text.size() + 8);
  for (char c : text) {
    if (c == '\r') {
      copy += "\r\n";
    } else {
      copy += static_cast<unsigned char>(c) == 0xA1 ? '\xB0' : c;
    }
  }
  return WideFromAnsi(copy);
}
