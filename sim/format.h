// The wide printf of Windows' wsprintfW and of the shell: "%s" is a wide
// string. Conversions: c d i u x X s %, with flags "-" and "0", a width,
// a precision and the size prefixes h, l, ll and I64.
#pragma once

#include "types.h"

namespace sim {

// Writes at most capacity - 1 characters and a terminator; returns the
// number of characters written.
int FormatWide(WCHAR* out, size_t capacity, LPCWSTR format, va_list args);

}  // namespace sim
