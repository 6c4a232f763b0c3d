// Small text helpers shared by the modules.
#pragma once

#include "platform.h"

bool IsWhiteSpace(WCHAR c);

// The character classes and the comparison, inline: the split and the
// parsers test every character with them, and the key names are compared
// on every keystroke that comes by name.
constexpr WCHAR UpperAscii(WCHAR c) { return c >= L'a' && c <= L'z' ? WCHAR(c - L'a' + L'A') : c; }

// Letters A-Z equal a-z; every other character must match exactly.
inline bool EqualsIgnoreAsciiCase(LPCWSTR a, LPCWSTR b) {
    for (;; a++, b++) {
        if (UpperAscii(*a) != UpperAscii(*b)) return false;
        if (*a == 0) return true;
    }
}
inline bool IsDecimalDigit(WCHAR c) { return c >= L'0' && c <= L'9'; }
inline bool IsHexDigit(WCHAR c) { return IsDecimalDigit(c) || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F'); }
inline bool IsAsciiLetter(WCHAR c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

// Converts the digits of `base` (10 or 16) at `text` as the standard wcstoul
// does on Windows, where the result is 32 bits: stops at the first character
// that is no digit of the base and reports an overflow above 0xFFFFFFFF.
// Returns false on overflow or when no digit is there. `end` receives the
// first character after the digits.
bool ConvertUnsigned(LPCWSTR text, int base, DWORD* value, LPCWSTR* end);
