// Checks for the end-to-end programs: each failure shows what was expected
// and what came; the summary line is "NAME: N passed, N failed".
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

// Reporting: to the standard output the harness was started with (the
// console that the cases allocate is a different one).

inline HANDLE reportHandle;
inline int passedCount, failedCount;

inline void Report(const std::string& text) {
    DWORD written;
    WriteFile(reportHandle, text.data(), DWORD(text.size()), &written, nullptr);
}

inline std::string Utf8(const std::wstring& text) {
    if (text.empty()) return "";
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), &out[0], size, nullptr, nullptr);
    return out;
}

// Shows line breaks and tabs, so a failure shows what differs.
inline std::string Visible(const std::wstring& text) {
    std::wstring shown;
    for (WCHAR c : text) {
        if (c == L'\r') shown += L"\\r";
        else if (c == L'\n') shown += L"\\n";
        else if (c == L'\t') shown += L"\\t";
        else shown += c;
    }
    return Utf8(shown);
}

inline void Check(bool ok, const char* what, const std::string& detail = "") {
    if (ok) {
        passedCount++;
        return;
    }
    failedCount++;
    Report("FAIL: " + std::string(what) + (detail.empty() ? "" : ": " + detail) + "\n");
}

inline void CheckText(const std::wstring& expected, const std::wstring& actual, const char* what) {
    Check(expected == actual, what, "expected \"" + Visible(expected) + "\", got \"" + Visible(actual) + "\"");
}

inline void CheckNumber(long long expected, long long actual, const char* what) {
    char detail[128];
    snprintf(detail, sizeof detail, "expected %lld (0x%llx), got %lld (0x%llx)", expected, expected,
             actual, actual);
    Check(expected == actual, what, detail);
}

// Reports to the standard output the program was started with, even after
// it allocates a console of its own.
inline void StartReport() { reportHandle = GetStdHandle(STD_OUTPUT_HANDLE); }

inline int FinishReport(const char* name) {
    char summary[128];
    snprintf(summary, sizeof summary, "%s: %d passed, %d failed\n", name, passedCount, failedCount);
    Report(summary);
    return failedCount ? 1 : 0;
}
