#pragma once
// Narrow texts are in the ANSI code page, Windows-1252; GDI+ takes wide texts.
#include <string>
#include <string_view>

#include "windows.h"

// `text` as wide characters. Bytes the code page leaves undefined keep their value as the code point.
std::wstring WideFromAnsi(std::string_view text);

// The text as the measuring and aligned drawing show it: every "\r" becomes "\r\n" and every byte 0xA1
// (the inverted exclamation mark) the degree sign 0xB0, before the conversion to wide characters.
std::wstring WideLabelText(std::string_view text);
