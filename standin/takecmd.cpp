// A stand-in for the shell's TakeCmd.dll: the console output and variable
// functions that the plug-in imports, with output captured for the harness.
// Formatting uses the system's wvsprintfW, where "%s" is a wide string, as
// in the shell's own printf.
#include <windows.h>

#include <map>
#include <string>

#include "expand.h"

namespace {

std::map<std::wstring, std::wstring>& Variables() {
    static std::map<std::wstring, std::wstring> variables;
    return variables;
}

std::wstring output, error, hwndAnswer;
CRITICAL_SECTION lock;
bool lockReady;

void Append(std::wstring& stream, LPCWSTR text) {
    if (!lockReady) {
        InitializeCriticalSection(&lock);
        lockReady = true;
    }
    EnterCriticalSection(&lock);
    stream += text;
    LeaveCriticalSection(&lock);
}

void Format(std::wstring& stream, LPCWSTR format, va_list args) {
    WCHAR text[1025];
    wvsprintfW(text, format, args);
    Append(stream, text);
}

}  // namespace

extern "C" {

__declspec(dllexport) int Printf(LPCWSTR format, ...) {
    va_list args;
    va_start(args, format);
    Format(output, format, args);
    va_end(args);
    return 0;
}

__declspec(dllexport) int Qprintf(HANDLE handle, LPCWSTR format, ...) {
    va_list args;
    va_start(args, format);
    Format(handle == GetStdHandle(STD_ERROR_HANDLE) ? error : output, format, args);
    va_end(args);
    return 0;
}

__declspec(dllexport) int QPuts(LPCWSTR text) {
    Append(output, text);
    return 0;
}

__declspec(dllexport) void CrLf(void) { Append(output, L"\r\n"); }

__declspec(dllexport) int ExpandVariables(LPWSTR buffer, int) {
    std::wstring result = ExpandReferences(buffer, [](const std::wstring& name) {
        auto found = Variables().find(name);
        return found == Variables().end() ? std::wstring() : found->second;
    });
    lstrcpyW(buffer, result.c_str());
    return 0;
}

__declspec(dllexport) int TakeCommandIPC(LPCWSTR command, LPWSTR buffer) {
    if (lstrcmpW(command, L"HWND") != 0) return 1;
    lstrcpyW(buffer, hwndAnswer.c_str());
    return 0;
}

__declspec(dllexport) void StandInSetVariable(LPCWSTR name, LPCWSTR value) {
    if (value) Variables()[name] = value;
    else Variables().erase(name);
}

__declspec(dllexport) void StandInSetHwndAnswer(LPCWSTR answer) { hwndAnswer = answer; }
__declspec(dllexport) LPCWSTR StandInOutput(void) { return output.c_str(); }
__declspec(dllexport) LPCWSTR StandInError(void) { return error.c_str(); }

__declspec(dllexport) void StandInClear(void) {
    output.clear();
    error.clear();
}

}  // extern "C"
