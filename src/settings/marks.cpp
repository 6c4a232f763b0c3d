// Alternate-colour marks: the option syntax, its parser and the test that
// painting applies to each hash mark.
#include "marks.h"

#include <cstdlib>

#include "colors.h"
#include "plugin/plugin.h"
#include "plugin/text.h"

namespace {

const WCHAR MultiplicationSign = L'\u00D7';

int CompareMarkEntries(const void* a, const void* b) {
    return CompareMarks(*static_cast<const DWORD*>(a), *static_cast<const DWORD*>(b));
}

// Reads one item at `item` into `mark`; `end` receives the character after
// its number. Returns false after writing the message.
bool ReadMarkItem(LPCWSTR arg, LPCWSTR item, LPCWSTR kind, LPCWSTR kindCapitalised, DWORD* mark,
                  LPCWSTR* end) {
    DWORD number;
    if (*item == L'*' || *item == MultiplicationSign) {
        LPCWSTR digits = item + 1;
        if (ParseUnsignedNumber(digits, &number, end) != 0) {
            ReportArgumentError(arg, digits, L"Bad %s repeat value:\r\n", kind);
            return false;
        }
        if (number < MinRepeatDistance || number > MaxRepeatDistance) {
            ReportArgumentError(arg, digits, L"%s repeat value must be 2 - %u: %u\r\n", kindCapitalised,
                                MaxRepeatDistance, number);
            return false;
        }
        *mark = RepeatMarkFlag + number;
        return true;
    }
    if (ParseUnsignedNumber(item, &number, end) != 0) {
        ReportArgumentError(arg, item, L"Bad %s value:\r\n", kind);
        return false;
    }
    if (number < 1 || number > MaxMarkPosition) {
        ReportArgumentError(arg, item, L"%s must be 1 - %u: %u\r\n", kindCapitalised, MaxMarkPosition, number);
        return false;
    }
    *mark = number;
    return true;
}

}  // namespace

int ParseAltMarks(LPCWSTR arg, DWORD* list, DWORD* count, COLORREF* color, LPCWSTR kind) {
    if (!arg) return -1;
    WCHAR kindCapitalised[32];
    lstrcpynW(kindCapitalised, kind, 32);
    kindCapitalised[0] = UpperAscii(kindCapitalised[0]);

    LPCWSTR value = arg;
    if (*value == L'/') {
        for (value++; IsAsciiLetter(*value); value++) {}
        if (*value == L':' || *value == L'=') value++;
    }
    if (!*value) {
        *count = 0;
        *color = MaxColor;
        return 0;
    }

    DWORD marks[MaxAltMarks];
    DWORD marksFound = 0;
    LPCWSTR item = value;
    LPCWSTR end;
    for (;;) {
        DWORD mark;
        if (!ReadMarkItem(arg, item, kind, kindCapitalised, &mark, &end)) return 1;
        bool known = false;
        for (DWORD i = 0; i < marksFound; i++) known = known || marks[i] == mark;
        if (!known) {
            if (marksFound == DWORD(MaxAltMarks)) {
                ReportArgumentError(arg, item, L"Too many alt marks (%u max)\r\n", MaxAltMarks);
                return 1;
            }
            marks[marksFound++] = mark;
        }
        if (*end == L',' && end[1]) {
            item = end + 1;
        } else if (*end == L',') {
            ReportArgumentError(arg, end + 1, L"Expected a color:\r\n");
            return 1;
        } else if (*end == L'=' || *end == L':') {
            break;
        } else {
            ReportArgumentError(arg, end, L"Expected either a comma or an equals sign:\r\n");
            return 1;
        }
    }

    LPCWSTR colorText = end + 1;
    if (!*colorText) {
        ReportArgumentError(arg, colorText, L"Expected a color:\r\n");
        return 1;
    }
    int parsedColor = ParseColorArgument(colorText, arg);
    if (parsedColor < 0) return 1;
    qsort(marks, marksFound, sizeof marks[0], CompareMarkEntries);

    for (DWORD i = 0; i < marksFound; i++) list[i] = marks[i];
    *color = COLORREF(parsedColor);
    *count = marksFound;
    return 0;
}

int CompareMarks(DWORD a, DWORD b) { return a < b ? -1 : a > b ? 1 : 0; }

bool IsStorableMark(DWORD mark) {
    return (mark >= 1 && mark <= MaxMarkPosition) ||
           (mark >= RepeatMarkFlag + MinRepeatDistance && mark <= RepeatMarkFlag + MaxRepeatDistance);
}
