// Small text helpers shared by the modules.
#pragma once

#include "platform.h"

// Letters A-Z equal a-z; every other character must match exactly.
bool EqualsIgnoreAsciiCase(LPCWSTR a, LPCWSTR b);
WCHAR UpperAscii(WCHAR c);
bool IsDecimalDigit(WCHAR c);
bool IsHexDigit(WCHAR c);
bool IsAsciiLetter(WCHAR c);
bool IsWhiteSpace(WCHAR c);

// Converts the digits of `base` (10 or 16) at `text` as the standard wcstoul
// does on Windows, where the result is 32 bits: stops at the first character
// that is no digit of the base and reports an overflow above 0xFFFFFFFF.
// Returns false on overflow or when no digit is there. `end` receives the
// first character after the digits.
bool ConvertUnsigned(LPCWSTR text, int base, DWORD* value, LPCWSTR* end);
