// The overlay windows and the tracking timer. In the simulation the clock is
// virtual and each case counts the ticks; on a real system the same case
// waits for what it expects. The sanitizers of the simulated build report
// an overlay record freed twice, or never, in any of these cases.
#include "test_support.h"

namespace {

const DWORD TickMs = 100;

class Tracking : public PluginTest {
protected:
    // Loads and runs until the first paint has measured the console.
    void LoadAndSettle(bool withShell = false) {
        if (withShell) MakeShellWindows();
        ASSERT_EQ(0, Load());
        Ticks(10);
    }
    void Ticks(int count) { RunMessages(TickMs * DWORD(count)); }
    int ConsolePaints() { return PaintsDispatched(PluginState.consoleOverlay); }
    int TabPaints() { return PaintsDispatched(PluginState.tabOverlay); }
    OverlayData* Record(HWND overlay) {
        return reinterpret_cast<OverlayData*>(GetWindowLongPtrW(overlay, GWLP_USERDATA));
    }
    // Lets the repaint that follows a change go by: a repaint is only
    // posted, so the tick that posts it still compares with the old size.
    void SettleAfterRepaint() { Ticks(2); }
    // Ticks one at a time and returns the tick (1-based) whose paint request
    // arrived first, or 0 when none arrived within `limit` ticks.
    int TicksUntilConsolePaint(int limit) {
        int before = ConsolePaints();
        for (int tick = 1; tick <= limit; tick++) {
            Ticks(1);
            if (ConsolePaints() != before) return tick;
        }
        return 0;
    }
};

TEST_F(Tracking, OverlaysStartInvisibleAndTheSecondTickAsksForThePaint) {
    MakeShellWindows();
    ASSERT_EQ(0, Load());
    HWND console = PluginState.consoleOverlay;
    HWND tab = PluginState.tabOverlay;
    ASSERT_NE(nullptr, console);
    ASSERT_NE(nullptr, tab);
    for (HWND overlay : {console, tab}) {
        EXPECT_FALSE(IsWindowVisible(overlay));
        EXPECT_EQ(DWORD(WS_CHILD), DWORD(GetWindowLongPtrW(overlay, GWL_STYLE)));
        // No activation, layered, click-through; and topmost, which Windows
        // ignores for a child window (and Wine drops).
        DWORD exStyle = DWORD(GetWindowLongPtrW(overlay, GWL_EXSTYLE));
        EXPECT_EQ(0x08080020u, exStyle & ~DWORD(WS_EX_TOPMOST));
        if (TICKRAIL_SIMULATED) EXPECT_EQ(0x08080028u, exStyle);
        Layered layered = LayeredOf(overlay);
        EXPECT_TRUE(layered.set);
        EXPECT_EQ(0u, layered.key);
        EXPECT_EQ(128, layered.alpha);
        EXPECT_EQ(DWORD(LWA_ALPHA), layered.flags);
        RECT place = PlaceIn(overlay);
        EXPECT_EQ((std::vector<LONG>{0, 0, 100, 50}), (std::vector<LONG>{place.left, place.top, place.right, place.bottom}));
        WCHAR title[64];
        GetWindowTextW(overlay, title, 64);
        EXPECT_STREQ(L"Take Command Tickrail", title) << "the title others see";
    }
    EXPECT_EQ(GetConsoleWindow(), GetParent(console));
    EXPECT_EQ(tabWindow, GetParent(tab));
    EXPECT_EQ(ConsoleOverlayKind, Record(console)->kind);
    EXPECT_EQ(TabOverlayKind, Record(tab)->kind);
    EXPECT_EQ(tabWindow, Record(tab)->parent);

#if TICKRAIL_SIMULATED  // tick by tick, and no paints but the plug-in's
    Ticks(1);
    EXPECT_EQ(0, ConsolePaints());
    Ticks(1);
    EXPECT_EQ(1, ConsolePaints());
    EXPECT_EQ(1, TabPaints());
    Ticks(20);
    EXPECT_EQ(1, ConsolePaints()) << "the load is painted once";
    EXPECT_EQ(1, TabPaints());
#endif
    EXPECT_TRUE(RunMessagesUntil([&] { return IsWindowVisible(console) && IsWindowVisible(tab); }));
    EXPECT_EQ(80u, PluginState.columns);
    EXPECT_EQ(25u, PluginState.rows);
}

TEST_F(Tracking, NothingChangedNothingRepainted) {
    LoadAndSettle();
    EXPECT_EQ(0, TicksUntilConsolePaint(40));
}

#if TICKRAIL_SIMULATED
// Simulation only: the console's view and window changed cell by cell and
// pixel by pixel, and the repaint counted to the tick.
TEST_F(Tracking, ConsoleChangesRepaintOnceOneTickAfterTheyAreSeen) {
    struct Case {
        const char* what;
        void (*change)();
        int repaintTick;  // 0: no repaint
    } cases[] = {
        {"one more column", [] { sim::SetConsoleView(81, 25); }, 2},
        {"one row less", [] { sim::SetConsoleView(80, 24); }, 2},
        {"scrolled, same size", [] { sim::SetConsoleView(80, 25, 5, 100); }, 0},
        {"background colour", [] { SetConsoleColors(0x17); }, 2},
        {"foreground colour", [] { SetConsoleColors(0x0A); }, 0},
        {"client area", [] { sim::ResizeClient(GetConsoleWindow(), 648, 400); }, 7},
        {"client area height", [] { sim::ResizeClient(GetConsoleWindow(), 640, 416); }, 7},
    };
    for (const auto& c : cases) {
        Reload();
        LoadAndSettle();  // ten ticks: the next slow check is at tick 16
        int before = ConsolePaints();
        c.change();
        EXPECT_EQ(c.repaintTick, TicksUntilConsolePaint(12)) << c.what;
        Ticks(20);
        EXPECT_EQ(before + (c.repaintTick ? 1 : 0), ConsolePaints()) << c.what << ": painted once";
    }
}
#endif

// Each overlay is compared with what it last painted: a tab of another size
// than the console window costs nothing while nothing changes, and a tab
// that changes its size is painted anew within a slow check, also while the
// console window is hidden.
TEST_F(Tracking, EachOverlayFollowsItsOwnParent) {
    LoadAndSettle(true);  // a tab of 1000 by 620 over a console of 640 by 400
    Ticks(20);
    int console = ConsolePaints(), tab = TabPaints();
    Ticks(30);
    EXPECT_EQ(console, ConsolePaints()) << "no paint while nothing changes";
    EXPECT_EQ(tab, TabPaints());
    if (TICKRAIL_SIMULATED) EXPECT_EQ(1, ConsolePaints());
    if (TICKRAIL_SIMULATED) EXPECT_EQ(1, TabPaints());
    for (bool consoleVisible : {true, false}) {
        ShowConsole(consoleVisible);
        Ticks(20);
        console = ConsolePaints();
        tab = TabPaints();
        int width = 900 + (consoleVisible ? 10 : 20);
        ResizeShellWindow(tabWindow, width, 600);
        const char* what = consoleVisible ? "console shown" : "console hidden";
        EXPECT_TRUE(RunMessagesUntil([&] { return PlaceIn(PluginState.tabOverlay).right == width; }))
            << what << ": the strip spans the new width";
#if TICKRAIL_SIMULATED  // painted once, counted where no paints but the plug-in's arrive
        EXPECT_EQ(tab + 1, TabPaints()) << what;
        Ticks(40);
        EXPECT_EQ(tab + 1, TabPaints()) << what;
        EXPECT_EQ(console + 1, ConsolePaints()) << what;
#endif
    }
}

TEST_F(Tracking, MonitorChangeRepaintsButTheFirstMonitorDoesNot) {
    ASSERT_EQ(0, Load());
#if TICKRAIL_SIMULATED
    Ticks(7);
    EXPECT_EQ(nullptr, PluginState.lastMonitor);
    EXPECT_EQ(0, TicksUntilConsolePaint(2)) << "the first slow check only records the monitor";
#endif
    ASSERT_TRUE(RunMessagesUntil([] { return PluginState.lastMonitor != nullptr; }));
    HMONITOR first = MonitorFromWindow(GetConsoleWindow(), MONITOR_DEFAULTTONEAREST);
    EXPECT_EQ(first, PluginState.lastMonitor);
    MoveConsoleToMonitor(2);
    ASSERT_NE(first, MonitorFromWindow(GetConsoleWindow(), MONITOR_DEFAULTTONEAREST)) << "on the second monitor";
    int tick = TicksUntilConsolePaint(20);
    EXPECT_NE(0, tick) << "repainted on the new monitor";
    if (TICKRAIL_SIMULATED) EXPECT_EQ(8, tick) << "seen at the slow check of tick 16";
    EXPECT_EQ(MonitorFromWindow(GetConsoleWindow(), MONITOR_DEFAULTTONEAREST), PluginState.lastMonitor);
    if (TICKRAIL_SIMULATED) EXPECT_EQ(0, TicksUntilConsolePaint(20));
}

TEST_F(Tracking, HidingTheConsoleFindsTheTabAndRepaintsThreeTicksLater) {
    LoadAndSettle();
    MakeShellWindows();
    EXPECT_EQ(nullptr, PluginState.tabOverlay);
    ShowConsole(false);
#if TICKRAIL_SIMULATED  // the search and the repaint counted to the tick
    int enumerations = sim::EnumerationCalls();
    Ticks(1);
    EXPECT_GT(sim::EnumerationCalls(), enumerations) << "searched at the tick that saw the change";
    ASSERT_NE(nullptr, PluginState.tabOverlay);
    int consolePaints = ConsolePaints();
    Ticks(2);
    EXPECT_EQ(consolePaints, ConsolePaints());
    EXPECT_EQ(0, TabPaints());
    Ticks(1);
    EXPECT_EQ(consolePaints + 1, ConsolePaints());
    EXPECT_EQ(1, TabPaints());
#endif
    ASSERT_TRUE(RunMessagesUntil([] { return PluginState.tabOverlay != nullptr; }));
    EXPECT_EQ(tabWindow, GetParent(PluginState.tabOverlay));
    EXPECT_TRUE(RunMessagesUntil([] { return IsWindowVisible(PluginState.tabOverlay) != FALSE; }));
}

TEST_F(Tracking, ParkedConsoleOverlayComesBackWhenTheConsoleShows) {
    LoadAndSettle();
    HWND overlay = PluginState.consoleOverlay;
    ShowConsole(false);
    Ticks(1);
    // Ten paints without a slow check in between park the overlay.
    for (int i = 0; i < 10; i++) RepaintOverlays();
    RunMessages(0);
    EXPECT_EQ(1, Record(overlay)->detached);
    EXPECT_EQ(GetDesktopWindow(), GetAncestor(overlay, GA_PARENT)) << "parked on the desktop";
    EXPECT_FALSE(IsWindowVisible(overlay)) << "and out of sight there";

    ShowConsole(true);
    EXPECT_TRUE(RunMessagesUntil([&] { return Record(overlay)->detached == 0; }));
    EXPECT_EQ(0, Record(overlay)->hiddenPaints);
    EXPECT_EQ(GetConsoleWindow(), GetParent(overlay));
    EXPECT_EQ(overlay, GetWindow(GetConsoleWindow(), GW_CHILD)) << "top of its siblings";
#if TICKRAIL_SIMULATED  // in the place it returns to, before its next paint
    RECT place = PlaceIn(overlay);
    EXPECT_EQ(0, place.left);
    EXPECT_EQ(0, place.top);
    EXPECT_EQ(50, place.right);
    EXPECT_EQ(50, place.bottom);
    EXPECT_FALSE(IsWindowVisible(overlay)) << "hidden until a paint has its transparency taken";
#endif
    EXPECT_TRUE(RunMessagesUntil([&] { return IsWindowVisible(overlay) != FALSE; }));
}

TEST_F(Tracking, ConsoleShownAgainBeforeParkingKeepsTheStripInPlace) {
    LoadAndSettle();
    HWND overlay = PluginState.consoleOverlay;
    RECT before = PlaceIn(overlay);
    ShowConsole(false);
    Ticks(1);
    ShowConsole(true);
    for (int tick = 1; tick <= 3; tick++) {
        Ticks(1);
        RECT place = PlaceIn(overlay);
        EXPECT_EQ(0, Record(overlay)->detached);
        EXPECT_EQ(before.left, place.left) << "tick " << tick;
        EXPECT_EQ(before.top, place.top) << "tick " << tick;
        EXPECT_EQ(before.right, place.right) << "tick " << tick;
        EXPECT_EQ(before.bottom, place.bottom) << "tick " << tick;
    }
}

TEST_F(Tracking, DisabledStripStaysHiddenWhileTheConsoleIsHidden) {
    LoadAndSettle();
    HWND overlay = PluginState.consoleOverlay;
    Settings.enabled = 0;  // disabled while the strip is shown
    for (int round = 0; round < 2; round++) {
        ShowConsole(false);
        Ticks(1);
        RepaintOverlays();
        RunMessages(0);
        EXPECT_FALSE(DWORD(GetWindowLongPtrW(overlay, GWL_STYLE)) & WS_VISIBLE) << "round " << round << ": hidden by the first paint";
        for (int i = 0; i < 9; i++) RepaintOverlays();  // the tenth parks it
        RunMessages(0);
        EXPECT_EQ(1, Record(overlay)->detached);
        EXPECT_FALSE(DWORD(GetWindowLongPtrW(overlay, GWL_STYLE)) & WS_VISIBLE) << "round " << round;
        ShowConsole(true);
        EXPECT_TRUE(RunMessagesUntil([&] { return Record(overlay)->detached == 0; }));
        Ticks(5);  // back in the console window, still hidden
        EXPECT_FALSE(DWORD(GetWindowLongPtrW(overlay, GWL_STYLE)) & WS_VISIBLE) << "round " << round;
    }
}

#if TICKRAIL_SIMULATED
// Simulation only: moves between parents fail here on request.
TEST_F(Tracking, FailedMovesLeaveTheConsoleOverlayWhereItWas) {
    LoadAndSettle();
    HWND overlay = PluginState.consoleOverlay;
    ShowConsole(false);
    Ticks(1);
    sim::FailCall(sim::Call::SetParent, ERROR_ACCESS_DENIED);
    for (int i = 0; i < 10; i++) RepaintOverlays();
    RunMessages(0);
    EXPECT_EQ(0, Record(overlay)->detached) << "parking failed: still attached";
    EXPECT_EQ(GetConsoleWindow(), GetParent(overlay));

    for (int i = 0; i < 10; i++) RepaintOverlays();
    RunMessages(0);
    ASSERT_EQ(1, Record(overlay)->detached);
    sim::FailCall(sim::Call::SetParent, ERROR_ACCESS_DENIED);
    ShowConsole(true);
    Ticks(1);
    EXPECT_EQ(1, Record(overlay)->detached) << "the return failed: still parked";
    EXPECT_FALSE(IsWindowVisible(overlay));
    Ticks(8);  // the slow check tries again
    EXPECT_EQ(0, Record(overlay)->detached);
    EXPECT_EQ(GetConsoleWindow(), GetParent(overlay));
    Ticks(2);
    EXPECT_TRUE(IsWindowVisible(overlay));
    EXPECT_EQ(16, PlaceIn(overlay).bottom) << "painted in its place";
}

// Simulation only: paints placed between two slow checks, to the tick.
TEST_F(Tracking, HiddenPaintsBelowTheLimitDoNotPark) {
    LoadAndSettle();
    HWND overlay = PluginState.consoleOverlay;
    ShowConsole(false);
    Ticks(6);  // the visibility repaint at tick 14, the slow check at tick 16
    EXPECT_EQ(0, Record(overlay)->hiddenPaints);
    for (bool shows : {false, true, false}) {  // a paint while the console shows counts from 0 again
        ShowConsole(shows);
        for (int i = 0; i < (shows ? 1 : 9); i++) RepaintOverlays();
        RunMessages(0);
    }
    EXPECT_EQ(0, Record(overlay)->detached);
    EXPECT_EQ(9, Record(overlay)->hiddenPaints);
    Ticks(8);  // the slow check of tick 24 forgets them
    EXPECT_EQ(0, Record(overlay)->hiddenPaints);
    EXPECT_EQ(GetConsoleWindow(), GetParent(overlay));
}
#endif

TEST_F(Tracking, HidingTheConsoleSearchesOnlyWithoutATabOverlay) {
    LoadAndSettle(true);
    ASSERT_NE(nullptr, PluginState.tabOverlay);
    int searches = TabSearchesSeen();
    EXPECT_GT(searches, 0) << "the load searched";
    ShowConsole(false);
    Ticks(20);
    EXPECT_EQ(searches, TabSearchesSeen()) << "no marker search while the tab overlay lives";
}

TEST_F(Tracking, ClosedTabWindowIsForgottenAndTheNewOneFound) {
    LoadAndSettle(true);
    ShowConsole(false);
    Ticks(1);
    HWND oldTab = tabWindow;
    ASSERT_NE(nullptr, PluginState.tabOverlay);

    HWND tabs = GetParent(oldTab);
    DestroyWindowOfShell(oldTab);
    EXPECT_EQ(nullptr, PluginState.tabOverlay) << "the overlay died with its tab window";
    EXPECT_FALSE(QuitSeen());
    HWND newTab = MakeShellWindow(tabs, L"TabPage", L"Take Command", 1000, 620);
    FollowConsoleTitle(newTab, 20);

#if TICKRAIL_SIMULATED
    Ticks(8);  // a slow check: the dead tab window is forgotten
    EXPECT_EQ(nullptr, PluginState.tabWindow);
    EXPECT_EQ(nullptr, PluginState.hostMainWindow);
    EXPECT_EQ(nullptr, PluginState.tabOverlay);
#endif
    // The next slow check finds the new tab window.
    EXPECT_TRUE(RunMessagesUntil([&] { return PluginState.tabWindow == newTab; }));
    ASSERT_NE(nullptr, PluginState.tabOverlay);
    EXPECT_EQ(newTab, GetParent(PluginState.tabOverlay));
    EXPECT_EQ(1u, OverlaysIn(tabs).size());
    EXPECT_EQ(1u, OverlaysIn(GetConsoleWindow()).size());
}

TEST_F(Tracking, LostMainWindowNeverLeavesAnUntrackedTabOverlay) {
    for (bool sameTab : {true, false}) {
        Reload();
        LoadAndSettle(true);
        ShowConsole(false);
        Ticks(1);
        HWND firstOverlay = PluginState.tabOverlay;
        ASSERT_NE(nullptr, firstOverlay);
        HWND expectedTab = tabWindow;
        if (!sameTab) {
            // The console now shows in another tab; the old one stays open.
            expectedTab = MakeShellWindow(GetParent(tabWindow), L"TabPage", L"", 1000, 620);
            FollowConsoleTitle(expectedTab, 20);
        }
        PluginState.hostMainWindow = nullptr;
        Ticks(8);
        RunMessagesUntil([] { return PluginState.hostMainWindow != nullptr; });
        ASSERT_NE(nullptr, PluginState.tabOverlay);
        EXPECT_EQ(expectedTab, GetParent(PluginState.tabOverlay));
        EXPECT_EQ(sameTab, PluginState.tabOverlay == firstOverlay);
        EXPECT_EQ(sameTab, IsWindow(firstOverlay) != FALSE);
        EXPECT_EQ(1u, OverlaysIn(mainWindow).size()) << (sameTab ? "same tab" : "another tab");
        Unload();
        EXPECT_EQ(0u, OverlaysIn(mainWindow).size());
        EXPECT_EQ(0u, OverlaysIn(GetDesktopWindow()).size());
    }
}

#if TICKRAIL_SIMULATED
// Simulation only: the console's queries fail here on request.
TEST_F(Tracking, FailedConsoleQueryCountsAsOneCell) {
    LoadAndSettle();
    sim::SetConsoleQueriesFail(true);
    EXPECT_EQ(2, TicksUntilConsolePaint(4));
    EXPECT_EQ(1u, PluginState.columns);
    EXPECT_EQ(1u, PluginState.rows);
    SettleAfterRepaint();
    EXPECT_EQ(0, TicksUntilConsolePaint(20)) << "steady at one cell";
    // A console that reports no cells is measured as one; a paint's own
    // failed query, before the timer sees it, counts as one cell too.
    sim::SetConsoleQueriesFail(false);
    sim::SetConsoleView(0, 0);
    RepaintOverlays();
    RunMessages(0);
    EXPECT_EQ(400, PlaceIn(PluginState.consoleOverlay).bottom) << "one row of 400 pixels";
    sim::SetConsoleView(80, 25);
    RepaintOverlays();
    RunMessages(0);
    sim::SetConsoleQueriesFail(true);
    RepaintOverlays();
    RunMessages(0);
    EXPECT_EQ(1u, PluginState.columns);
}
#endif

TEST_F(Tracking, RepaintRequestsGoToEveryOverlayThatExists) {
    LoadAndSettle(true);
    int console = ConsolePaints();
    int tab = TabPaints();
    RepaintOverlays();
    RunMessages(0);
    EXPECT_LE(console + 1, ConsolePaints());
    EXPECT_LE(tab + 1, TabPaints());
    DestroyWindow(PluginState.tabOverlay);
    EXPECT_EQ(nullptr, PluginState.tabOverlay);
    RepaintOverlays();
#if TICKRAIL_SIMULATED
    EXPECT_EQ(1u, sim::PendingMessages());
#endif
    RunMessages(0);
    EXPECT_FALSE(QuitSeen());
}

}  // namespace
