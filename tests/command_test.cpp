// The TICKRAIL command: its options and messages, the order in which they
// act, the report, and the registry actions.
#include <string>
#include <vector>

#include "command/command.h"
#include "expected_texts.h"
#include "settings/marks.h"
#include "test_support.h"

namespace {

class Command : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        ASSERT_EQ(0, Load());
        ClearOutput();
    }
    int Run(const std::wstring& tail) {
        ClearOutput();
        std::wstring copy = tail;
        return tickrail(&copy[0]);
    }
};


TEST_F(Command, NoArgumentsShowTheReport) {
    EXPECT_EQ(0, Run(L""));
    EXPECT_EQ(std::wstring(DefaultReport), StdOutText());
    EXPECT_EQ(L"", StdErrText());
    EXPECT_EQ(1, tickrail(nullptr));
}

TEST_F(Command, BadArgumentsStopWithOneMessageAndChangeNothing) {
    struct Case {
        const wchar_t* tail;
        std::wstring err;
    } cases[] = {
        {L"/A:63", ErrorText(L"Alpha must be 64 - 255: 63\r\n")},
        {L"/A:0x100", ErrorText(L"Alpha must be 64 - 255: 256\r\n")},
        {L"/a:1x", ErrorText(L"Bad alpha value: \"/A:1X\"\r\n")},
        {L"/A:", ErrorText(L"Missing alpha value\r\n")},
        {L"/A:-5", ErrorText(L"Bad alpha value: \"/A:-5\"\r\n")},
        {L"/P:5", ErrorText(L"Position must be 0 - 4: 5\r\n")},
        {L"/P:X", ErrorText(L"Bad position value: \"/P:X\"\r\n")},
        {L"/E:2", ErrorText(L"Show must be 0 or 1: 2\r\n")},
        {L"/E", ErrorText(L"Missing show value\r\n")},
        {L"/O:6", ErrorText(L"Offset must be 0 - 5: 6\r\n")},
        {L"/U:2", ErrorText(L"New hook-list value must be 0 or 1: 2\r\n")},
        {L"/X:2", ErrorText(L"Transpmode must be 0 or 1: 2\r\n")},
        {L"/Z:2", ErrorText(L"New start-hidden value must be 0 or 1: 2\r\n")},
        {L"/K6:F5", ErrorText(L"Expected colon or digit 1 - 5: \"/K6:F5\"\r\n") + MarkerText(L"/K6:F5", 2)},
        {L"/M0:1", ErrorText(L"Expected colon or digit 1 - 5: \"/M0:1\"\r\n") + MarkerText(L"/M0:1", 2)},
        {L"/K3F5", ErrorText(L"Expected colon or digit 1 - 5: \"/K3F5\"\r\n") + MarkerText(L"/K3F5", 3)},
        {L"/K:FOO", ErrorText(L"Unknown key name: \"/K:FOO\"\r\n")},
        {L"/K:", ErrorText(L"Unknown key name: \"/K:\"\r\n")},
        {L"/K:A", ErrorText(L"Key not allowed: \"/K:A\"\r\n")},
        {L"/K2:CTRL-C", ErrorText(L"Invalid hotkey: \"/K2:CTRL-C\"\r\n")},
        {L"/M:18", ErrorText(L"New hotkey mode must be 0 - 17: 18\r\n")},
        {L"/M4:", ErrorText(L"Missing hotkey mode value\r\n")},
        {L"/M:1X", ErrorText(L"Bad hotkey mode value: \"/M:1X\"\r\n")},
        {L"/W:", ErrorText(L"Missing width value\r\n")},
        {L"/W:X", ErrorText(L"Bad width value: \"/W:X\"\r\n")},
        {L"/W:2X", ErrorText(L"Expected a comma:\r\n") + MarkerText(L"/W:2X", 4)},
        {L"/W:4,1", ErrorText(L"Width must be 0 - 3: 4\r\n")},
        {L"/W:1,", ErrorText(L"Missing width2 value\r\n")},
        {L"/W:1,X", ErrorText(L"Bad width2 value: \"/W:1,X\"\r\n")},
        {L"/W:1;4", ErrorText(L"Width2 must be 0 - 3: 4\r\n")},
        {L"/B:BOGUS", ErrorText(L"Bad color name: \"/B:BOGUS\"\r\n") + MarkerText(L"/B:BOGUS", 3)},
        {L"/L /S", ErrorText(L"Can\u2019t combine /L with other options\r\n")},
        {L"/R /L", ErrorText(L"Can\u2019t combine /L with other options\r\n")},
        {L"/D /R", ErrorText(L"Can\u2019t combine /D and /R\r\n")},
        {L"foo", ErrorText(L"Syntax error: \"FOO\"\r\n")},
        {L"/Y", ErrorText(L"Unknown option: \"/Y\"\r\n")},
        {L"/DX", ErrorText(L"Unknown option: \"/DX\"\r\n")},
        {L"/QQ", ErrorText(L"Unknown option: \"/QQ\"\r\n")},
        {L"/S!!", ErrorText(L"Unknown option: \"/S!!\"\r\n")},
        {L"/A:100 /P:9 /A:200", ErrorText(L"Position must be 0 - 4: 9\r\n")},
    };
    for (const Case& c : cases) {
        SettingsRecord before = Settings;
        EXPECT_EQ(1, Run(c.tail)) << "tail '" << c.tail << "'";
        EXPECT_EQ(c.err, StdErrText()) << "tail '" << c.tail << "'";
        EXPECT_EQ(L"", StdOutText()) << "tail '" << c.tail << "'";
        EXPECT_EQ(0, memcmp(&before, &Settings, sizeof Settings)) << "tail '" << c.tail << "' changed settings";
    }
}

