// What the shell calls to load and unload the plug-in, and the start and
// stop order of everything the plug-in builds.
#include "plugin.h"

#include <cwchar>

#include "hotkeys/keys.h"
#include "overlay/overlay.h"
#include "settings/settings.h"
#include "text.h"

PluginStateRecord PluginState;

// Edited in place at load: the shell reads the entry points from here.
WCHAR functionList[] = L"tickrail,list,*key";
const WCHAR AllFunctions[] = L"tickrail,list,*key";

namespace {

PluginInfoRecord pluginInfo;

// Shared by the start-up steps: a system error text or the hotkey text.
WCHAR startupText[TextCapacity];

typedef BOOL(WINAPI* SetProcessDPIAwareProc)(void);
typedef BOOL(WINAPI* ScreenBufferInfoExProc)(HANDLE, PCONSOLE_SCREEN_BUFFER_INFOEX);

// Converts a procedure found by name into its real type.
template <typename Proc>
Proc CastProc(FARPROC proc) {
    return reinterpret_cast<Proc>(reinterpret_cast<void (*)(void)>(proc));
}

void MakeDpiAware(void) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32) return;
    SetProcessDPIAwareProc setDpiAware =
        CastProc<SetProcessDPIAwareProc>(GetProcAddress(user32, "SetProcessDPIAware"));
    if (setDpiAware) setDpiAware();
}

bool IsListSeparator(WCHAR c) { return c == L',' || c == L';'; }

// Undoes what the start-up built, in the stop order.
void ReleaseEverything(void) {
    if (PluginState.timerId) KillTimer(nullptr, PluginState.timerId);
    if (PluginState.consoleOverlay) DestroyWindow(PluginState.consoleOverlay);
    if (PluginState.tabOverlay) DestroyWindow(PluginState.tabOverlay);
    if (PluginState.classAtom) UnregisterClassW(PluginState.className, PluginState.moduleInstance);
    if (PluginState.consoleOutput && PluginState.consoleOutput != INVALID_HANDLE_VALUE)
        CloseHandle(PluginState.consoleOutput);
    // A later load starts from nothing, as the first one did.
    PluginState.timerId = 0;
    PluginState.classAtom = 0;
    PluginState.consoleOutput = nullptr;
}

// The shell may load the plug-in again without unloading the library: each
// load starts from what a fresh library holds (and a load that was never
// shut down is undone first). The start-up's reset brings the settings
// back, all but the strip's visibility.
void StartFromFreshState(void) {
    ReleaseEverything();
    HMODULE module = PluginState.moduleInstance;
    ZeroMemory(&PluginState, sizeof PluginState);
    PluginState.moduleInstance = module;
    Settings.enabled = DefaultSettings.enabled;
    lstrcpyW(functionList, AllFunctions);
}

int FailLoad(void) {
    ReleaseEverything();
    Qprintf(StdErr(), L"Plugin not loaded.\r\n");
    return 1;
}

// `what` failed; the reason goes on a line of its own. A call that fails
// without a reason (error 0) gets none: the system's text for 0 says that
// all went well.
int FailStep(LPCWSTR what) {
    DWORD error = GetLastError();
    if (error == LayeredChildRefused)
        lstrcpyW(startupText, L"The shell does not allow the click-through windows that the strip needs.");
    else
        FormatSystemError(error, startupText);
    PrintError(error ? L"Failed to %s:\r\n  %s\r\n" : L"Failed to %s:\r\n", what, startupText);
    return FailLoad();
}

bool RegisterOverlayClass(void) {
    wsprintfW(PluginState.className, OVERLAY_CLASS_FORMAT, GetCurrentProcessId());
    WNDCLASSEXW windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = OverlayWndProc;
    windowClass.hInstance = PluginState.moduleInstance;
    windowClass.lpszClassName = PluginState.className;
    PluginState.classAtom = RegisterClassExW(&windowClass);
    return PluginState.classAtom != 0;
}

void PrintLoadMessage(void) {
    lstrcpynW(startupText, L"%[_transient]%[_pipe]%[noloadmsg]", TextCapacity);
    ExpandVariables(startupText, 1);
    if (startupText[0] != L'0' || startupText[1] != L'0' || startupText[2] != 0) return;
    ZeroMemory(startupText, sizeof startupText);
    HotkeyToText(Settings.hotkeys[0], startupText);
    Printf(L"%s v%u.%u.%u loaded; hotkey is %s.\r\n", PLUGIN_NAME, PluginMajorVersion,
           PluginMinorVersion, PluginBuild, startupText);
    // A pseudo-console host (Windows Terminal) gives a console window that
    // nobody sees; without the shell's tabbed window nothing can show.
    if (!PluginState.hostMainWindow && GetClassNameW(PluginState.consoleWindow, startupText, TextCapacity) &&
        wcscmp(startupText, L"PseudoConsoleWindow") == 0)
        Printf(L"The strip cannot show in this console (Windows Terminal or another pseudo-console host): use a classic console window or the shell's tabbed window.\r\n");
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) PluginState.moduleInstance = instance;
    return TRUE;
}

