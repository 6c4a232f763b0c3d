// Runs the plug-in in the simulated shell the way the shell would: loads
// it, lets the console run for a while, and shows what the shell printed.
//
//   tickrail-sim [--version V] [--run MS]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "plugin/plugin.h"

namespace {

void Show(const char* label, const std::wstring& text) {
    if (text.empty()) return;
    std::printf("%s", label);
    char line[8192];
    sim::ToUtf8(text.c_str(), line, sizeof line);
    std::string plain;
    for (const char* p = line; *p; p++)
        if (*p != '\r') plain += *p;
    std::printf("%s", plain.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    std::wstring version = L"28.01";
    DWORD runMs = 500;
    for (int i = 1; i < argc; i++) {
        if (!std::strcmp(argv[i], "--version") && i + 1 < argc) {
            std::string v = argv[++i];
            version.assign(v.begin(), v.end());
        } else if (!std::strcmp(argv[i], "--run") && i + 1 < argc) {
            runMs = DWORD(std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: tickrail-sim [--version V] [--run MS]\n");
            return 2;
        }
    }

    sim::Reset();
    sim::SetVariable(L"_4ver", version);
    // The shell's main window shows the console in a tab, whose title follows
    // the console's title after 30 ms.
    HWND mainWindow = sim::CreateTestWindow(nullptr, L"TakeCommandMain", L"Take Command", 1000, 700);
    HWND tab = sim::CreateTestWindow(mainWindow, L"TabPage", L"Take Command", 660, 420);
    sim::SetHwndAnswer(std::to_wstring(reinterpret_cast<uintptr_t>(mainWindow)));
    sim::SetTabFollowsConsoleTitle(tab, 30);
    DllMain(reinterpret_cast<HINSTANCE>(uintptr_t(0x180000000)), DLL_PROCESS_ATTACH, nullptr);

    PluginInfoRecord* info = GetPluginInfo();
    char entries[256];
    sim::ToUtf8(info->functions, entries, sizeof entries);
    std::printf("shell: plug-in offers \"%s\"\n", entries);

    int loaded = InitializePlugin();
    Show("console> ", sim::StdOut());
    Show("console (stderr)> ", sim::StdErr());
    std::printf("shell: InitializePlugin returned %d\n", loaded);
    if (loaded != 0) return 1;

    std::printf("shell: tab window %s after %d enumerations; overlays: console %s, tab %s\n",
                PluginState.tabWindow == tab ? "found" : "not found", sim::EnumerationCalls(),
                PluginState.consoleOverlay ? "yes" : "no", PluginState.tabOverlay ? "yes" : "no");
    sim::RunFor(runMs);
    RECT strip = sim::WindowRect(PluginState.consoleOverlay);
    std::printf("shell: after %u ms the console overlay is %s, at %d,%d size %dx%d; console %ux%u cells\n",
                unsigned(runMs), IsWindowVisible(PluginState.consoleOverlay) ? "shown" : "hidden",
                int(strip.left), int(strip.top), int(strip.right - strip.left),
                int(strip.bottom - strip.top), unsigned(PluginState.columns), unsigned(PluginState.rows));

    ShutdownPlugin(0);
    sim::LiveObjects alive = sim::Alive();
    std::printf("shell: unloaded; left behind: %d windows, %d classes, %d timers, %d handles\n",
                alive.windows, alive.classes, alive.timers, alive.handles);
    return 0;
}