// The shell formats at most 1024 characters at a time; a message that quotes
// a long argument still arrives whole, its marker line included.
TEST_F(Command, LongArgumentsGetTheirWholeMessage) {
    const std::wstring letters(1001, L'X'), digits(2000, L'7'), tail(8000, L'Q'), longest(8191, L'Y');
    struct Case {
        std::wstring arg;
        std::wstring err;
    } cases[] = {
        {L"/B:" + letters, ErrorText(L"Bad color name: \"/B:" + letters + L"\"\r\n") + MarkerText(L"/B:" + letters, 3)},
        {L"/B:$" + digits, ErrorText(L"Bad console color index: \"$" + digits + L"\"\r\n") + MarkerText(L"/B:$" + digits, 4)},
        {L"/H:1,2,3" + letters,
         ErrorText(L"Syntax error: \"" + letters + L"\"\r\n") + MarkerText(L"/H:1,2,3" + letters, 8)},
        {L"/I:5=" + letters, ErrorText(L"Bad color name: \"" + letters + L"\"\r\n") + MarkerText(L"/I:5=" + letters, 5)},
        {L"/" + tail, ErrorText(L"Unknown option: \"/" + tail + L"\"\r\n")},
        {L"/K:" + tail, ErrorText(L"Unknown key name: \"/K:" + tail + L"\"\r\n")},
        {longest + L" ", ErrorText(L"Syntax error: \"" + longest + L"\"\r\n")},  // at the buffer's end
    };
    for (const Case& c : cases) {
        EXPECT_EQ(1, Run(c.arg)) << c.arg.substr(0, 8);
        EXPECT_EQ(c.err, StdErrText()) << c.arg.substr(0, 8);
    }
}

