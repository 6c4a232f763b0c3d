#include "text.h"

#include <cwctype>

WCHAR UpperAscii(WCHAR c) { return c >= L'a' && c <= L'z' ? WCHAR(c - L'a' + L'A') : c; }

bool EqualsIgnoreAsciiCase(LPCWSTR a, LPCWSTR b) {
    for (;; a++, b++) {
        if (UpperAscii(*a) != UpperAscii(*b)) return false;
        if (*a == 0) return true;
    }
}

bool IsDecimalDigit(WCHAR c) { return c >= L'0' && c <= L'9'; }

bool IsHexDigit(WCHAR c) {
    return IsDecimalDigit(c) || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

bool IsAsciiLetter(WCHAR c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

bool IsWhiteSpace(WCHAR c) { return iswspace(wint_t(c)) != 0; }

static int DigitValue(WCHAR c, int base) {
    int value;
    if (c >= L'0' && c <= L'9') value = c - L'0';
    else if (c >= L'a' && c <= L'f') value = c - L'a' + 10;
    else if (c >= L'A' && c <= L'F') value = c - L'A' + 10;
    else return -1;
    return value < base ? value : -1;
}

bool ConvertUnsigned(LPCWSTR text, int base, DWORD* value, LPCWSTR* end) {
    unsigned long long total = 0;
    bool overflow = false;
    LPCWSTR p = text;
    for (int digit; (digit = DigitValue(*p, base)) >= 0; p++) {
        total = total * unsigned(base) + unsigned(digit);
        if (total > 0xFFFFFFFFull) {
            overflow = true;
            total = 0xFFFFFFFFull;
        }
    }
    if (end) *end = p;
    *value = DWORD(total);
    return p != text && !overflow;
}
