// The test platform over the simulated Windows and shell.
#include "test_platform.h"

#include "sim/sim.h"

void ResetPlatform() { sim::Reset(); }

bool MachineSettingsWritable() { return true; }

std::filesystem::path TestFile(const std::string& name) {
    if (name == X11ColorNames) return "/usr/share/X11/rgb.txt";
    return TICKRAIL_SOURCE_DIR "/" + name;
}

HINSTANCE PluginModule() { return reinterpret_cast<HINSTANCE>(uintptr_t(0x180000000)); }

void RunMessages(DWORD milliseconds) { sim::RunFor(milliseconds); }

bool QuitSeen() { return sim::QuitPosted(); }

int PaintsDispatched(HWND window) { return sim::Dispatched(window, WM_PAINT); }

std::wstring StdOutText() { return sim::StdOut(); }
std::wstring StdErrText() { return sim::StdErr(); }
void ClearOutput() { sim::ClearOutput(); }

void SetShellVariable(LPCWSTR name, LPCWSTR value) {
    if (value) sim::SetVariable(name, value);
    else sim::SetVariable(name, L"");
}

void SetHwndAnswer(HWND window) {
    sim::SetHwndAnswer(window ? std::to_wstring(reinterpret_cast<uintptr_t>(window)) : std::wstring());
}

void SetHwndAnswerText(LPCWSTR answer) { sim::SetHwndAnswer(answer); }

void SetConsoleTitleText(LPCWSTR title) { sim::SetTitleQuietly(sim::ConsoleWindow(), title); }

HWND MakeShellWindow(HWND parent, LPCWSTR className, LPCWSTR title, int width, int height) {
    return sim::CreateTestWindow(parent, className, title, width, height);
}

void DestroyWindowOfShell(HWND window) { DestroyWindow(window); }

// Each search waits for the tab at least once.
int TabSearchesSeen() { return sim::SleepCalls(); }
void ResizeShellWindow(HWND window, int width, int height) { sim::ResizeClient(window, width, height); }

void FollowConsoleTitle(HWND tab, int delayMs) { sim::SetTabFollowsConsoleTitle(tab, delayMs); }

void SetConsoleColors(WORD attributes) { sim::SetConsoleAttributes(attributes); }
void ShowConsole(bool visible) { sim::SetVisible(sim::ConsoleWindow(), visible); }
void MoveConsoleToMonitor(int monitor) { sim::SetMonitor(sim::ConsoleWindow(), monitor); }

DWORD BreakNextSettingsSave() {
    const DWORD volatileParent = 1021;
    sim::FailCall(sim::Call::RegCreateKey, volatileParent);
    return volatileParent;
}

static size_t firstWatchedBox;

void WatchMessageBoxes() { firstWatchedBox = sim::MessageBoxes().size(); }

std::vector<MessageBoxSeen> MessageBoxesSeen() {
    std::vector<MessageBoxSeen> seen;
    for (size_t i = firstWatchedBox; i < sim::MessageBoxes().size(); i++) {
        const sim::MessageBoxCall& box = sim::MessageBoxes()[i];
        seen.push_back({box.owner, box.caption, box.text, box.type == MB_OK ? 1 : 2});
    }
    return seen;
}

void BringToFront(HWND window) { sim::SetForegroundWindow(window); }

void HoldKey(int virtualKey, bool down) { sim::SetKeyDown(virtualKey, down); }

COLORREF PixelOf(HWND window, int x, int y) { return sim::Pixel(window, x, y); }

std::string Narrow(const std::wstring& text) {
    char out[4096];
    sim::ToUtf8(text.c_str(), out, sizeof out);
    return out;
}