// A field of the settings with the value a case expects of it.
struct Expected {
    const char* field;
    const DWORD* value;
    DWORD expected;
};
#define EXPECT_FIELD(field, expected) \
    Expected { #field, reinterpret_cast<const DWORD*>(&Settings.field), DWORD(expected) }

TEST_F(Command, OptionsChangeTheSettings) {
    const wchar_t* const Any = nullptr;  // output not looked at
    struct Case {
        const wchar_t* tail;
        std::vector<Expected> fields;
        int result;
        const wchar_t* outputStart;  // what standard output begins with
    } cases[] = {
        {L"/A:100 /A:200", {EXPECT_FIELD(alpha, 200)}, 0, Any},
        {L"/ALPHA", {EXPECT_FIELD(alpha, 128)}, 1, L""},  // the value LPHA
        {L"/A0xC8", {EXPECT_FIELD(alpha, 200)}, 0, Any},
        {L"/B:WHITE", {EXPECT_FIELD(backgroundColor, 0xFFFFFF), EXPECT_FIELD(hashColor, 0)}, 0, Any},
        {L"/B:NAVY", {EXPECT_FIELD(backgroundColor, 0x800000), EXPECT_FIELD(hashColor, 0xFFFFFF)}, 0, Any},
        {L"/B:WHITE /H:RED", {EXPECT_FIELD(hashColor, 0x0000FF)}, 0, Any},
        // Luminance 5000 of 10000 takes black marks, 4999 white ones: one
        // more on any weight would tip the second. Salmon is light by its
        // red, which a red channel taken from another byte would lose.
        {L"/B:1,159,188", {EXPECT_FIELD(hashColor, 0x000000)}, 0, Any},
        {L"/B:7,156,200", {EXPECT_FIELD(hashColor, 0xFFFFFF)}, 0, Any},
        {L"/B:250,128,114", {EXPECT_FIELD(hashColor, 0x000000)}, 0, Any},
        {L"/P:LEFT", {EXPECT_FIELD(position, 2)}, 0, Any},
        {L"/P=2", {EXPECT_FIELD(position, 2)}, 0, Any},
        {L"/P4", {EXPECT_FIELD(position, 4)}, 0, Any},
        {L"/E:NO", {EXPECT_FIELD(enabled, 0)}, 0, Any},
        {L"/E:NO /E:YES", {EXPECT_FIELD(enabled, 1)}, 0, Any},
        // Each number option at either end of its range.
        {L"/E:0 /P:0 /U:1 /X:1 /Z:1",
         {EXPECT_FIELD(enabled, 0), EXPECT_FIELD(position, 0), EXPECT_FIELD(transparencyMode, 1),
          EXPECT_FIELD(hiddenAtStartup, 1)},
         0, Any},
        {L"/E:1 /U:0 /X:0 /Z:0 /O:5", {EXPECT_FIELD(hookList, 0), EXPECT_FIELD(rowOffset, 5)}, 0, Any},
        {L"/K:F5", {EXPECT_FIELD(hotkeys[0], 0x1003F)}, 0, Any},
        {L"/K3:NONE /M3:4", {EXPECT_FIELD(hotkeys[2], 0), EXPECT_FIELD(hotkeyModes[2], 4)}, 0, Any},
        {L"/K1:F6 /K5:F7 /M5:3",
         {EXPECT_FIELD(hotkeys[0], 0x10040), EXPECT_FIELD(hotkeys[4], 0x10041), EXPECT_FIELD(hotkeyModes[4], 3)}, 0, Any},
        {L"/K2:\"ctrl shift-f1\"", {EXPECT_FIELD(hotkeys[1], 0)}, 1, L""},
        {L"/K2:ctrl-shift-f1 /M2:17", {EXPECT_FIELD(hotkeys[1], 0x30054), EXPECT_FIELD(hotkeyModes[1], 17)}, 0, Any},
        {L"/W:3", {EXPECT_FIELD(penWidth, 3), EXPECT_FIELD(penWidth2, 3)}, 0, Any},
        {L"/W:2,3", {EXPECT_FIELD(penWidth, 2), EXPECT_FIELD(penWidth2, 3)}, 0, Any},
        {L"/W:2;3", {EXPECT_FIELD(penWidth, 2), EXPECT_FIELD(penWidth2, 3)}, 0, Any},
        {L"/X:ALPHA", {EXPECT_FIELD(transparencyMode, 1)}, 0, Any},
        {L"/X:0", {EXPECT_FIELD(transparencyMode, 0)}, 0, Any},
        {L"/O:2", {EXPECT_FIELD(rowOffset, 2)}, 0, L""},  // alone, /O is quiet
        {L"/O:2 /A:100", {EXPECT_FIELD(rowOffset, 2)}, 0, ReportHeading},
        {L"/Q /A:99", {EXPECT_FIELD(alpha, 99)}, 0, L""},
        {L"/D /A:100", {EXPECT_FIELD(alpha, 100), EXPECT_FIELD(position, 0), EXPECT_FIELD(hotkeys[2], 0)}, 0,
         L"Default plugin settings restored.\r\n\r\nTickrail"},
        {L"/I:5,*10=RED",
         {EXPECT_FIELD(altColumnsCount, 2), EXPECT_FIELD(altColumns[0], 5), EXPECT_FIELD(altColumns[1], 0x1000A),
          EXPECT_FIELD(altColumnsColor, 0x0000FF)},
         0, Any},
        {L"/J:", {EXPECT_FIELD(altRowsCount, 0), EXPECT_FIELD(altRowsColor, 0xFFFFFF)}, 0, Any},
        {L"/B:0,0,0 /H:BLACK /C:#000000 /J:*5=$0",  // black is a colour like any other
         {EXPECT_FIELD(backgroundColor, 0), EXPECT_FIELD(tickrailColors[0], 0), EXPECT_FIELD(altRowsColor, 0)}, 0, Any},
    };
    for (const auto& c : cases) {
        Reload();
        Settings.alpha = 128;
        Settings.position = 1;
        Settings.hotkeys[2] = 0x1003B;
        Settings.altRowsCount = 1;
        Settings.altRowsColor = 0x123456;
        EXPECT_EQ(c.result, Run(c.tail)) << "tail '" << c.tail << "': " << testing::PrintToString(StdErrText());
        for (const Expected& f : c.fields) EXPECT_EQ(f.expected, *f.value) << "tail '" << c.tail << "': " << f.field;
        if (c.outputStart) {  // an empty start: no output at all
            std::wstring out = StdOutText();
            EXPECT_EQ(c.outputStart, *c.outputStart ? out.substr(0, wcslen(c.outputStart)) : out) << "tail '" << c.tail << "'";
        }
    }
}

TEST_F(Command, MarksActAtOnceAndHelpEndsTheCommand) {
    EXPECT_EQ(1, Run(L"/I:5=RED /A:10"));
    EXPECT_EQ(1u, Settings.altColumnsCount) << "marks stay written";
    EXPECT_EQ(5u, Settings.altColumns[0]);

    EXPECT_EQ(0, Run(L"/A:100 /?"));
    EXPECT_EQ(std::wstring(HelpText), StdOutText());
    EXPECT_EQ(128u, Settings.alpha);
    EXPECT_EQ(0, Run(L"/??"));
    EXPECT_EQ(std::wstring(HelpText) + L"\r\n\t\t\t\tTickrail  " VERSION_TEXT ".4 (x64)\r\n", StdOutText());

    EXPECT_EQ(0, Run(L"/L /A:100"));
    EXPECT_EQ(128u, Settings.alpha);
    EXPECT_EQ(0u, StdOutText().find(L"F1   Shift-F1"));
}

TEST_F(Command, ColourOptionFollowsTheConsolesBackground) {
    SetConsoleColors(0x1F);
    EXPECT_EQ(0, Run(L"/C:RED"));
    for (int i = 0; i < 16; i++)
        EXPECT_EQ(i == 1 ? 0x0000FFu : DefaultTickrailColors[i], Settings.tickrailColors[i]) << "index " << i;
    EXPECT_NE(std::wstring::npos, StdOutText().find(L"/C : Red \t(255,0,0)\r\n"));
    EXPECT_EQ(0, Run(L"/C:$4"));
    EXPECT_EQ(0x000080u, Settings.tickrailColors[1]) << "console colour 4 of the palette";
#if TICKRAIL_SIMULATED  // a real console cannot be made to fail its query
    sim::SetConsoleQueriesFail(true);
    EXPECT_EQ(0, Run(L"/C:LIME"));
    EXPECT_EQ(0x00FF00u, Settings.tickrailColors[0]) << "a failed query counts as background 0";
#endif
}

TEST_F(Command, ChangesAreRepainted) {
    struct Case {
        const wchar_t* tail;
        bool repaint;
    } cases[] = {
        {L"/K:F5", false},  {L"/M:2", false},  {L"/L", false},    {L"/Q", false},    {L"/S", false},
        {L"/U:Y", false},   {L"/Z:N", false},  {L"/A:99", true},  {L"/B:RED", true}, {L"/C:RED", true},
        {L"/D", true},      {L"/E:Y", true},   {L"/H:RED", true}, {L"/I:", true},    {L"/J:", true},
        {L"/O:0", true},    {L"/R", true},     {L"/W:1", true},   {L"/X:C", true},   {L"/P:B", true},
    };
    RunMessages(300);
    for (const Case& c : cases) {
        int paints = PaintsDispatched(PluginState.consoleOverlay);
        Run(c.tail);
        RunMessages(0);
        EXPECT_EQ(paints + (c.repaint ? 1 : 0), PaintsDispatched(PluginState.consoleOverlay)) << "tail '" << c.tail << "'";
    }
    EXPECT_EQ(383, PlaceIn(PluginState.consoleOverlay).top);
}

TEST_F(Command, ReportLines) {
    struct Case {
        const char* what;
        std::function<void()> set;
        std::wstring line;  // present in the report
        std::wstring absent;
    } cases[] = {
        {"alpha mode", [] { Settings.transparencyMode = 1; },
         L"    Transparency mode  . . . . /X : 1 \t\t(Alpha)\r\n"
         L"    Background color . . . . . /B : PowderBlue \t(176,224,230)\r\n"
         L"    Hash marks color . . . . . /H : Black \t(0,0,0)\r\n"
         L"    Tickrail alpha  . . . . . . . /A : 128\r\n",
         L"/C :"},
        {"unnamed colour", [] { Settings.transparencyMode = 1; Settings.hashColor = 0x563412; },
         L"/H : #123456 \t(18,52,86)\r\n", L""},
        {"two widths", [] { Settings.penWidth2 = 3; }, L"    Hash marks width . . . . . /W : 1, 3\r\n", L""},
        {"slots 1 and 3", [] { Settings.hotkeys[2] = 0x1003B; Settings.hotkeyModes[2] = 17; },
         L"/M1: 1 \t\t(Top/Bottom/Disable)\r\n    Tickrail hotkey #3  . . . . . /K3: F1\r\n"
         L"    Hotkey mode  #3  . . . . . /M3: 17 \t\t(ColorKey/Alpha)\r\n",
         L"#2"},
        {"position 4", [] { Settings.position = 4; }, L"/P : 4 \t\t()\r\n", L""},
        {"slot 1 empty", [] { Settings.hotkeys[0] = 0; }, L"/K1: None\r\n", L""},
        {"hidden", [] { Settings.enabled = 0; }, L"/E : 0 \t\t(No)\r\n", L""},
        {"columns", [] {
             Settings.altColumnsCount = 2;
             Settings.altColumns[0] = 10;
             Settings.altColumns[1] = 20;
             Settings.altColumnsColor = 0x0000FF;
         },
         L"    Alt. color columns . . . . /I : Red \tat 10, 20\r\n", L"/J :"},
        {"a repeat", [] {
             Settings.altRowsCount = 1;
             Settings.altRows[0] = RepeatMarkFlag + 5;
         },
         L"    Alt. color rows  . . . . . /J : White \tevery 5th row\r\n", L"/I :"},
        {"mixed", [] {
             Settings.altColumnsCount = 2;
             Settings.altColumns[0] = 4;
             Settings.altColumns[1] = RepeatMarkFlag + 10;
         },
         L"/I : White \tat 4, every 10th column\r\n", L""},
        {"ordinals", [] {
             const DWORD distances[] = {2, 3, 4, 11, 12, 13, 21, 22, 100};
             Settings.altRowsCount = 9;
             for (int i = 0; i < 9; i++) Settings.altRows[i] = RepeatMarkFlag + distances[i];
         },
         L"every 2nd row, every 3rd row, every 4th row, every 11th row, every 12th row, every 13th row, "
         L"every 21st row, every 22nd row, every 100th row\r\n",
         L""},
    };
    for (const auto& c : cases) {
        Reload();
        c.set();
        EXPECT_EQ(0, Run(L""));
        EXPECT_NE(std::wstring::npos, StdOutText().find(c.line)) << c.what << ":\n" << testing::PrintToString(StdOutText());
        if (!c.absent.empty()) {
            EXPECT_EQ(std::wstring::npos, StdOutText().find(c.absent)) << c.what;
        }
    }
}

TEST_F(Command, RegistryActions) {
    const std::wstring saved = L"\r\nSettings saved to the registry (HKCU\\Software\\OrvexPlugins\\Tickrail).\r\n";
    EXPECT_EQ(0, Run(L"/A:100 /S /Q"));
    EXPECT_EQ(L"", StdOutText());
    DWORD value = 0;
    EXPECT_TRUE(StoredDword(HKEY_CURRENT_USER, L"Alpha", &value));
    EXPECT_EQ(100u, value);

    EXPECT_EQ(0, Run(L"/Z:Y"));
    EXPECT_NE(std::wstring::npos,
              StdOutText().find(L"\r\nStartup settings saved to the registry (HKCU\\Software\\OrvexPlugins\\Tickrail).\r\n"));
    EXPECT_EQ(0, Run(L"/Z:Y /S"));
    EXPECT_NE(std::wstring::npos, StdOutText().find(saved));
    EXPECT_EQ(std::wstring::npos, StdOutText().find(L"Startup settings"));

    DWORD error = BreakNextSettingsSave();
    SKIP_UNLESS_SAVE_BROKEN(error);
    std::wstring reason = SystemText(error);
    EXPECT_EQ(2, Run(L"/S /Q"));
    EXPECT_EQ(L"\r\n", StdOutText());
    EXPECT_EQ(ErrorText(L"Error saving settings to the registry (HKCU\\Software\\OrvexPlugins\\Tickrail) :\r\n" +
                        reason + L"\r\n"),
              StdErrText());
    BreakNextSettingsSave();
    EXPECT_EQ(2, Run(L"/U:N /Q"));
    EXPECT_EQ(ErrorText(L"Error saving restart options to the registry (HKCU\\Software\\OrvexPlugins\\Tickrail) :\r\n" +
                        reason + L"\r\n"),
              StdErrText());
}

TEST_F(Command, SaveForEveryUser) {
    SKIP_UNLESS_MACHINE_WRITABLE();
    EXPECT_EQ(0, Run(L"/S!"));
    EXPECT_EQ(std::wstring(DefaultReport).substr(0, 20), StdOutText().substr(0, 20));
    EXPECT_NE(std::wstring::npos,
              StdOutText().find(L"\r\nSettings saved to the registry (HKLM\\Software\\OrvexPlugins\\Tickrail).\r\n"));
}

TEST_F(Command, RestoreFromTheRegistry) {
    SKIP_UNLESS_MACHINE_WRITABLE();
    EXPECT_EQ(0, Run(L"/R"));
    EXPECT_EQ(0u, StdOutText().find(L"Settings not found in the registry.\r\n" + std::wstring(ReportHeading)));
    StoreDword(HKEY_LOCAL_MACHINE, L"Hotkey", 0);
    StoreDword(HKEY_LOCAL_MACHINE, L"Alpha", 77);
    EXPECT_EQ(0, Run(L"/R /P:R"));
    EXPECT_EQ(0u, StdOutText().find(L"Settings restored from the registry (HKLM\\Software\\OrvexPlugins\\Tickrail).\r\n"));
    EXPECT_EQ(77u, Settings.alpha);
    EXPECT_EQ(3u, Settings.position) << "options apply on top of the restored settings";
    EXPECT_EQ(0, Run(L"/R /Q"));
    EXPECT_EQ(L"", StdOutText());
}

TEST_F(Command, SavingCompactsTheHotkeys) {
    for (const wchar_t* tail : {L"/Q", L"/S /Q", L"/Z:N /Q"}) {
        Settings.hotkeys[1] = 0;
        Settings.hotkeys[2] = 0x1003B;
        Settings.hotkeyModes[2] = 9;
        EXPECT_EQ(0, Run(tail));
        bool writes = tail[1] != L'Q';  // nothing written, nothing compacted
        EXPECT_EQ(writes ? 0x1003B : 0, Settings.hotkeys[1]) << "tail '" << tail << "'";
        EXPECT_EQ(writes ? 9u : 0u, Settings.hotkeyModes[1]) << "tail '" << tail << "'";
        EXPECT_EQ(writes ? 0 : 0x1003B, Settings.hotkeys[2]) << "tail '" << tail << "'";
    }
}

}  // namespace
