// Loading and unloading: the information record, the version gate, the
// load message, the failures of the start-up and the entry-point list.
#include <cwchar>

#include "expected_texts.h"
#include "hotkeys/keys.h"
#include "test_support.h"

namespace {

const wchar_t VersionRefused[] =
    L"Tickrail plugin: Take Command version 13 or later is required!\r\nPlugin not loaded.\r\n";

void ExpectNothingAlive() {
    EXPECT_EQ(0u, OverlaysIn(GetConsoleWindow()).size());
    EXPECT_EQ(0u, OverlaysIn(GetDesktopWindow()).size());
    EXPECT_FALSE(OverlayClassRegistered());
#if TICKRAIL_SIMULATED  // timers and handles are counted only in the simulation
    sim::LiveObjects alive = sim::Alive();
    EXPECT_EQ(0, alive.windows);
    EXPECT_EQ(0, alive.classes);
    EXPECT_EQ(0, alive.timers);
    EXPECT_EQ(0, alive.handles);
#endif
}

using Lifecycle = PluginTest;

TEST_F(Lifecycle, InformationRecordIsTheSameOnEveryCall) {
    PluginInfoRecord* first = GetPluginInfo();
    *first = PluginInfoRecord();  // the shell may scribble; the next call restores
    PluginInfoRecord* second = GetPluginInfo();
    ASSERT_EQ(first, second);
    for (LPCWSTR text : {second->author, second->email, second->webPage}) {
        ASSERT_NE(nullptr, text) << "the shell's plug-in listing reads it";
        EXPECT_NE(L'\0', text[0]);
    }
    EXPECT_STREQ(L"Tickrail", second->name);
    EXPECT_STREQ(L"On-screen tickrail for Take Command", second->description);
    EXPECT_STREQ(L"tickrail,list,*key", second->functions);
    EXPECT_EQ(functionList, second->functions);
    EXPECT_EQ(1, second->majorVersion);
    EXPECT_EQ(0, second->minorVersion);
    EXPECT_EQ(2, second->build);
    EXPECT_EQ(0, second->flags);
}

TEST_F(Lifecycle, EntryRoutineKeepsTheInstanceOnAttachOnly) {
    HINSTANCE other = reinterpret_cast<HINSTANCE>(uintptr_t(0x5000));
    EXPECT_TRUE(DllMain(PluginModule(), DLL_PROCESS_ATTACH, nullptr));
    EXPECT_TRUE(DllMain(other, DLL_PROCESS_DETACH, nullptr));
    EXPECT_TRUE(DllMain(other, 2, nullptr));
    EXPECT_EQ(PluginModule(), PluginState.moduleInstance);
}

TEST_F(Lifecycle, LoadMessageOnlyWhenExpansionIsExactlyZeroZero) {
    struct Case {
        const wchar_t* transient;
        const wchar_t* pipe;
        const wchar_t* noloadmsg;  // null: the variable does not exist
        bool printed;
    } cases[] = {
        {L"0", L"0", nullptr, true},   {L"0", L"0", L"", true},     {L"0", L"0", L"1", false},
        {L"0", L"0", L" ", false},     {L"1", L"0", nullptr, false}, {L"0", L"1", nullptr, false},
        {L"00", L"", nullptr, true},   {L"", L"", nullptr, false},
    };
    for (const Case& c : cases) {
        Reload();
        SetShellVariable(L"_transient", c.transient);
        SetShellVariable(L"_pipe", c.pipe);
        if (c.noloadmsg) SetShellVariable(L"noloadmsg", c.noloadmsg);
        ASSERT_EQ(0, Load());
        EXPECT_EQ(c.printed ? std::wstring(LoadMessage) : std::wstring(), StdOutText())
            << "transient '" << c.transient << "' pipe '" << c.pipe << "' noloadmsg "
            << (c.noloadmsg ? c.noloadmsg : L"(none)");
        EXPECT_EQ(L"", StdErrText());
        Unload();
    }
}

TEST_F(Lifecycle, VersionGate) {
    struct Case {
        const wchar_t* version;
        bool accepted;
        DWORD hostVersion;
    } cases[] = {
        {L"12.50", false, 12}, {L"13", true, 13},     {L"13.0", true, 13},  {L"24.02", true, 24},
        {L"", false, 0},       {L"abc", false, 0},    {L" 28", false, 0},   {L"+28", false, 0},
        {L"4294967296", false, 0},  // out of range counts as 0
        {L"9", false, 9},
    };
    for (const Case& c : cases) {
        Reload();
        SetShellVariable(L"_4ver", c.version);
        int result = Load();
        EXPECT_EQ(c.accepted ? 0 : 1, result) << "version '" << c.version << "'";
        EXPECT_EQ(c.hostVersion, PluginState.hostVersion) << "version '" << c.version << "'";
        if (c.accepted) {
            EXPECT_EQ(L"", StdErrText());
            Unload();
        } else {
            EXPECT_EQ(VersionRefused, StdErrText()) << "version '" << c.version << "'";
            EXPECT_EQ(L"", StdOutText());
        }
        ExpectNothingAlive();
    }
}

TEST_F(Lifecycle, RefusalInsideABatchFileCarriesItsPlace) {
    SetShellVariable(L"_4ver", L"9");
    SetShellVariable(L"_batch", L"1");
    SetShellVariable(L"_batchname", L"C:\\jobs\\start.btm");
    SetShellVariable(L"_batchline", L"12");
    EXPECT_EQ(1, Load());
    EXPECT_EQ(L"Tickrail plugin: C:\\jobs\\start.btm [12]  Take Command version 13 or later is "
              L"required!\r\nPlugin not loaded.\r\n",
              StdErrText());
}

TEST_F(Lifecycle, StartupFailsWhenItsWindowClassIsTaken) {
    std::wstring className = OverlayClassName();
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = PluginModule();
    windowClass.lpszClassName = className.c_str();
    ASSERT_NE(0, RegisterClassExW(&windowClass));
    EXPECT_EQ(1, Load());
    EXPECT_EQ(L"Tickrail plugin: Failed to register tickrail window class:\r\n  " +
                  SystemText(ERROR_CLASS_ALREADY_EXISTS) + L"\r\nPlugin not loaded.\r\n",
              StdErrText());
    EXPECT_EQ(L"", StdOutText()) << "no load message after a failure";
    EXPECT_EQ(0u, OverlaysIn(GetConsoleWindow()).size());
    EXPECT_TRUE(UnregisterClassW(className.c_str(), PluginModule()));
}

#if TICKRAIL_SIMULATED
// Simulation only: the system's calls fail here on request, each with the
// error chosen.
TEST_F(Lifecycle, FailedStartupStepsReportAndLeaveNothing) {
    // A system that allows no layered child windows fails the creation with
    // error 0, or drops the style, and the layered attributes are refused.
    const wchar_t* const refused =
        L"Tickrail plugin: Failed to create console tickrail window:\r\n  The shell does not allow the click-through "
        L"windows that the strip needs.\r\nPlugin not loaded.\r\n";
    struct Case {
        sim::Call call;
        DWORD error;
        const wchar_t* expected;
    } cases[] = {
        {sim::Call::CreateFile, ERROR_ACCESS_DENIED,
         L"Tickrail plugin: Failed to open console buffer:\r\n  Access is denied.\r\nPlugin not "
         L"loaded.\r\n"},
        {sim::Call::RegisterClass, ERROR_CLASS_ALREADY_EXISTS,
         L"Tickrail plugin: Failed to register tickrail window class:\r\n  Class already "
         L"exists.\r\nPlugin not loaded.\r\n"},
        {sim::Call::CreateWindow, ERROR_NOT_ENOUGH_MEMORY,
         L"Tickrail plugin: Failed to create console tickrail window:\r\n  Not enough memory "
         L"resources are available to process this command.\r\nPlugin not loaded.\r\n"},
        {sim::Call::SetParent, ERROR_ACCESS_DENIED,
         L"Tickrail plugin: Failed to create console tickrail window:\r\n  Access is denied.\r\nPlugin not "
         L"loaded.\r\n"},
        {sim::Call::CreateWindow, 77777,
         L"Tickrail plugin: Failed to create console tickrail window:\r\n  Error 77777\r\nPlugin "
         L"not loaded.\r\n"},
        {sim::Call::CreateWindow, 0, refused},
        {sim::Call::LayeredChild, 0, refused},
        {sim::Call::CreateFile, 0, L"Tickrail plugin: Failed to open console buffer:\r\nPlugin not loaded.\r\n"},
    };
    for (const Case& c : cases) {
        Reload();
        MakeShellWindows();
        sim::FailCall(c.call, c.error);
        SetLastError(ERROR_FILE_NOT_FOUND);  // an older error, which a call failing without one leaves
        EXPECT_EQ(1, Load());
        EXPECT_EQ(c.expected, StdErrText());
        EXPECT_EQ(L"", StdOutText()) << "no load message after a failure";
        ExpectNothingAlive();
        // Nothing left running: the clock may move on without a tick.
        RunMessages(1000);
        EXPECT_EQ(0u, sim::PendingMessages());
    }
}

// A failure without a code of its own is told by the code the overlay's
// creation gives back, never by an older error of the thread.
TEST_F(Lifecycle, OverlayFailuresWithoutACodeShowNoOlderOne) {
    struct Case {
        sim::Call call;
        DWORD error, expected;
    } cases[] = {
        {sim::Call::CreateWindow, 0, LayeredChildRefused},
        {sim::Call::SetParent, 0, 0},
        {sim::Call::SetParent, ERROR_ACCESS_DENIED, ERROR_ACCESS_DENIED},
        {sim::Call::LayeredChild, 0, LayeredChildRefused},
    };
    ASSERT_EQ(0, Load());
    for (const Case& c : cases) {
        sim::FailCall(c.call, c.error);
        SetLastError(ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(nullptr, CreateOverlayWindow(TabOverlayKind, GetConsoleWindow())) << "call " << int(c.call);
        EXPECT_EQ(c.expected, GetLastError()) << "call " << int(c.call);
    }
    EXPECT_EQ(1u, OverlaysIn(GetConsoleWindow()).size());
    Unload();
    ExpectNothingAlive();
}

TEST_F(Lifecycle, TabOverlayFailureIsNoError) {
    // The console overlay's calls succeed; the tab overlay's creation or its
    // move into the tab window fails.
    for (sim::Call call : {sim::Call::CreateWindow, sim::Call::SetParent, sim::Call::SetLayeredAttributes,
                           sim::Call::LayeredChild}) {
        Reload();
        MakeShellWindows();
        sim::FailCall(call, ERROR_NOT_ENOUGH_MEMORY, 1);
        ASSERT_EQ(0, Load());
        EXPECT_NE(nullptr, PluginState.consoleOverlay);
        EXPECT_EQ(tabWindow, PluginState.tabWindow);
        EXPECT_EQ(nullptr, PluginState.tabOverlay);
        EXPECT_EQ(1, sim::Alive().windows) << "no overlay left on the desktop";
        EXPECT_EQ(L"", StdErrText());
        Unload();
    }
}
#endif

#if TICKRAIL_SIMULATED
// Simulation only: Wine's console host always gives a real console window.
// Under a pseudo-console host, with no tabbed window of the shell's to show
// the console, the load message says that the strip cannot show; the
// plug-in stays loaded.
TEST_F(Lifecycle, PseudoConsoleIsNamedAtLoad) {
    const std::wstring named = std::wstring(LoadMessage) +
        L"The strip cannot show in this console (Windows Terminal or another pseudo-console host): use a classic "
        L"console window or the shell's tabbed window.\r\n";
    struct Case {
        bool pseudo, shellWindow;
        const wchar_t* noloadmsg;
        std::wstring out;
    } cases[] = {
        {true, false, L"", named}, {true, true, L"", LoadMessage}, {true, false, L"1", L""}, {false, false, L"", LoadMessage},
    };
    for (const Case& c : cases) {
        Reload();
        if (c.pseudo) sim::UsePseudoConsole();
        if (c.shellWindow) MakeShellWindows();
        SetShellVariable(L"noloadmsg", c.noloadmsg);
        ASSERT_EQ(0, Load());
        EXPECT_EQ(c.out, StdOutText()) << c.pseudo << c.shellWindow << Narrow(c.noloadmsg);
        WCHAR tail[] = L"/Q /P:B";
        EXPECT_EQ(0, tickrail(tail));
    }
}
#endif

TEST_F(Lifecycle, StartupBuildsWindowsClassTimerAndConsoleHandle) {
    MakeShellWindows();
    ASSERT_EQ(0, Load());
    EXPECT_EQ(mainWindow, PluginState.hostMainWindow);
    EXPECT_EQ(GetConsoleWindow(), PluginState.consoleWindow);
    EXPECT_EQ(GetDesktopWindow(), PluginState.desktopWindow);
    EXPECT_EQ(tabWindow, PluginState.tabWindow);
    EXPECT_TRUE(PluginState.consoleWasVisible);
    EXPECT_EQ(OverlayClassName(), PluginState.className);
    EXPECT_TRUE(OverlayClassRegistered());
    EXPECT_EQ(1u, OverlaysIn(GetConsoleWindow()).size());
    EXPECT_EQ(1u, OverlaysIn(tabWindow).size());
#if TICKRAIL_SIMULATED  // objects and calls counted only in the simulation
    sim::LiveObjects alive = sim::Alive();
    EXPECT_EQ(2, alive.windows);
    EXPECT_EQ(1, alive.classes);
    EXPECT_EQ(1, alive.timers);
    EXPECT_EQ(1, alive.handles);
    EXPECT_EQ(1, sim::SetProcessDPIAwareCalls());
#endif
    EXPECT_NE(nullptr, PluginState.getScreenBufferInfoEx);
    EXPECT_TRUE(PluginState.useKeyTableV24);
}

#if TICKRAIL_SIMULATED
// Simulation only: a real system has both functions.
TEST_F(Lifecycle, OptionalSystemFunctionsMayBeMissing) {
    sim::SetHasSetProcessDPIAware(false);
    sim::SetHasConsoleScreenBufferInfoEx(false);
    ASSERT_EQ(0, Load());
    EXPECT_EQ(0, sim::SetProcessDPIAwareCalls());
    EXPECT_EQ(nullptr, PluginState.getScreenBufferInfoEx);
}
#endif

TEST_F(Lifecycle, ShutdownLeavesNothingAndAllowsAnotherLoad) {
    for (bool withTab : {false, true}) {
        Reload();
        if (withTab) MakeShellWindows();
        ASSERT_EQ(0, Load());
        EXPECT_EQ(withTab, PluginState.tabOverlay != nullptr);
        RunMessages(500);
        Settings.alpha = 99;  // the next load starts from the defaults
        EXPECT_EQ(0, ShutdownPlugin(0));
        loaded = false;
        ExpectNothingAlive();
        EXPECT_EQ(nullptr, PluginState.consoleOverlay);
        EXPECT_EQ(nullptr, PluginState.tabOverlay);
        EXPECT_FALSE(QuitSeen()) << "the shell's message loop must go on";
        // The shell may load the plug-in again in the same process.
        ASSERT_EQ(0, Load());
        EXPECT_EQ(128u, Settings.alpha);
        EXPECT_TRUE(OverlayClassRegistered());
        Unload();
        ExpectNothingAlive();
    }
}

// The shell may run the start-up again in a library that stayed loaded:
// the second load meets what a fresh library holds.
TEST_F(Lifecycle, ReloadInTheSameLibraryStartsFresh) {
    StoreDword(HKEY_CURRENT_USER, L"Hotkey", 0x10088);
    StoreDword(HKEY_CURRENT_USER, L"Hook LIST", 0);
    ASSERT_EQ(0, Load());
    RunMessages(500);
    ApplyHotkeyMode(10);  // hidden by a hotkey
    Settings.alpha = 99;
    EXPECT_STREQ(L"tickrail,*key", functionList);
    ASSERT_EQ(0, Load());  // a load never shut down is undone first
    EXPECT_EQ(1u, OverlaysIn(GetConsoleWindow()).size());
    ShutdownPlugin(0);

    StoreDword(HKEY_CURRENT_USER, L"Hook LIST", 1);
    ASSERT_EQ(0, Load());
    EXPECT_STREQ(StartFunctionList, functionList);
    EXPECT_EQ(1u, Settings.enabled);
    EXPECT_EQ(128u, Settings.alpha);
    HWND overlay = PluginState.consoleOverlay;
#if TICKRAIL_SIMULATED  // on the virtual clock: the second tick asks
    RunMessages(200);
    EXPECT_TRUE(IsWindowVisible(overlay)) << "painted after the second tick";
#endif
    RunMessagesUntil([&] { return IsWindowVisible(overlay) != FALSE; });
    EXPECT_TRUE(IsWindowVisible(overlay));
#if TICKRAIL_SIMULATED  // a real system adds paints of its own
    EXPECT_EQ(1, PaintsDispatched(overlay)) << "the second tick asks for the first paint";
#endif
}

#if TICKRAIL_SIMULATED
// Simulation only: a real system cannot be made to hand out the same handle
// value again.
TEST_F(Lifecycle, RefusedReloadLeavesOthersHandlesAlone) {
    ASSERT_EQ(0, Load());
    Unload();
    // Someone else now holds the handle value the plug-in had.
    HANDLE theirs = CreateFileW(L"conout$", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, theirs);
    SetShellVariable(L"_4ver", L"9");
    EXPECT_EQ(1, Load());
    EXPECT_EQ(1, sim::Alive().handles) << "their handle is still open";
    EXPECT_TRUE(CloseHandle(theirs));
}
#endif

TEST_F(Lifecycle, RemoveListEntry) {
    struct Case {
        const wchar_t* before;
        const wchar_t* after;
    } cases[] = {
        {L"tickrail,list,*key", L"tickrail,*key"},
        {L"tickrail,List,*key", L"tickrail,*key"},
        {L"tickrail;LIST;*key", L"tickrail;*key"},
        {L"tickrail,lister", L"tickrail,lister"},
        {L"tickrail,lis,*key", L"tickrail,lis,*key"},
        {L"tickrail,*key,list", L"tickrail,*key"},
        {L"list,tickrail", L"tickrail"},
        {L"list", L""},
        {L"list,list", L"list"},
        {L"tickrail,*key,", L"tickrail,*key"},
        {L"a,list;", L"a"},
        {L",", L""},
        {L"", L""},
    };
    for (const Case& c : cases) {
        lstrcpyW(functionList, c.before);
        EXPECT_EQ(0, RemoveListEntry());
        EXPECT_STREQ(c.after, functionList) << "from '" << c.before << "'";
    }
}

}  // namespace
