#include "user.h"

#include <algorithm>
#include <deque>
#include <cwctype>
#include <map>

#include "format.h"
#include "kernel.h"
#include "shell.h"
#include "sim.h"

namespace {

const uintptr_t FirstWindowHandle = 0x10010;
const ATOM FirstAtom = 0xC000;
const UINT_PTR FirstTimerId = 0x7E01;
const int WsprintfCapacity = 1025;  // wsprintfW writes at most 1024 characters

struct Window {
    HWND handle;
    HWND parent;
    std::vector<HWND> children;  // z-order, top first
    std::wstring title, className;
    DWORD style, exStyle;
    int x, y, width, height;
    WNDPROC proc;
    LONG_PTR userData;
    int monitor;
    sim::LayeredAttributes layered;
    sim::ScrollBar vScroll, hScroll;
    bool ownedByTest;
};

struct WindowClass {
    std::wstring name;
    HINSTANCE instance;
    WNDPROC proc;
    ATOM atom;
};

struct Timer {
    UINT_PTR id;
    DWORD period;
    DWORD due;
    TIMERPROC proc;
};

struct UserState {
    std::map<uintptr_t, Window> windows;
    uintptr_t nextHandle = FirstWindowHandle;
    HWND desktop = nullptr;
    HWND console = nullptr;
    HWND foreground = nullptr;
    std::vector<WindowClass> classes;
    ATOM nextAtom = FirstAtom;
    std::vector<Timer> timers;
    UINT_PTR nextTimerId = FirstTimerId;
    std::deque<MSG> queue;
    std::map<std::pair<uintptr_t, UINT>, int> dispatched;
    bool quitPosted = false;
    bool keyDown[256] = {};
    bool pressedSinceQuery[256] = {};
    int enumerationCalls = 0;
    std::vector<sim::MessageBoxCall> messageBoxes;
};

UserState* state = new UserState;

Window* Find(HWND handle) {
    auto found = state->windows.find(reinterpret_cast<uintptr_t>(handle));
    return found == state->windows.end() ? nullptr : &found->second;
}

Window* FindOrFail(HWND handle) {
    Window* window = Find(handle);
    if (!window) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return window;
}

bool SameText(const std::wstring& a, LPCWSTR b) {
    if (a.size() != wcslen(b)) return false;
    for (size_t i = 0; i < a.size(); i++)
        if (towupper(a[i]) != towupper(b[i])) return false;
    return true;
}

WindowClass* FindClass(LPCWSTR name) {
    for (WindowClass& c : state->classes)
        if (SameText(c.name, name)) return &c;
    return nullptr;
}

HWND NewWindow(HWND parent, const std::wstring& className, const std::wstring& title, DWORD style,
               DWORD exStyle, int x, int y, int width, int height, WNDPROC proc, bool ownedByTest) {
    HWND handle = reinterpret_cast<HWND>(state->nextHandle);
    state->nextHandle += 2;
    Window window = {handle, parent, {}, title, className, style, exStyle, x, y, width, height,
                     proc, 0, 1, {}, {}, {}, ownedByTest};
    state->windows[reinterpret_cast<uintptr_t>(handle)] = window;
    // As on Windows, a new top-level window comes on top, a new child window
    // below its siblings (creation order is their z-order).
    if (Window* p = Find(parent)) {
        if (parent == state->desktop) p->children.insert(p->children.begin(), handle);
        else p->children.push_back(handle);
    }
    return handle;
}

void Unlink(Window* window) {
    if (Window* p = Find(window->parent)) {
        auto& siblings = p->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), window->handle), siblings.end());
    }
}

LRESULT Send(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = Find(handle);
    if (!window) return 0;
    if (window->proc) return window->proc(handle, message, wParam, lParam);
    return DefWindowProcW(handle, message, wParam, lParam);
}

void CollectDescendants(HWND parent, std::vector<HWND>* out) {
    Window* window = Find(parent);
    if (!window) return;
    for (HWND child : window->children) {
        out->push_back(child);
        CollectDescendants(child, out);
    }
}

}  // namespace

