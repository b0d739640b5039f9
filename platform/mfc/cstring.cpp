#include "afxstr.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <strings.h>

namespace {
std::size_t ClampIndex(int index, std::size_t size) {
  if (index < 0) return 0;
  return std::min(static_cast<std::size_t>(index), size);
}
bool IsSpace(char ch) { return std::isspace(static_cast<unsigned char>(ch)) != 0; }
}  // namespace

CString::CString(const char* text, int length) {
  if (text && length > 0) text_.assign(text, static_cast<std::size_t>(length));
}

CString::CString(char ch, int repeat) {
  if (repeat > 0) text_.assign(static_cast<std::size_t>(repeat), ch);
}

CString& CString::operator=(const char* text) {
  text_ = text ? text : "";
  return *this;
}

CString& CString::operator=(char ch) {
  text_.assign(1, ch);
  return *this;
}

CString& CString::operator+=(const CString& other) {
  text_ += other.text_;
  return *this;
}

CString& CString::operator+=(const char* text) {
  if (text) text_ += text;
  return *this;
}

CString& CString::operator+=(char ch) {
  text_ += ch;
  return *this;
}

CString operator+(const CString& a, const CString& b) { return CString(a) += b; }
CString operator+(const CString& a, const char* b) { return CString(a) += b; }
CString operator+(const char* a, const CString& b) { return CString(a) += b; }
CString operator+(const CString& a, char b) { return CString(a) += b; }

int CString::Compare(const char* other) const { return std::strcmp(text_.c_str(), other ? other : ""); }

int CString::CompareNoCase(const char* other) const {
  return ::strcasecmp(text_.c_str(), other ? other : "");
}

int CString::Find(char ch, int start) const {
  if (start < 0 || static_cast<std::size_t>(start) > text_.size()) return -1;
  const auto pos = text_.find(ch, static_cast<std::size_t>(start));
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const char* sub, int start) const {
  if (!sub || start < 0 || static_cast<std::size_t>(start) > text_.size()) return -1;
  const auto pos = text_.find(sub, static_cast<std::size_t>(start));
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const {
  const auto pos = text_.rfind(ch);
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

CString CString::Left(int count) const { return CString(text_.substr(0, ClampIndex(count, text_.size()))); }

CString CString::Right(int count) const {
  const std::size_t n = ClampIndex(count, text_.size());
  return CString(text_.substr(text_.size() - n));
}

CString CString::Mid(int first) const { return CString(text_.substr(ClampIndex(first, text_.size()))); }

CString CString::Mid(int first, int count) const {
  const std::size_t from = ClampIndex(first, text_.size());
  return CString(text_.substr(from, ClampIndex(count, text_.size() - from)));
}

CString& CString::MakeUpper() {
  for (char& ch : text_) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return *this;
}

CString& CString::MakeLower() {
  for (char& ch : text_) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return *this;
}

CString& CString::TrimLeft() {
  text_.erase(text_.begin(), std::find_if_not(text_.begin(), text_.end(), IsSpace));
  return *this;
}

CString& CString::TrimRight() {
  text_.erase(std::find_if_not(text_.rbegin(), text_.rend(), IsSpace).base(), text_.end());
  return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }

void CString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
}

void CString::FormatV(const char* format, va_list args) {
  if (!format) {
    text_.clear();
    return;
  }
  va_list measure;
  va_copy(measure, args);
  const int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (length < 0) {
    text_.clear();
    return;
  }
  std::string result(static_cast<std::size_t>(length) + 1, '\0');
  std::vsnprintf(result.data(), result.size(), format, args);
  result.resize(static_cast<std::size_t>(length));
  text_ = std::move(result);
}

void CString::AppendFormat(const char* format, ...) {
  CString tail;
  va_list args;
  va_start(args, format);
  tail.FormatV(format, args);
  va_end(args);
  text_ += tail.text_;
}

char* CString::GetBuffer(int minLength) {
  if (minLength > 0 && text_.size() < static_cast<std::size_t>(minLength))
    text_.resize(static_cast<std::size_t>(minLength), '\0');
  return text_.data();
}

void CString::ReleaseBuffer(int newLength) {
  if (newLength < 0) newLength = static_cast<int>(std::strlen(text_.c_str()));
  text_.resize(std::min(static_cast<std::size_t>(newLength), text_.size()));
}
