#include "format.h"

#include <cwchar>

namespace sim {

namespace {

struct Writer {
    WCHAR* out;
    size_t capacity;
    size_t length;
    void Put(WCHAR c) {
        if (length + 1 < capacity) out[length] = c;
        length++;
    }
};

}  // namespace

int FormatWide(WCHAR* out, size_t capacity, LPCWSTR format, va_list args) {
    Writer w = {out, capacity, 0};
    for (LPCWSTR p = format; *p; p++) {
        if (*p != L'%') {
            w.Put(*p);
            continue;
        }
        LPCWSTR start = p++;
        bool leftAlign = false, zeroPad = false;
        for (;; p++) {
            if (*p == L'-') leftAlign = true;
            else if (*p == L'0') zeroPad = true;
            else break;
        }
        int width = 0;
        while (*p >= L'0' && *p <= L'9') width = width * 10 + (*p++ - L'0');
        int precision = -1;
        if (*p == L'.') {
            precision = 0;
            for (p++; *p >= L'0' && *p <= L'9'; p++) precision = precision * 10 + (*p - L'0');
        }
        bool wide64 = false;
        if (*p == L'h') p++;
        else if (p[0] == L'l' && p[1] == L'l') { wide64 = true; p += 2; }
        else if (*p == L'l') p++;
        else if (p[0] == L'I' && p[1] == L'6' && p[2] == L'4') { wide64 = true; p += 3; }

        WCHAR digits[40];
        LPCWSTR text = digits;
        size_t textLength = 0;
        bool negative = false;
        switch (*p) {
        case L'%':
            w.Put(L'%');
            continue;
        case L'c':
            digits[0] = WCHAR(va_arg(args, int));
            textLength = 1;
            break;
        case L's': {
            LPCWSTR s = va_arg(args, LPCWSTR);
            text = s ? s : L"(null)";
            textLength = wcslen(text);
            if (precision >= 0 && size_t(precision) < textLength) textLength = size_t(precision);
            break;
        }
        case L'd':
        case L'i':
        case L'u':
        case L'x':
        case L'X': {
            unsigned long long value;
            if (*p == L'd' || *p == L'i') {
                long long v = wide64 ? va_arg(args, long long) : va_arg(args, int);
                negative = v < 0;
                value = negative ? 0ull - (unsigned long long)v : (unsigned long long)v;
            } else {
                value = wide64 ? va_arg(args, unsigned long long) : va_arg(args, unsigned int);
            }
            unsigned base = (*p == L'x' || *p == L'X') ? 16 : 10;
            const char* set = *p == L'X' ? "0123456789ABCDEF" : "0123456789abcdef";
            WCHAR reversed[40];
            size_t n = 0;
            do {
                reversed[n++] = WCHAR(set[value % base]);
                value /= base;
            } while (value);
            while (precision > 0 && n < size_t(precision)) reversed[n++] = L'0';
            size_t k = 0;
            if (negative) digits[k++] = L'-';
            while (n) digits[k++] = reversed[--n];
            textLength = k;
            break;
        }
        default:  // not a conversion: copied as it stands
            for (LPCWSTR q = start; q <= p && *q; q++) w.Put(*q);
            if (!*p) p--;
            continue;
        }
        size_t padding = size_t(width) > textLength ? size_t(width) - textLength : 0;
        bool numeric = *p != L's' && *p != L'c';
        if (!leftAlign && zeroPad && numeric) {
            size_t i = 0;
            if (negative) w.Put(text[i++]);
            while (padding--) w.Put(L'0');
            for (; i < textLength; i++) w.Put(text[i]);
            continue;
        }
        if (!leftAlign) while (padding) { w.Put(L' '); padding--; }
        for (size_t i = 0; i < textLength; i++) w.Put(text[i]);
        while (padding) { w.Put(L' '); padding--; }
    }
    if (capacity) out[w.length < capacity ? w.length : capacity - 1] = 0;
    return int(w.length < capacity ? w.length : capacity - 1);
}

}  // namespace sim
