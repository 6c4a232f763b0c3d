// The test platform over the real Win32 (run under Wine), with the stand-in
// TakeCmd.dll as the shell.
//
// Where Wine differs from what the cases expect, and how this file treats it:
// - The console window belongs to Wine's console host, another process;
//   changing it (showing, hiding, moving) can deadlock while this thread
//   does not pump, so those changes run on a worker thread while this one
//   pumps.
// - The shell's windows live on a thread of their own, which also copies
//   the console's title into a following tab window while this thread is
//   held in the plug-in's tab search.
#include "test_platform.h"

#include <map>
#include <vector>

#include "kit_win32.h"
#include "standin.h"

namespace {

const UINT_PTR FollowTimer = 1;
const UINT FollowPeriodMs = 5;
const UINT MakeWindowMessage = WM_APP + 1;
const UINT DestroyWindowMessage = WM_APP + 2;
const DWORD WorkerTimeoutMs = 5000;

struct WindowRequest {
    HWND parent;
    LPCWSTR className, title;
    int width, height;
    HWND made;
};

struct Follower {
    HWND tab;
    int delayMs;
    std::wstring seen;  // the console title last seen, and when it came
    DWORD changedAt;
};

struct ShellThread {
    HANDLE thread;
    DWORD id;
    HANDLE ready;
    HWND control;  // a message-only window that makes windows on request
    CRITICAL_SECTION lock;
    std::vector<Follower> followers;
    int markerTitles;  // marked titles taken over: the plug-in's tab searches
};

ShellThread shell;
std::map<HWND, int> paints;
std::vector<int> heldKeys;
bool consoleMoved;
bool quitSeen;

std::wstring TitleOf(HWND window) {
    std::wstring title(size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    title.resize(size_t(GetWindowTextW(window, &title[0], int(title.size()))));
    return title;
}

void FollowTitles() {
    EnterCriticalSection(&shell.lock);
    std::wstring title = TitleOf(GetConsoleWindow());
    DWORD now = GetTickCount();
    for (Follower& f : shell.followers) {
        if (title != f.seen) {
            f.seen = title;
            f.changedAt = now;
        }
        if (f.delayMs >= 0 && now - f.changedAt >= DWORD(f.delayMs) && TitleOf(f.tab) != title) {
            SetWindowTextW(f.tab, title.c_str());
            if (title[0] == L'\u00ab') shell.markerTitles++;
        }
    }
    LeaveCriticalSection(&shell.lock);
}

LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == MakeWindowMessage) {
        WindowRequest* request = reinterpret_cast<WindowRequest*>(lParam);
        WNDCLASSEXW info = {};
        info.cbSize = sizeof info;
        if (!GetClassInfoExW(GetModuleHandleW(nullptr), request->className, &info)) {
            info.lpfnWndProc = DefWindowProcW;
            info.hInstance = GetModuleHandleW(nullptr);
            info.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
            info.lpszClassName = request->className;
            RegisterClassExW(&info);
        }
        DWORD style = (request->parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE;
        int x = request->parent ? 0 : 700, y = request->parent ? 0 : 50;
        request->made = CreateWindowExW(0, request->className, request->title, style, x, y, request->width,
                                        request->height, request->parent, nullptr, GetModuleHandleW(nullptr),
                                        nullptr);
        return 0;
    }
    if (message == DestroyWindowMessage) {
        DestroyWindow(reinterpret_cast<HWND>(lParam));
        return 0;
    }
    if (message == WM_TIMER && wParam == FollowTimer) {
        FollowTitles();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

DWORD WINAPI ShellThreadMain(LPVOID) {
    WNDCLASSEXW info = {};
    info.cbSize = sizeof info;
    info.lpfnWndProc = ControlProc;
    info.hInstance = GetModuleHandleW(nullptr);
    info.lpszClassName = L"TestShellControl";
    RegisterClassExW(&info);
    shell.control = CreateWindowExW(0, L"TestShellControl", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
    SetTimer(shell.control, FollowTimer, FollowPeriodMs, nullptr);
    SetEvent(shell.ready);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}

void StartShellThread() {
    if (shell.thread) return;
    shell.ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    shell.thread = CreateThread(nullptr, 0, ShellThreadMain, nullptr, 0, &shell.id);
    WaitForSingleObject(shell.ready, WorkerTimeoutMs);
}

// Ends the shell's thread, and with it every window it made.
void StopShellThread() {
    if (!shell.thread) return;
    PostThreadMessageW(shell.id, WM_QUIT, 0, 0);
    while (WaitForSingleObject(shell.thread, 10) == WAIT_TIMEOUT) RunMessages(0);
    CloseHandle(shell.thread);
    CloseHandle(shell.ready);
    shell.thread = nullptr;
    EnterCriticalSection(&shell.lock);
    shell.followers.clear();
    LeaveCriticalSection(&shell.lock);
}

struct WorkerCall {
    HWND window;
    int command;  // SW_SHOW, SW_HIDE, or -1 to move to `x`
    int x;
};

DWORD WINAPI ChangeConsoleWindow(LPVOID param) {
    WorkerCall* call = static_cast<WorkerCall*>(param);
    if (call->command >= 0) ShowWindow(call->window, call->command);
    else SetWindowPos(call->window, nullptr, call->x, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

// The console host may wait on this thread while it changes its window:
// the change runs on a worker while this thread pumps.
void ChangeConsole(WorkerCall call) {
    HANDLE worker = CreateThread(nullptr, 0, ChangeConsoleWindow, &call, 0, nullptr);
    DWORD start = GetTickCount();
    while (WaitForSingleObject(worker, 0) == WAIT_TIMEOUT && GetTickCount() - start < WorkerTimeoutMs)
        RunMessages(10);
    CloseHandle(worker);
}

// The settings' parent key holds every plug-in of the maker: the cases
// remove it only when it was not there before the first of them.
bool ParentPresentAtStart(HKEY root) {
    static int user = -1, machine = -1;
    int& present = root == HKEY_CURRENT_USER ? user : machine;
    if (present < 0) present = KeyExists(root, SettingsParentPath);
    return present != 0;
}

void ClearSettingsKey(HKEY root) {
    ParentPresentAtStart(root);
    RegDeleteTreeW(root, SettingsPath);
    if (!ParentPresentAtStart(root)) RegDeleteKeyW(root, SettingsParentPath);  // refused while it holds a key
}

}  // namespace

bool KeyExists(HKEY root, LPCWSTR path) {
    HKEY key;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::wstring ProgramFolder() {
    WCHAR path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    folder.resize(folder.find_last_of(L"\\/") + 1);
    return folder;
}

std::filesystem::path TestFile(const std::string& name) {
    return std::filesystem::path(ProgramFolder()) / "test-data" / name;
}

// The deepest part of the settings' path that exists, opened with every
// right a case uses.
bool MachineSettingsWritable() {
    static int writable = -1;
    if (writable >= 0) return writable != 0;
    writable = 0;
    for (LPCWSTR path : {SettingsPath, SettingsParentPath, L"Software"}) {
        HKEY key;
        LSTATUS status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, &key);
        if (status == ERROR_SUCCESS) RegCloseKey(key);
        if (status != ERROR_FILE_NOT_FOUND) {
            writable = status == ERROR_SUCCESS;
            break;
        }
    }
    return writable != 0;
}

void ResetPlatform() {
    static bool started;
    if (!started) {
        InitializeCriticalSection(&shell.lock);
        started = true;
    }
    StopShellThread();
    for (int key : heldKeys) HoldKey(key, false);
    heldKeys.clear();
    if (!IsWindowVisible(GetConsoleWindow())) ShowConsole(true);
    if (consoleMoved) MoveConsoleToMonitor(1);
    SetConsoleColors(0x07);
    SetConsoleTitleW(L"Tickrail tests");
    ClearSettingsKey(HKEY_CURRENT_USER);
    if (MachineSettingsWritable()) ClearSettingsKey(HKEY_LOCAL_MACHINE);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {}
    paints.clear();
    StandInClear();
    StandInSetVariable(L"_4ver", L"28.01");
    StandInSetVariable(L"_batch", L"0");
    StandInSetVariable(L"_transient", L"0");
    StandInSetVariable(L"_pipe", L"0");
    StandInSetVariable(L"noloadmsg", nullptr);
    StandInSetVariable(L"_ininame", L"");
    StandInSetHwndAnswer(L"");
}

HINSTANCE PluginModule() { return GetModuleHandleW(nullptr); }

void RunMessages(DWORD milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) quitSeen = true;
            if (message.message == WM_PAINT) paints[message.hwnd]++;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

bool QuitSeen() { return quitSeen; }

int PaintsDispatched(HWND window) { return paints[window]; }

std::wstring StdOutText() { return StandInOutput(); }
std::wstring StdErrText() { return StandInError(); }
void ClearOutput() { StandInClear(); }
void SetShellVariable(LPCWSTR name, LPCWSTR value) { StandInSetVariable(name, value); }

void SetHwndAnswer(HWND window) {
    WCHAR answer[32] = L"";
    if (window) wsprintfW(answer, L"%I64u", static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(window)));
    StandInSetHwndAnswer(answer);
}

void SetHwndAnswerText(LPCWSTR answer) { StandInSetHwndAnswer(answer); }

// The console host shows a new title a little later.
void SetConsoleTitleText(LPCWSTR title) {
    SetConsoleTitleW(title);
    RunMessagesUntil([&] { return TitleOf(GetConsoleWindow()) == title; });
}

int TabSearchesSeen() {
    EnterCriticalSection(&shell.lock);
    int seen = shell.markerTitles;
    LeaveCriticalSection(&shell.lock);
    return seen;
}

HWND MakeShellWindow(HWND parent, LPCWSTR className, LPCWSTR title, int width, int height) {
    StartShellThread();
    WindowRequest request = {parent, className, title, width, height, nullptr};
    SendMessageW(shell.control, MakeWindowMessage, 0, reinterpret_cast<LPARAM>(&request));
    return request.made;
}

// Windows are destroyed by the thread that made them.
void DestroyWindowOfShell(HWND window) {
    SendMessageW(shell.control, DestroyWindowMessage, 0, reinterpret_cast<LPARAM>(window));
}

// The shell's windows have no frame: the window is its client area.
void ResizeShellWindow(HWND window, int width, int height) {
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// One tab at a time shows the console.
void FollowConsoleTitle(HWND tab, int delayMs) {
    EnterCriticalSection(&shell.lock);
    shell.followers.assign(1, {tab, delayMs, TitleOf(GetConsoleWindow()), GetTickCount()});
    LeaveCriticalSection(&shell.lock);
}

// Through a handle of its own each time: a case may have made a new console.
void SetConsoleColors(WORD attributes) {
    HANDLE output = CreateFileW(L"conout$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    SetConsoleTextAttribute(output, attributes);
    CloseHandle(output);
}

void ShowConsole(bool visible) { ChangeConsole({GetConsoleWindow(), visible ? SW_SHOW : SW_HIDE, 0}); }

// Two monitors of 1600 by 1200 pixels side by side (scripts/wine-env.sh).
void MoveConsoleToMonitor(int monitor) {
    consoleMoved = monitor != 1;
    ChangeConsole({GetConsoleWindow(), -1, monitor == 1 ? 100 : 1700});
}

// A key under a volatile parent cannot be made: the save meets error 1021.
// Only a parent that the cases made themselves may become volatile.
DWORD BreakNextSettingsSave() {
    if (ParentPresentAtStart(HKEY_CURRENT_USER)) return 0;
    ClearSettingsKey(HKEY_CURRENT_USER);
    HKEY parent;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\OrvexPlugins", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                    nullptr, &parent, nullptr);
    RegCloseKey(parent);
    return ERROR_CHILD_MUST_BE_VOLATILE;
}

namespace {

struct BoxWatch {
    HANDLE thread;
    volatile LONG stop;
    CRITICAL_SECTION lock;
    std::vector<MessageBoxSeen> seen;
} boxes;

BOOL CALLBACK ReadBoxChild(HWND window, LPARAM param) {
    MessageBoxSeen* box = reinterpret_cast<MessageBoxSeen*>(param);
    WCHAR className[64] = L"";
    GetClassNameW(window, className, 64);
    if (lstrcmpiW(className, L"Button") == 0) box->buttons++;
    std::wstring text = TitleOf(window);
    if (lstrcmpiW(className, L"Static") == 0 && text.size() > box->text.size()) box->text = text;
    return TRUE;
}

BOOL CALLBACK FindBox(HWND window, LPARAM) {
    WCHAR className[64] = L"";
    GetClassNameW(window, className, 64);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (lstrcmpW(className, L"#32770") != 0 || process != GetCurrentProcessId() || !IsWindowVisible(window))
        return TRUE;
    MessageBoxSeen box = {GetWindow(window, GW_OWNER), TitleOf(window), L"", 0};
    EnumChildWindows(window, ReadBoxChild, reinterpret_cast<LPARAM>(&box));
    EnterCriticalSection(&boxes.lock);
    boxes.seen.push_back(box);
    LeaveCriticalSection(&boxes.lock);
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    ShowWindow(window, SW_HIDE);
    return TRUE;
}

DWORD WINAPI WatchBoxes(LPVOID) {
    while (!boxes.stop) {
        EnumWindows(FindBox, 0);
        Sleep(10);
    }
    return 0;
}

}  // namespace

void WatchMessageBoxes() {
    static bool ready;
    if (!ready) InitializeCriticalSection(&boxes.lock);
    ready = true;
    boxes.seen.clear();
    boxes.stop = 0;
    boxes.thread = CreateThread(nullptr, 0, WatchBoxes, nullptr, 0, nullptr);
}

std::vector<MessageBoxSeen> MessageBoxesSeen() {
    boxes.stop = 1;
    WaitForSingleObject(boxes.thread, WorkerTimeoutMs);
    CloseHandle(boxes.thread);
    return boxes.seen;
}

void BringToFront(HWND window) { SetForegroundWindow(window); }

void HoldKey(int virtualKey, bool down) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = WORD(virtualKey);
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
    RunMessagesUntil([&] { return ((GetAsyncKeyState(virtualKey) & 0x8000) != 0) == down; }, 2000);
    if (down) heldKeys.push_back(virtualKey);
}

COLORREF PixelOf(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    COLORREF pixel = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return pixel;
}

std::string Narrow(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(size), '\0');
    if (size) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), &out[0], size, nullptr, nullptr);
    return out;
}
