// Runs one hot path for scripts/perf:
//
//   perf-driver PATH [ARGUMENT]   runs the path 1000 times inside Measured(),
//                                 which callgrind's --toggle-collect counts
//   perf-driver --paints          paints per overlay for a size change, a
//                                 colour change and 10 s of nothing
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "paths.h"
#include "overlay/overlay.h"
#include "plugin/plugin.h"

namespace {

const int Repetitions = 1000;

}  // namespace

extern "C" __attribute__((noinline)) void Measured(int repetitions) {
    for (int i = 0; i < repetitions; i++) RunPath();
}

namespace {

int PaintsFor(void (*change)(), int* console, int* tab) {
    SetUpPath("paint", "80");
    HWND mainWindow = sim::CreateTestWindow(nullptr, L"TakeCommandMain", L"Take Command", 1100, 700);
    HWND tabWindow = sim::CreateTestWindow(mainWindow, L"TabPage", L"Take Command", 1000, 620);
    PluginState.hostMainWindow = mainWindow;
    PluginState.tabWindow = tabWindow;
    PluginState.tabOverlay = CreateOverlayWindow(1, tabWindow);
    sim::RunFor(2000);  // the new tab overlay's first paint
    int consoleBefore = sim::Dispatched(PluginState.consoleOverlay, WM_PAINT);
    int tabBefore = sim::Dispatched(PluginState.tabOverlay, WM_PAINT);
    if (change) change();
    sim::RunFor(10000);
    *console = sim::Dispatched(PluginState.consoleOverlay, WM_PAINT) - consoleBefore;
    *tab = sim::Dispatched(PluginState.tabOverlay, WM_PAINT) - tabBefore;
    return 0;
}

int CountPaints() {
    struct Change {
        const char* what;
        void (*change)();
    } changes[] = {
        {"size", [] { sim::SetConsoleView(81, 25); }},
        {"colour", [] { sim::SetConsoleAttributes(0x17); }},
        {"idle", nullptr},
    };
    for (const Change& c : changes) {
        int console, tab;
        PaintsFor(c.change, &console, &tab);
        std::printf("%s %d %d\n", c.what, console, tab);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--paints") == 0) return CountPaints();
    if (argc < 2 || !SetUpPath(argv[1], argc > 2 ? argv[2] : "")) {
        std::fprintf(stderr, "usage: perf-driver PATH [ARGUMENT] | --paints\n");
        return 2;
    }
    RunPath();  // the first run warms up what a shell would have warm
    Measured(Repetitions);
    return 0;
}
