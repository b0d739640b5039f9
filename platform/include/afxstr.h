#pragma once
// CString: the narrow (ANSI code page) MFC string class, with the part of its interface the module uses.
// Text is held as bytes; no code page conversion happens here.
#include <cstdarg>
#include <cstddef>
#include <string>
#include <string_view>

#include "windef.h"

class CString {
public:
  CString() = default;
  CString(const char* text) : text_(text ? text : "") {}  // NOLINT: implicit, as in MFC
  CString(const char* text, int length);
  CString(char ch, int repeat = 1);
  CString(std::string_view text) : text_(text) {}  // NOLINT

  // Conversion and access.
  operator const char*() const { return text_.c_str(); }  // NOLINT: LPCTSTR conversion, as in MFC
  const char* GetString() const { return text_.c_str(); }
  int GetLength() const { return static_cast<int>(text_.size()); }
  bool IsEmpty() const { return text_.empty(); }
  void Empty() { text_.clear(); }
  char GetAt(int index) const { return text_.at(static_cast<std::size_t>(index)); }
  void SetAt(int index, char ch) { text_.at(static_cast<std::size_t>(index)) = ch; }
  const std::string& str() const { return text_; }

  // Assignment and concatenation.
  CString& operator=(const char* text);
  CString& operator=(char ch);
  CString& operator+=(const CString& other);
  CString& operator+=(const char* text);
  CString& operator+=(char ch);
  friend CString operator+(const CString& a, const CString& b);
  friend CString operator+(const CString& a, const char* b);
  friend CString operator+(const char* a, const CString& b);
  friend CString operator+(const CString& a, char b);

  // Comparison: Compare is byte-wise, CompareNoCase folds ASCII letters only.
  int Compare(const char* other) const;
  int CompareNoCase(const char* other) const;
  friend bool operator==(const CString& a, const CString& b) { return a.text_ == b.text_; }
  friend bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
  friend bool operator<(const CString& a, const CString& b) { return a.text_ < b.text_; }

  // Searching and extraction; positions are byte indexes, -1 when not found.
  int Find(char ch, int start = 0) const;
  int Find(const char* sub, int start = 0) const;
  int ReverseFind(char ch) const;
  CString Left(int count) const;
  CString Right(int count) const;
  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString& MakeUpper();
  CString& MakeLower();
  CString& TrimLeft();
  CString& TrimRight();
  CString& Trim();

  // printf-style formatting; the text is replaced (Format) or extended (AppendFormat).
  void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void FormatV(const char* format, va_list args) __attribute__((format(printf, 2, 0)));
  void AppendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // Direct buffer access for C APIs: GetBuffer gives room for at least minLength characters plus the
  // terminator; ReleaseBuffer(-1) takes the length up to the first zero byte.
  char* GetBuffer(int minLength = 0);
  void ReleaseBuffer(int newLength = -1);

  // Loads string resource `id` from the current resource source of the module state; an unknown
  // identifier, or no resource source, leaves the string empty and answers FALSE.
  BOOL LoadString(UINT id);

private:
  std::string text_;
};