ATOM RegisterClassExW(const WNDCLASSEXW* windowClass) {
    DWORD error;
    if (sim::TakeFailure(sim::Call::RegisterClass, &error)) {
        SetLastError(error);
        return 0;
    }
    if (!windowClass || windowClass->cbSize != sizeof(WNDCLASSEXW) || !windowClass->lpszClassName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (FindClass(windowClass->lpszClassName)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    WindowClass c = {windowClass->lpszClassName, windowClass->hInstance, windowClass->lpfnWndProc,
                     state->nextAtom++};
    state->classes.push_back(c);
    return c.atom;
}

BOOL GetClassInfoExW(HINSTANCE instance, LPCWSTR className, WNDCLASSEXW* info) {
    WindowClass* c = FindClass(className);
    if (!c || c->instance != instance) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    info->lpfnWndProc = c->proc;
    info->hInstance = c->instance;
    info->lpszClassName = className;
    return TRUE;
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE instance) {
    WindowClass* c = FindClass(className);
    if (!c || c->instance != instance) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    for (auto& entry : state->windows) {
        if (!entry.second.ownedByTest && SameText(entry.second.className, className)) {
            SetLastError(ERROR_CLASS_HAS_WINDOWS);
            return FALSE;
        }
    }
    state->classes.erase(state->classes.begin() + (c - state->classes.data()));
    return TRUE;
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU, HINSTANCE, LPVOID) {
    DWORD error;
    if (sim::TakeFailure(sim::Call::CreateWindow, &error)) {
        SetLastError(error);
        return nullptr;
    }
    WindowClass* c = className ? FindClass(className) : nullptr;
    if (!c) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    if (parent && !FindOrFail(parent)) return nullptr;
    HWND handle = NewWindow(parent ? parent : state->desktop, c->name, title ? title : L"", style,
                            exStyle, x, y, width, height, c->proc, false);
    Send(handle, WM_CREATE, 0, 0);
    return handle;
}

BOOL DestroyWindow(HWND handle) {
    Window* window = FindOrFail(handle);
    if (!window || handle == state->desktop) return FALSE;
    // The window hears of its destruction first, then its descendants.
    std::vector<HWND> doomed = {handle};
    CollectDescendants(handle, &doomed);
    for (HWND h : doomed) Send(h, WM_DESTROY, 0, 0);
    if (Window* w = Find(handle)) Unlink(w);
    for (HWND h : doomed) state->windows.erase(reinterpret_cast<uintptr_t>(h));
    auto& queue = state->queue;
    queue.erase(std::remove_if(queue.begin(), queue.end(),
                               [](const MSG& m) { return m.hwnd && !Find(m.hwnd); }),
                queue.end());
    return TRUE;
}

BOOL IsWindow(HWND handle) { return Find(handle) != nullptr; }

BOOL IsWindowVisible(HWND handle) {
    for (Window* w = Find(handle); w; w = Find(w->parent)) {
        if (w->handle == state->desktop) return TRUE;
        if (!(w->style & WS_VISIBLE)) return FALSE;
    }
    return FALSE;
}

BOOL ShowWindow(HWND handle, int command) {
    Window* window = FindOrFail(handle);
    if (!window) return FALSE;
    BOOL wasVisible = (window->style & WS_VISIBLE) != 0;
    if (command == SW_HIDE) window->style &= ~WS_VISIBLE;
    else window->style |= WS_VISIBLE;
    return wasVisible;
}

HWND SetParent(HWND handle, HWND newParent) {
    DWORD error;
    if (sim::TakeFailure(sim::Call::SetParent, &error)) {
        SetLastError(error);
        return nullptr;
    }
    Window* window = FindOrFail(handle);
    if (!newParent) newParent = state->desktop;
    Window* parent = FindOrFail(newParent);
    if (!window || !parent) return nullptr;
    HWND old = window->parent;
    if (newParent != state->desktop && sim::TakeFailure(sim::Call::LayeredChild, &error))
        window->exStyle &= ~DWORD(WS_EX_LAYERED);
    Unlink(window);
    window->parent = newParent;
    parent->children.insert(parent->children.begin(), handle);
    return old;
}

// As on Windows: a child window's parent, also when that is the desktop;
// none for a top-level window (which has no owner here).
HWND GetParent(HWND handle) {
    Window* window = FindOrFail(handle);
    return window && (window->style & WS_CHILD) ? window->parent : nullptr;
}

HWND GetDesktopWindow(void) { return state->desktop; }
HWND GetForegroundWindow(void) { return state->foreground; }

BOOL SetWindowPos(HWND handle, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    Window* window = FindOrFail(handle);
    if (!window) return FALSE;
    if (!(flags & SWP_NOMOVE)) {
        window->x = x;
        window->y = y;
    }
    if (!(flags & SWP_NOSIZE)) {
        window->width = width;
        window->height = height;
    }
    if (!(flags & SWP_NOZORDER) && insertAfter == HWND_TOP) {
        Window* parent = Find(window->parent);
        Unlink(window);
        if (parent) parent->children.insert(parent->children.begin(), handle);
    }
    if (flags & SWP_SHOWWINDOW) window->style |= WS_VISIBLE;
    if (flags & SWP_HIDEWINDOW) window->style &= ~WS_VISIBLE;
    return TRUE;
}

BOOL GetClientRect(HWND handle, LPRECT rect) {
    Window* window = FindOrFail(handle);
    if (!window) return FALSE;
    *rect = {0, 0, window->width, window->height};
    return TRUE;
}

int GetWindowTextW(HWND handle, LPWSTR text, int capacity) {
    Window* window = FindOrFail(handle);
    if (capacity <= 0) return 0;
    text[0] = 0;
    if (!window) return 0;
    size_t n = std::min(window->title.size(), size_t(capacity - 1));
    std::copy(window->title.begin(), window->title.begin() + n, text);
    text[n] = 0;
    return int(n);
}

int GetWindowTextLengthW(HWND handle) {
    Window* window = FindOrFail(handle);
    return window ? int(window->title.size()) : 0;
}

BOOL SetWindowTextW(HWND handle, LPCWSTR text) {
    Window* window = FindOrFail(handle);
    if (!window) return FALSE;
    window->title = text ? text : L"";
    if (handle == state->console) sim::ShellAct();
    return TRUE;
}

UINT RealGetWindowClassW(HWND handle, LPWSTR text, UINT capacity) {
    Window* window = FindOrFail(handle);
    if (!window || capacity == 0) return 0;
    size_t n = std::min(window->className.size(), size_t(capacity - 1));
    std::copy(window->className.begin(), window->className.begin() + n, text);
    text[n] = 0;
    return UINT(n);
}

LONG_PTR SetWindowLongPtrW(HWND handle, int index, LONG_PTR value) {
    Window* window = FindOrFail(handle);
    if (!window) return 0;
    LONG_PTR old = 0;
    switch (index) {
    case GWLP_USERDATA: old = window->userData; window->userData = value; break;
    case GWL_STYLE: old = window->style; window->style = DWORD(value); break;
    case GWL_EXSTYLE: old = window->exStyle; window->exStyle = DWORD(value); break;
    default: SetLastError(ERROR_INVALID_PARAMETER); break;
    }
    return old;
}

LONG_PTR GetWindowLongPtrW(HWND handle, int index) {
    Window* window = FindOrFail(handle);
    if (!window) return 0;
    switch (index) {
    case GWLP_USERDATA: return window->userData;
    case GWL_STYLE: return window->style;
    case GWL_EXSTYLE: return window->exStyle;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC callback, LPARAM param) {
    state->enumerationCalls++;
    std::vector<HWND> all;
    CollectDescendants(parent ? parent : state->desktop, &all);
    for (HWND h : all)
        if (Find(h) && !callback(h, param)) break;
    return TRUE;
}

BOOL SetLayeredWindowAttributes(HWND handle, COLORREF key, BYTE alpha, DWORD flags) {
    Window* window = FindOrFail(handle);
    if (!window) return FALSE;
    DWORD error;
    if (sim::TakeFailure(sim::Call::SetLayeredAttributes, &error)) {
        SetLastError(error);
        return FALSE;
    }
    if (!(window->exStyle & WS_EX_LAYERED)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    window->layered = {key, alpha, flags, true};
    return TRUE;
}

LRESULT DefWindowProcW(HWND, UINT, WPARAM, LPARAM) { return 0; }

namespace {

// Where the client area of `handle` lies on the screen: the desktop at the
// origin, each window at its place in its parent.
POINT ScreenOrigin(HWND handle) {
    POINT origin = {0, 0};
    for (Window* w = Find(handle); w && w->handle != state->desktop; w = Find(w->parent)) {
        origin.x += w->x;
        origin.y += w->y;
    }
    return origin;
}

}  // namespace

BOOL GetWindowRect(HWND handle, LPRECT rect) {
    Window* window = FindOrFail(handle);
    if (!window) return FALSE;
    POINT origin = ScreenOrigin(handle);
    *rect = {origin.x, origin.y, origin.x + window->width, origin.y + window->height};
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
    POINT a = from ? ScreenOrigin(from) : POINT{0, 0}, b = to ? ScreenOrigin(to) : POINT{0, 0};
    for (UINT i = 0; i < count; i++) {
        points[i].x += a.x - b.x;
        points[i].y += a.y - b.y;
    }
    return 0;
}

HWND GetAncestor(HWND handle, UINT) {
    Window* window = FindOrFail(handle);
    return window ? window->parent : nullptr;
}

HWND GetWindow(HWND handle, UINT command) {
    Window* window = FindOrFail(handle);
    if (!window) return nullptr;
    if (command == GW_CHILD) return window->children.empty() ? nullptr : window->children.front();
    Window* parent = Find(window->parent);
    if (command != GW_HWNDNEXT || !parent) return nullptr;
    auto self = std::find(parent->children.begin(), parent->children.end(), handle);
    return self == parent->children.end() || self + 1 == parent->children.end() ? nullptr : *(self + 1);
}

int GetClassNameW(HWND handle, LPWSTR text, int capacity) { return int(RealGetWindowClassW(handle, text, UINT(capacity))); }

BOOL GetLayeredWindowAttributes(HWND handle, COLORREF* key, BYTE* alpha, DWORD* flags) {
    Window* window = FindOrFail(handle);
    if (!window || !(window->exStyle & WS_EX_LAYERED) || !window->layered.set) return FALSE;
    if (key) *key = window->layered.key;
    if (alpha) *alpha = window->layered.alpha;
    if (flags) *flags = window->layered.flags;
    return TRUE;
}

BOOL PostMessageW(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (handle && !FindOrFail(handle)) return FALSE;
    state->queue.push_back({handle, message, wParam, lParam, sim::Now(), {0, 0}});
    return TRUE;
}

void PostQuitMessage(int) { state->quitPosted = true; }

BOOL ValidateRect(HWND handle, const RECT*) { return FindOrFail(handle) != nullptr; }

UINT_PTR SetTimer(HWND, UINT_PTR, UINT elapse, TIMERPROC proc) {
    Timer timer = {state->nextTimerId++, elapse, sim::Now() + elapse, proc};
    state->timers.push_back(timer);
    return timer.id;
}

BOOL KillTimer(HWND, UINT_PTR id) {
    auto& timers = state->timers;
    auto found = std::find_if(timers.begin(), timers.end(), [id](const Timer& t) { return t.id == id; });
    if (found == timers.end()) return FALSE;
    timers.erase(found);
    return TRUE;
}

HMONITOR MonitorFromWindow(HWND handle, DWORD) {
    Window* window = Find(handle);
    return reinterpret_cast<HMONITOR>(uintptr_t(0x30000 + (window ? window->monitor : 1)));
}

BOOL GetScrollBarInfo(HWND handle, LONG objectId, PSCROLLBARINFO info) {
    Window* window = FindOrFail(handle);
    if (!window || !info || info->cbSize != sizeof(SCROLLBARINFO)) return FALSE;
    const sim::ScrollBar& bar = objectId == OBJID_VSCROLL ? window->vScroll : window->hScroll;
    // A hidden bar keeps its size; only its state says that it is hidden.
    info->dxyLineButton = bar.lineButton;
    for (DWORD& s : info->rgstate) s = 0;
    if (!bar.shown) info->rgstate[0] = STATE_SYSTEM_INVISIBLE;
    return TRUE;
}

// Held keys have the high bit; a key pressed since the last query has the
// low one, held or not.
short GetAsyncKeyState(int key) {
    if (key < 0 || key >= 256) return 0;
    short result = short((state->keyDown[key] ? 0x8000 : 0) | (state->pressedSinceQuery[key] ? 1 : 0));
    state->pressedSinceQuery[key] = false;
    return result;
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    state->messageBoxes.push_back({owner, text ? text : L"", caption ? caption : L"", type});
    return IDOK;
}

int wsprintfW(LPWSTR out, LPCWSTR format, ...) {
    va_list args;
    va_start(args, format);
    int n = sim::FormatWide(out, WsprintfCapacity, format, args);
    va_end(args);
    return n;
}

int wvsprintfW(LPWSTR out, LPCWSTR format, va_list args) {
    return sim::FormatWide(out, WsprintfCapacity, format, args);
}

namespace sim {

HWND ConsoleWindow() { return state->console; }

HWND CreateTestWindow(HWND parent, const std::wstring& className, const std::wstring& title,
                      int width, int height, bool visible) {
    return NewWindow(parent ? parent : state->desktop, className, title,
                     (parent ? WS_CHILD : 0) | (visible ? WS_VISIBLE : 0), 0, 0, 0, width, height,
                     nullptr, true);
}

void SetTitleQuietly(HWND handle, LPCWSTR title) {
    if (Window* window = Find(handle)) window->title = title;
}

void ResizeClient(HWND handle, int width, int height) {
    if (Window* window = Find(handle)) {
        window->width = width;
        window->height = height;
    }
}

void SetVisible(HWND handle, bool visible) { ShowWindow(handle, visible ? SW_SHOW : SW_HIDE); }

RECT WindowRect(HWND handle) {
    Window* window = Find(handle);
    if (!window) return {0, 0, 0, 0};
    return {window->x, window->y, window->x + window->width, window->y + window->height};
}

DWORD ExStyle(HWND handle) { return Find(handle) ? Find(handle)->exStyle : 0; }
DWORD Style(HWND handle) { return Find(handle) ? Find(handle)->style : 0; }

std::vector<HWND> Children(HWND handle) {
    Window* window = Find(handle);
    return window ? window->children : std::vector<HWND>();
}

int EnumerationCalls() { return state->enumerationCalls; }

void SetMonitor(HWND handle, int monitor) {
    if (Window* window = Find(handle)) window->monitor = monitor;
}

LayeredAttributes Layered(HWND handle) {
    Window* window = Find(handle);
    return window ? window->layered : LayeredAttributes();
}

static void DispatchPosted() {
    while (!state->queue.empty()) {
        MSG message = state->queue.front();
        state->queue.pop_front();
        if (!Find(message.hwnd)) continue;
        state->dispatched[{reinterpret_cast<uintptr_t>(message.hwnd), message.message}]++;
        Send(message.hwnd, message.message, message.wParam, message.lParam);
    }
}

void RunFor(DWORD milliseconds) {
    DWORD end = Now() + milliseconds;
    for (;;) {
        DispatchPosted();
        Timer* next = nullptr;
        for (Timer& t : state->timers)
            if (!next || t.due < next->due) next = &t;
        if (!next || next->due > end) break;
        if (next->due > Now()) AdvanceClock(next->due - Now());
        UINT_PTR id = next->id;
        TIMERPROC proc = next->proc;
        next->due = Now() + next->period;
        proc(nullptr, WM_TIMER, id, Now());
    }
    if (end > Now()) AdvanceClock(end - Now());
    DispatchPosted();
}

int Dispatched(HWND handle, UINT message) {
    auto found = state->dispatched.find({reinterpret_cast<uintptr_t>(handle), message});
    return found == state->dispatched.end() ? 0 : found->second;
}

bool QuitPosted() { return state->quitPosted; }
size_t PendingMessages() { return state->queue.size(); }

void SetScrollBar(HWND handle, LONG objectId, int lineButton, bool shown) {
    if (Window* window = Find(handle)) (objectId == OBJID_VSCROLL ? window->vScroll : window->hScroll) = {lineButton, shown};
}

void SetKeyDown(int virtualKey, bool down) {
    state->keyDown[virtualKey & 0xFF] = down;
    if (down) state->pressedSinceQuery[virtualKey & 0xFF] = true;
}
void SetForegroundWindow(HWND handle) { state->foreground = handle; }
const std::vector<MessageBoxCall>& MessageBoxes() { return state->messageBoxes; }

int LiveWindowCount() {
    int count = 0;
    for (auto& entry : state->windows) count += !entry.second.ownedByTest;
    return count;
}

int LiveClassCount() { return int(state->classes.size()); }
int LiveTimerCount() { return int(state->timers.size()); }

void UsePseudoConsole() {
    Window* console = Find(state->console);
    console->className = L"PseudoConsoleWindow";
    console->width = console->height = 0;
}

void ResetUser() {
    *state = UserState();
    state->desktop = NewWindow(nullptr, L"#32769", L"", WS_VISIBLE, 0, 0, 0, 1600, 1200, nullptr, true);
    state->console = NewWindow(state->desktop, L"ConsoleWindowClass", L"Take Command", WS_VISIBLE, 0,
                               0, 0, 640, 400, nullptr, true);
}

}  // namespace sim
