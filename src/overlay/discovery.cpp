// Finding the windows that show the console: the shell's main window (by
// asking the shell), the tab window that shows this console (by a marker
// title), the view inside a tab (by class) and the shell's tab margins.
#include <cstdint>
#include <cstdlib>
#include <cwchar>

#include "overlay.h"
#include "plugin/plugin.h"
#include "plugin/text.h"

namespace {

const int MarkerSearchAttempts = 200;
const DWORD MarkerSearchWaitMs = 10;
const WCHAR ViewClassPrefix[] = L"AfxFrameOrView";
const int ViewClassPrefixLength = 14;

// Reads a margin value: leading digits only; a value that a margin cannot
// hold (above 2^31 - 1) gives the default.
void ReadMargin(LPCWSTR iniName, LPCWSTR valueName, int defaultValue, int* margin) {
    WCHAR text[TextCapacity];
    GetPrivateProfileStringW(L"TakeCommand", valueName, L"", text, TextCapacity, iniName);
    if (!IsDecimalDigit(text[0])) return;
    DWORD value;
    bool fits = ConvertUnsigned(text, 10, &value, nullptr) && value <= DWORD(INT32_MAX);
    *margin = fits ? int(value) : defaultValue;
}

// The console's own title limit; a longer title could not be put back whole,
// so the search leaves such a console alone.
const int ConsoleTitleCapacity = 32768;
WCHAR savedTitle[ConsoleTitleCapacity];

}  // namespace

HWND FindHostMainWindow(void) {
    WCHAR answer[TextCapacity];
    ZeroMemory(answer, sizeof answer);
    TakeCommandIPC(L"HWND", answer);
    if (!IsDecimalDigit(answer[0])) return nullptr;
    DWORD value;
    if (!ConvertUnsigned(answer, 10, &value, nullptr)) return nullptr;
    return reinterpret_cast<HWND>(static_cast<ULONG_PTR>(value));
}

HWND FindConsoleTabWindow(void) {
    if (!PluginState.hostMainWindow || !PluginState.consoleWindow) return nullptr;
    if (GetWindowTextLengthW(PluginState.consoleWindow) >= ConsoleTitleCapacity) return nullptr;
    WCHAR marker[TextCapacity];
    wsprintfW(marker, L"\u00AB%08X-%04X\u00BB", GetCurrentProcessId(), rand());

    GetWindowTextW(PluginState.consoleWindow, savedTitle, ConsoleTitleCapacity);
    // The shell shows the console's title on the tab that displays it.
    SetWindowTextW(PluginState.consoleWindow, marker);

    MarkerSearch search = {nullptr, marker};
    for (int attempt = 0; attempt < MarkerSearchAttempts && !search.found; attempt++) {
        Sleep(MarkerSearchWaitMs);
        EnumChildWindows(PluginState.hostMainWindow, MatchMarkerTitle, reinterpret_cast<LPARAM>(&search));
    }
    SetWindowTextW(PluginState.consoleWindow, savedTitle);
    return search.found;
}

void LocateTabWindow(void) {
    PluginState.hostMainWindow = FindHostMainWindow();
    PluginState.tabWindow = PluginState.hostMainWindow ? FindConsoleTabWindow() : nullptr;
}

BOOL CALLBACK MatchMarkerTitle(HWND window, LPARAM search) {
    MarkerSearch* markerSearch = reinterpret_cast<MarkerSearch*>(search);
    WCHAR title[TextCapacity];
    GetWindowTextW(window, title, TextCapacity);
    if (wcscmp(title, markerSearch->marker) != 0) return TRUE;
    markerSearch->found = window;
    return FALSE;
}

BOOL CALLBACK MatchViewClass(HWND window, LPARAM search) {
    WCHAR className[TextCapacity];
    if (RealGetWindowClassW(window, className, TextCapacity) < UINT(ViewClassPrefixLength)) return TRUE;
    for (int i = 0; i < ViewClassPrefixLength; i++)
        if (className[i] != ViewClassPrefix[i]) return TRUE;
    reinterpret_cast<ViewSearch*>(search)->found = window;
    return FALSE;
}

int LoadHostMargins(void) {
    PluginState.iniHMargin = DefaultHMargin;
    PluginState.iniVMargin = DefaultVMargin;
    static WCHAR iniName[LongTextCapacity];
    lstrcpyW(iniName, L"%_ininame");
    ExpandVariables(iniName, 1);
    if (!iniName[0]) return 1;
    DWORD attributes = GetFileAttributesW(iniName);
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)))
        return 2;
    ReadMargin(iniName, L"HMargin", DefaultHMargin, &PluginState.iniHMargin);
    ReadMargin(iniName, L"VMargin", DefaultVMargin, &PluginState.iniVMargin);
    return 0;
}
