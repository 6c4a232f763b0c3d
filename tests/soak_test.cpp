// A long session on the simulated Windows: loads and unloads, and a day of
// timer ticks with everything a user and the shell do in between. Nothing
// may be left at the end, and LeakSanitizer checks the heap at exit.
#include <random>

#include "hotkeys/keys.h"
#include "test_support.h"

namespace {

using Soak = PluginTest;

void ExpectNothingLeft(const char* when) {
    sim::LiveObjects alive = sim::Alive();
    EXPECT_EQ(0, alive.windows) << when;
    EXPECT_EQ(0, alive.classes) << when;
    EXPECT_EQ(0, alive.timers) << when;
    EXPECT_EQ(0, alive.handles) << when;
    EXPECT_EQ(0, alive.registryKeys) << when;
    EXPECT_EQ(0, sim::LiveGdiObjects()) << when;
    EXPECT_EQ(0, sim::LiveDeviceContexts()) << when;
}

int Command(const wchar_t* tail) {
    std::wstring copy = tail;
    return tickrail(&copy[0]);
}

TEST_F(Soak, ThousandLoadsAndUnloads) {
    for (int round = 0; round < 1000; round++) {
        if (round % 4 == 0) MakeShellWindows(round % 8 == 0 ? 0 : -1);
        ASSERT_EQ(0, Load()) << "round " << round;
        RunMessages(100 * DWORD(round % 5));
        Unload();
        ClearOutput();
    }
    ExpectNothingLeft("after the loads");
}

TEST_F(Soak, HundredThousandTicks) {
    const wchar_t* const commands[] = {
        L"/P:B /Q", L"/P:L /J:*5=Red /Q", L"/X:A /B:Navy /A:200 /Q", L"/X:C /I:80,*10=Red /Q", L"/E:N /Q",
        L"/E:Y /Q", L"/W:2,3 /Q", L"/S /Q", L"/R /Q", L"/D /Q", L"", L"/K2:ctrl-shift-f1 /M2:17 /Q", L"/B:bogus",
    };
    std::mt19937 random(1977);
    MakeShellWindows(20);
    ASSERT_EQ(0, Load());
    for (int tick = 0; tick < 100000; tick++) {
        switch (random() % 64) {
        case 0: {
            KeyRecord record = {};
            record.keyCode = 0x10088;
            key(&record);
            break;
        }
        case 1: {
            KeyRecord record = {};  // a call without a key, as after LIST
            key(&record);
            break;
        }
        case 2: {
            WCHAR tail[] = L"/u *.txt";
            list(tail);
            break;
        }
        case 3: Command(commands[random() % (sizeof commands / sizeof commands[0])]); break;
        case 4: ShowConsole(!IsWindowVisible(GetConsoleWindow())); break;
        case 5: {
            // The tab closes, and the console shows in a new one.
            HWND tabs = GetParent(tabWindow);
            DestroyWindow(tabWindow);
            tabWindow = MakeShellWindow(tabs, L"TabPage", L"Take Command", 900 + int(random() % 200), 620);
            FollowConsoleTitle(tabWindow, 20);
            break;
        }
        case 6: sim::SetConsoleView(60 + int(random() % 60), 20 + int(random() % 20)); break;
        case 7: SetConsoleColors(WORD(random() % 256)); break;
        case 8: sim::ResizeClient(GetConsoleWindow(), 600 + int(random() % 100), 380 + int(random() % 40)); break;
        }
        RunMessages(100);
        if (tick % 1000 == 0) ClearOutput();
    }
    Unload();
    ExpectNothingLeft("after the ticks");
}

}  // namespace
