#include <cmath>

#include "common/no_value.h"
#include "host/gen_data.h"

namespace _GenData {

namespace {
constexpr int kDefaultDecimals = 2;

void DropTrailingZeros(CString& text) {
  if (text.Find('.') < 0) return;
  int length = text.GetLength();
  while (length > 0 && text.GetAt(length - 1) == '0') --length;
  if (length > 0 && text.GetAt(length - 1) == '.') --length;
  text = text.Left(length);
}

// A small negative value rounded to zero ("-0.00"): written without its sign.
bool IsSignedZero(const CString& text) {
  if (text.IsEmpty() || text.GetAt(0) != '-') return false;
  for (char ch : text.str())
    if (ch >= '1' && ch <= '9') return false;
  return true;
}
}  // namespace

bool CFloatGenData::HasValue() const { return std::isfinite(value_) && value_ != NoValueDouble; }

CString CFloatGenData::FormatNumber(double number, const CFormat& format) {
  const bool fixed = format.GetProprieteDecimale() == CFormat::kDecimalFixed;
  const bool ownPrecision = format.GetProprieteDecimale() == CFormat::kDecimalDefault;
  const int decimals = ownPrecision ? kDefaultDecimals : format.GetParametreDecimale();
  CString text;
  text.Format("%.*f", decimals, number);
  if (!fixed) DropTrailingZeros(text);
  if (IsSignedZero(text)) text = text.Mid(1);
  return text;
}

CString CFloatGenData::ToString(const CFormat& format) const {
  return HasValue() ? FormatNumber(GetValue(), format) : CString();
}

}  // namespace _GenData
