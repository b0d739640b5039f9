#pragma once
// Texts of the host's resource library that take one text argument through a printf-style "%s".
#include "afxstr.h"

// `pattern` with its first "%s" replaced by `argument` and each "%%" written as "%". Unlike printf, any
// other "%" sequence (a "%d", a second "%s", a lone "%") is kept as it stands, so that a resource text
// can never make the formatting read arguments that were not passed.
CString FormatTextArgument(const CString& pattern, const CString& argument);
