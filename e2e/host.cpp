// The plug-in as the shell sees it: loading the library and its exports,
// pumping the thread's messages, the shell's main and tab windows, and the
// windows, registry values and pixels that the cases look at.
#include "host.h"

#include <cstring>

#include "check.h"
#include "standin.h"

namespace {

struct ChildSearch {
    std::wstring className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectByClass(HWND window, LPARAM param) {
    ChildSearch* search = reinterpret_cast<ChildSearch*>(param);
    if (ClassOf(window) == search->className) search->found.push_back(window);
    return TRUE;
}

template <typename Proc>
Proc Find(HMODULE module, const char* name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void (*)(void)>(GetProcAddress(module, name)));
}

const UINT_PTR TitleFollowTimer = 1;
const UINT TitleFollowPeriodMs = 5;

LRESULT CALLBACK ShellWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == TitleFollowTimer) {
        ShellWindows* shell = reinterpret_cast<ShellWindows*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (shell && shell->tab) {
            std::wstring title = TitleOf(shell->console);
            if (title != TitleOf(shell->tab)) {
                SetWindowTextW(shell->tab, title.c_str());
                if (title[0] == L'\u00AB') InterlockedIncrement(&shell->markerTitles);
            }
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

DWORD WINAPI ShellThread(LPVOID param) {
    ShellWindows* shell = static_cast<ShellWindows*>(param);
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ShellWndProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = L"HarnessShellMain";
    RegisterClassExW(&windowClass);
    windowClass.lpszClassName = L"HarnessShellTab";
    windowClass.lpfnWndProc = shell->tabProc ? shell->tabProc : DefWindowProcW;
    RegisterClassExW(&windowClass);

    shell->main = CreateWindowExW(0, L"HarnessShellMain", L"Take Command", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  700, 50, 800, 600, nullptr, nullptr, windowClass.hInstance, nullptr);
    int width = shell->tabWidth ? shell->tabWidth : DefaultTabWidth;
    int height = shell->tabHeight ? shell->tabHeight : DefaultTabHeight;
    shell->tab = CreateWindowExW(0, L"HarnessShellTab", L"", WS_CHILD | WS_VISIBLE, 0, 0, width, height,
                                 shell->main, nullptr, windowClass.hInstance, nullptr);
    SetWindowLongPtrW(shell->main, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(shell));
    SetTimer(shell->main, TitleFollowTimer, TitleFollowPeriodMs, nullptr);
    SetEvent(shell->ready);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    DestroyWindow(shell->main);
    return 0;
}

}  // namespace

// The product lies one folder up from the test programs, which keep the
// stand-in TakeCmd.dll beside them, where the loader finds it for the DLL.
std::wstring PluginLibraryPath() {
    WCHAR path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    folder.resize(folder.find_last_of(L"\\/") + 1);
    return folder + L"..\\tickrail.dll";
}

bool LoadPluginLibrary(Plugin* plugin) {
    plugin->module = LoadLibraryW(PluginLibraryPath().c_str());
    Check(plugin->module != nullptr, "LoadLibraryW(tickrail.dll)");
    if (!plugin->module) return false;
    plugin->getPluginInfo = Find<GetPluginInfoProc>(plugin->module, "GetPluginInfo");
    plugin->initializePlugin = Find<InitializePluginProc>(plugin->module, "InitializePlugin");
    plugin->shutdownPlugin = Find<ShutdownPluginProc>(plugin->module, "ShutdownPlugin");
    plugin->usage = Find<UsageProc>(plugin->module, "Usage");
    plugin->help = Find<HelpProc>(plugin->module, "Help");
    plugin->tickrail = Find<CommandProc>(plugin->module, "tickrail");
    plugin->list = Find<CommandProc>(plugin->module, "list");
    plugin->key = Find<KeyProc>(plugin->module, "key");
    bool all = plugin->getPluginInfo && plugin->initializePlugin && plugin->shutdownPlugin &&
               plugin->usage && plugin->help && plugin->tickrail && plugin->list && plugin->key;
    Check(all, "every export found by its plain name");
    // A fresh library meets a shell in its start state.
    SetStartVariables();
    return all;
}

void FreePluginLibrary(Plugin* plugin) {
    if (plugin->module) FreeLibrary(plugin->module);
    plugin->module = nullptr;
}

int overlayPaints;

int OverlayPaintsDispatched() { return overlayPaints; }

void Pump(DWORD milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                Check(false, "no quit message reaches the shell's loop");
                continue;
            }
            if (message.message == WM_PAINT && ClassOf(message.hwnd) == OverlayClassName()) overlayPaints++;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

void SetStartVariables() {
    StandInClear();
    StandInSetVariable(L"_4ver", L"28.01");
    StandInSetVariable(L"_batch", L"0");
    StandInSetVariable(L"_transient", L"0");
    StandInSetVariable(L"_pipe", L"0");
    StandInSetVariable(L"noloadmsg", nullptr);
    StandInSetVariable(L"_ininame", L"");
    StandInSetHwndAnswer(L"");
}

std::wstring OverlayClassName() {
    WCHAR name[64];
    wsprintfW(name, L"Take Command Tickrail %04X", GetCurrentProcessId());
    return name;
}

std::wstring ClassOf(HWND window) {
    WCHAR name[256] = L"";
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring TitleOf(HWND window) {
    std::wstring title(size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    title.resize(size_t(GetWindowTextW(window, &title[0], int(title.size()))));
    return title;
}

std::vector<HWND> OverlaysIn(HWND parent) {
    ChildSearch search = {OverlayClassName(), {}};
    EnumChildWindows(parent, CollectByClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool ClassRegistered(HMODULE module) {
    WNDCLASSEXW info;
    info.cbSize = sizeof info;
    return GetClassInfoExW(module, OverlayClassName().c_str(), &info) != 0;
}

std::wstring SystemText(DWORD error) {
    WCHAR text[1024] = L"";
    if (!FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | 0xFF, nullptr,
                        error, 0, text, 1024, nullptr))
        wsprintfW(text, L"Error %d", int(error));
    std::wstring trimmed = text;
    while (!trimmed.empty() && iswspace(trimmed.back())) trimmed.pop_back();
    return trimmed;
}

RECT PlaceIn(HWND window, HWND parent) {
    RECT place;
    GetWindowRect(window, &place);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

std::wstring PixelRun(HWND window, int x, int y, int count) {
    HDC dc = GetDC(window);
    std::wstring run;
    for (int i = 0; i < count; i++) {
        COLORREF pixel = GetPixel(dc, x, y + i);
        run += pixel == 0xFFBF00 ? L'M' : pixel == 0x0000FF ? L'k' : L'?';
    }
    ReleaseDC(window, dc);
    return run;
}

void StartShellWindows(ShellWindows* shell) {
    shell->console = GetConsoleWindow();
    shell->ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    shell->thread = CreateThread(nullptr, 0, ShellThread, shell, 0, &shell->threadId);
    WaitForSingleObject(shell->ready, 5000);
    WCHAR answer[32];
    wsprintfW(answer, L"%u", unsigned(reinterpret_cast<ULONG_PTR>(shell->main)));
    StandInSetHwndAnswer(answer);
}

void StopShellWindows(ShellWindows* shell) {
    PostThreadMessageW(shell->threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(shell->thread, 5000);
    CloseHandle(shell->thread);
    CloseHandle(shell->ready);
}

int RunCommand(Plugin& plugin, LPCWSTR tail) {
    StandInClear();
    std::wstring copy = tail;
    return plugin.tickrail(&copy[0]);
}

bool ShownByStyle(HWND window) { return (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

void ClearStoredSettings() {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\OrvexPlugins");
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\OrvexPlugins");
}

bool StoredDword(HKEY root, LPCWSTR name, DWORD* value) {
    DWORD size = sizeof *value;
    return RegGetValueW(root, SettingsKey, name, RRF_RT_REG_DWORD, nullptr, value, &size) == ERROR_SUCCESS;
}

DWORD WINAPI HideConsole(LPVOID) {
    ShowWindow(GetConsoleWindow(), SW_HIDE);
    return 0;
}

DWORD WINAPI ShowConsole(LPVOID) {
    ShowWindow(GetConsoleWindow(), SW_SHOW);
    return 0;
}

void RunOnWorker(LPTHREAD_START_ROUTINE routine, DWORD pumpMs) {
    HANDLE worker = CreateThread(nullptr, 0, routine, nullptr, 0, nullptr);
    DWORD start = GetTickCount();
    while (WaitForSingleObject(worker, 0) == WAIT_TIMEOUT && GetTickCount() - start < 5000) Pump(10);
    CloseHandle(worker);
    Pump(pumpMs);
}
