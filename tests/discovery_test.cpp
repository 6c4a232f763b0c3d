// Finding the shell's main window, the console's tab window, the view in a
// tab and the shell's margins.
#include <cstdio>
#include <cwchar>
#include <string>
#include <filesystem>

#include "test_support.h"

namespace {

using Discovery = PluginTest;

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

TEST_F(Discovery, MainWindowFromTheShellsAnswer) {
    struct Case {
        const wchar_t* answer;
        uintptr_t window;
    } cases[] = {
        {L"65552", 65552},     {L"123abc", 123},   {L"4294967295", 0xFFFFFFFF}, {L"4294967296", 0},
        {L"abc", 0},           {L"", 0},           {L" 123", 0},                {L"-5", 0},
        {L"0x10", 0},  // leading 0 and then no more digits: window 0
        {L"7", 7},
    };
    for (const Case& c : cases) {
        SetHwndAnswerText(c.answer);
        EXPECT_EQ(c.window, reinterpret_cast<uintptr_t>(FindHostMainWindow())) << "answer '" << c.answer << "'";
    }
}

TEST_F(Discovery, NoMainWindowMeansNoSearch) {
    MakeShellWindows();
    SetHwndAnswerText(L"none");
    ASSERT_EQ(0, Load());
    EXPECT_EQ(nullptr, PluginState.hostMainWindow);
    EXPECT_EQ(nullptr, PluginState.tabWindow);
    EXPECT_EQ(nullptr, PluginState.tabOverlay);
#if TICKRAIL_SIMULATED  // the system's calls are counted only in the simulation
    EXPECT_EQ(0, sim::EnumerationCalls());
    EXPECT_EQ(0, sim::SleepCalls());
#endif
}

TEST_F(Discovery, MarkerSearchWaitsForTheTabToFollow) {
    struct Case {
        int followDelayMs;  // negative: the tab never follows
        bool found;
        int enumerations;
    } cases[] = {{0, true, 1}, {10, true, 1}, {30, true, 3}, {25, true, 3}, {1990, true, 199},
                 {2000, true, 200}, {2010, false, 200}, {-1, false, 200}};
    for (const Case& c : cases) {
        // On a real system only a tab that follows at once or never: the
        // search's timing is the clock's.
        if (!TICKRAIL_SIMULATED && c.followDelayMs > 0) continue;
        Reload();
        MakeShellWindows(c.followDelayMs);
        const wchar_t* title = L"Take Command \u00abbuild\u00bb 50% - C:\\work";
        SetConsoleTitleText(title);
        PluginState.hostMainWindow = mainWindow;
        PluginState.consoleWindow = GetConsoleWindow();

        HWND found = FindConsoleTabWindow();
        EXPECT_EQ(c.found ? tabWindow : nullptr, found) << "delay " << c.followDelayMs;
#if TICKRAIL_SIMULATED
        EXPECT_EQ(c.enumerations, sim::EnumerationCalls()) << "delay " << c.followDelayMs;
        EXPECT_EQ(c.enumerations, sim::SleepCalls()) << "delay " << c.followDelayMs;
#endif
        WCHAR now[TextCapacity];
        GetWindowTextW(GetConsoleWindow(), now, TextCapacity);
        EXPECT_STREQ(title, now) << "console title restored, delay " << c.followDelayMs;
    }
}

TEST_F(Discovery, LongConsoleTitlesComeBackWhole) {
    struct Case {
        size_t length;
        bool searched;  // a title the console itself could not hold is left alone
    } cases[] = {{5000, true}, {32767, true}, {32768, false}};
    for (const Case& c : cases) {
        Reload();
        MakeShellWindows(0);
        std::wstring title(c.length, L'T');
        SetConsoleTitleText(title.c_str());
        PluginState.hostMainWindow = mainWindow;
        PluginState.consoleWindow = GetConsoleWindow();
        EXPECT_EQ(c.searched ? tabWindow : nullptr, FindConsoleTabWindow()) << c.length;
#if TICKRAIL_SIMULATED
        EXPECT_EQ(c.searched ? 1 : 0, sim::EnumerationCalls()) << c.length;
#endif
        static WCHAR now[40000];
        GetWindowTextW(GetConsoleWindow(), now, 40000);
        EXPECT_TRUE(title == now) << c.length << " characters came back as " << wcslen(now);
    }
}

TEST_F(Discovery, MarkerTitleHasProcessIdAndNumber) {
    MakeShellWindows(500);  // the tab shows the marker for a while after the search
    PluginState.hostMainWindow = mainWindow;
    PluginState.consoleWindow = GetConsoleWindow();
    ASSERT_EQ(tabWindow, FindConsoleTabWindow());
    WCHAR marker[TextCapacity];
    GetWindowTextW(tabWindow, marker, TextCapacity);
    // The tab still shows the marker it took over.
    ASSERT_EQ(L'\u00ab', marker[0]);
    WCHAR process[16];
    wsprintfW(process, L"%08X-", unsigned(GetCurrentProcessId()));
    EXPECT_EQ(0, wcsncmp(marker + 1, process, 9));
    size_t length = wcslen(marker);
    EXPECT_EQ(L'\u00bb', marker[length - 1]);
    EXPECT_GE(length, 1u + 8 + 1 + 4 + 1);
    MarkerSearch search = {nullptr, marker};
    EXPECT_TRUE(MatchMarkerTitle(mainWindow, reinterpret_cast<LPARAM>(&search)));
    EXPECT_FALSE(MatchMarkerTitle(tabWindow, reinterpret_cast<LPARAM>(&search))) << "found: the search stops";
    EXPECT_EQ(tabWindow, search.found);
}

TEST_F(Discovery, NoSearchWithoutMainOrConsoleWindow) {
    MakeShellWindows(0);
    PluginState.consoleWindow = GetConsoleWindow();
    EXPECT_EQ(nullptr, FindConsoleTabWindow());
    PluginState.hostMainWindow = mainWindow;
    PluginState.consoleWindow = nullptr;
    EXPECT_EQ(nullptr, FindConsoleTabWindow());
#if TICKRAIL_SIMULATED
    EXPECT_EQ(0, sim::EnumerationCalls());
#endif
}

TEST_F(Discovery, ViewClassMatchesItsPrefixExactly) {
    struct Case {
        const wchar_t* className;
        bool matches;
    } cases[] = {
        {L"AfxFrameOrView140u", true}, {L"AfxFrameOrView", true},   {L"afxframeorview150u", false},
        {L"AfxFrameOrVie", false},     {L"XAfxFrameOrView", false}, {L"AfxFrameOrview140", false},
        {L"XfxFrameOrView140u", false},
    };
    for (const Case& c : cases) {
        HWND window = MakeShellWindow(nullptr, c.className, L"", 10, 10);
        ViewSearch search = {nullptr};
        BOOL goOn = MatchViewClass(window, reinterpret_cast<LPARAM>(&search));
        EXPECT_EQ(c.matches, search.found == window) << "class '" << c.className << "'";
        EXPECT_EQ(!c.matches, goOn != FALSE) << "class '" << c.className << "'";
    }
}

TEST_F(Discovery, FirstViewInEnumerationOrderWins) {
    // Children are enumerated in z-order, each before its own children; a
    // child window made later lies below those made before it.
    HWND tab = MakeShellWindow(nullptr, L"TabPage", L"", 640, 400);
    HWND frame = MakeShellWindow(tab, L"Frame", L"", 640, 400);
    HWND later = MakeShellWindow(tab, L"AfxFrameOrView140u", L"", 640, 400);
    HWND nested = MakeShellWindow(frame, L"AfxFrameOrView140u", L"", 640, 400);
    ViewSearch search = {nullptr};
    EnumChildWindows(tab, MatchViewClass, reinterpret_cast<LPARAM>(&search));
    EXPECT_EQ(nested, search.found);
    DestroyWindowOfShell(nested);
    search.found = nullptr;
    EnumChildWindows(tab, MatchViewClass, reinterpret_cast<LPARAM>(&search));
    EXPECT_EQ(later, search.found);
}

class Margins : public PluginTest {
protected:
    std::wstring WriteIni(const std::string& name, const std::string& content) {
        std::string path = ::testing::TempDir() + name;
        FILE* file = std::fopen(path.c_str(), "wb");
        std::fputs(content.c_str(), file);
        std::fclose(file);
        return Wide(path);
    }
};

TEST_F(Margins, FromTheShellsIniFile) {
    struct Case {
        const char* content;
        int h, v;
    } cases[] = {
        {"[TakeCommand]\r\nHMargin=7\r\n", 7, 2},
        {"[TakeCommand]\r\nHMargin=abc\r\nVMargin=5\r\n", 4, 5},
        {"[TakeCommand]\r\nHMargin=99999999999\r\nVMargin=4294967296\r\n", 4, 2},
        // A margin holds at most 2^31 - 1; beyond that it is out of range too.
        {"[TakeCommand]\r\nHMargin=4294967295\r\nVMargin=2147483648\r\n", 4, 2},
        {"[TakeCommand]\r\nHMargin=2147483647\r\n", 2147483647, 2},
        {"[takecommand]\r\nhmargin = 12px\r\nVMargin=0\r\n", 12, 0},
        {"[Other]\r\nHMargin=7\r\n", 4, 2},
        {"[TakeCommand]\r\nHMargin=-3\r\nVMargin=+3\r\n", 4, 2},
        {"", 4, 2},
    };
    for (const Case& c : cases) {
        SetShellVariable(L"_ininame", WriteIni("tcmd.ini", c.content));
        EXPECT_EQ(0, LoadHostMargins()) << c.content;
        EXPECT_EQ(c.h, PluginState.iniHMargin) << c.content;
        EXPECT_EQ(c.v, PluginState.iniVMargin) << c.content;
    }
}

TEST_F(Margins, DefaultsWhenThereIsNoPlainFile) {
    std::string directory = ::testing::TempDir() + "ini-directory";
    std::filesystem::create_directory(directory);
    struct Case {
        std::wstring name;
        int result;
    } cases[] = {{L"", 1}, {Wide(directory), 2}, {L"/nonexistent/tcmd.ini", 2}, {L"/dev/null", 2}};
    for (const Case& c : cases) {
        PluginState.iniHMargin = 99;
        PluginState.iniVMargin = 99;
        SetShellVariable(L"_ininame", c.name);
        EXPECT_EQ(c.result, LoadHostMargins());
        EXPECT_EQ(4, PluginState.iniHMargin);
        EXPECT_EQ(2, PluginState.iniVMargin);
    }
}

TEST_F(Margins, ReadOnlyFromVersion24AndCopiedIntoTabOverlays) {
    std::wstring ini = WriteIni("tcmd24.ini", "[TakeCommand]\r\nHMargin=7\r\nVMargin=3\r\n");
    struct Case {
        const wchar_t* version;
        int h, v;
    } cases[] = {{L"23.9", 0, 0}, {L"13", 0, 0}, {L"24", 7, 3}, {L"30", 7, 3}};
    for (const Case& c : cases) {
        Reload();
        MakeShellWindows();
        SetShellVariable(L"_ininame", ini);
        SetShellVariable(L"_4ver", c.version);
        ASSERT_EQ(0, Load());
        EXPECT_EQ(c.h, PluginState.iniHMargin) << "version " << c.version;
        EXPECT_EQ(c.v, PluginState.iniVMargin) << "version " << c.version;
        OverlayData* tab = reinterpret_cast<OverlayData*>(GetWindowLongPtrW(PluginState.tabOverlay, GWLP_USERDATA));
        OverlayData* console =
            reinterpret_cast<OverlayData*>(GetWindowLongPtrW(PluginState.consoleOverlay, GWLP_USERDATA));
        ASSERT_NE(nullptr, tab);
        ASSERT_NE(nullptr, console);
        EXPECT_EQ(c.h, tab->hMargin);
        EXPECT_EQ(c.v, tab->vMargin);
        EXPECT_EQ(0, console->hMargin);
        EXPECT_EQ(0, console->vMargin);
        Unload();
    }
}

}  // namespace
