#include "text.h"

#include <cwctype>

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
        // Once over, the value no longer counts, wrapped or not.
        if (total > 0xFFFFFFFFull) overflow = true;
    }
    if (end) *end = p;
    *value = DWORD(total);
    return p != text && !overflow;
}