extern "C" PluginInfoRecord* WINAPI GetPluginInfo(void) {
    pluginInfo.name = PLUGIN_NAME;
    pluginInfo.author = L"" TICKRAIL_AUTHOR;
    pluginInfo.email = L"tickrail@example.org";
    pluginInfo.webPage = L"https://tickrail.example.org/";
    pluginInfo.description = L"" TICKRAIL_DESCRIPTION;
    pluginInfo.functions = functionList;
    pluginInfo.majorVersion = PluginMajorVersion;
    pluginInfo.minorVersion = PluginMinorVersion;
    pluginInfo.build = PluginBuild;
    return &pluginInfo;
}

DWORD QueryHostVersion(void) {
    WCHAR buffer[TextCapacity] = L"%_4ver";
    ExpandVariables(buffer, 1);
    DWORD version;
    if (!IsDecimalDigit(buffer[0]) || !ConvertUnsigned(buffer, 10, &version, nullptr)) version = 0;
    PluginState.hostVersion = version;
    return version;
}

int RemoveListEntry(void) {
    WCHAR* text = functionList;
    for (WCHAR* entry = text; *entry;) {
        WCHAR* end = entry;
        while (*end && !IsListSeparator(*end)) end++;
        if (end - entry == 4 && UpperAscii(entry[0]) == L'L' && UpperAscii(entry[1]) == L'I' &&
            UpperAscii(entry[2]) == L'S' && UpperAscii(entry[3]) == L'T') {
            if (!*end) {
                *entry = 0;
            } else {
                WCHAR* rest = end + 1;
                while ((*entry++ = *rest++)) {}
            }
            break;
        }
        entry = *end ? end + 1 : end;
    }
    size_t length = lstrlenW(text);
    if (length > 0 && IsListSeparator(text[length - 1])) text[length - 1] = 0;
    return 0;
}

extern "C" int WINAPI InitializePlugin(void) {
    StartFromFreshState();
    ZeroMemory(startupText, sizeof startupText);
    MakeDpiAware();

    if (QueryHostVersion() < MinimumHostVersion) {
        PrintError(L"Take Command version 13 or later is required!\r\n");
        return FailLoad();
    }
    // Older shells keep no margins around the text: theirs stay 0.
    if (PluginState.hostVersion >= MarginsHostVersion) LoadHostMargins();

    PluginState.hostMainWindow = FindHostMainWindow();
    PluginState.consoleWindow = GetConsoleWindow();
    PluginState.consoleWasVisible = IsWindowVisible(PluginState.consoleWindow);
    PluginState.desktopWindow = GetDesktopWindow();
    PluginState.tabWindow = PluginState.hostMainWindow ? FindConsoleTabWindow() : nullptr;

    HMODULE kernel32 = GetModuleHandleW(L"Kernel32.dll");
    if (kernel32)
        PluginState.getScreenBufferInfoEx = CastProc<ScreenBufferInfoExProc>(
            GetProcAddress(kernel32, "GetConsoleScreenBufferInfoEx"));

    SelectKeyTable();
    ResetSettingsToDefaults();
    if (LoadSettingsFromRegistry(HKEY_CURRENT_USER) != 0) LoadSettingsFromRegistry(HKEY_LOCAL_MACHINE);
    if (Settings.hookList == 0) RemoveListEntry();

    SetLastError(0);  // a failure without a code of its own shows no older one
    PluginState.consoleOutput = CreateFileW(L"conout$", GENERIC_READ | GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, 0, nullptr);
    if (PluginState.consoleOutput == INVALID_HANDLE_VALUE)
        return FailStep(L"open console buffer");

    if (!RegisterOverlayClass()) return FailStep(L"register tickrail window class");

    if (Settings.hiddenAtStartup) Settings.enabled = 0;
    PluginState.consoleOverlay = CreateOverlayWindow(ConsoleOverlayKind, PluginState.consoleWindow);
    if (!PluginState.consoleOverlay) return FailStep(L"create console tickrail window");

    if (PluginState.tabWindow)
        PluginState.tabOverlay = CreateOverlayWindow(TabOverlayKind, PluginState.tabWindow);

    PluginState.timerId = SetTimer(nullptr, TrackTimerEventId, TrackTimerPeriodMs, TrackTimerProc);

    PrintLoadMessage();
    return 0;
}

extern "C" int WINAPI ShutdownPlugin(int) {
    ReleaseEverything();
    return 0;
}
