// The error prefix and marker, system error texts, and the usage and help
// texts that the shell asks for.
#include <cwchar>

#include "expected_texts.h"
#include "test_support.h"

namespace {

using Output = PluginTest;

TEST_F(Output, ErrorPrefixOutsideAndInsideABatchFile) {
    struct Case {
        const wchar_t* batch;
        const wchar_t* name;
        const wchar_t* line;
        const wchar_t* expected;
    } cases[] = {
        {L"0", L"x.btm", L"3", L"Tickrail plugin: "},
        {L"", L"x.btm", L"3", L"Tickrail plugin: x.btm [3]  "},
        {L"1", L"C:\\jobs\\100%.btm", L"12", L"Tickrail plugin: C:\\jobs\\100%.btm [12]  "},
        {L"01", L"x.btm", L"3", L"Tickrail plugin: "},
    };
    for (const Case& c : cases) {
        ResetPlatform();
        SetShellVariable(L"_batch", c.batch);
        SetShellVariable(L"_batchname", c.name);
        SetShellVariable(L"_batchline", c.line);
        EXPECT_EQ(0, PrintErrorPrefix());
        EXPECT_EQ(c.expected, StdErrText()) << "batch '" << c.batch << "'";
        EXPECT_EQ(L"", StdOutText());
    }
}

TEST_F(Output, MarkerStandsUnderTheFaultyCharacter) {
    const wchar_t* text = L"/B:Bogus";
    struct Case {
        size_t offset;
        const wchar_t* expected;
    } cases[] = {
        {0, L"    /B:Bogus\r\n    \u2191\r\n"},
        {3, L"    /B:Bogus\r\n       \u2191\r\n"},
        {8, L"    /B:Bogus\r\n            \u2191\r\n"},  // at the terminator
    };
    for (const Case& c : cases) {
        ClearOutput();
        EXPECT_EQ(0, PrintErrorMarker(text, text + c.offset));
        EXPECT_EQ(c.expected, StdErrText()) << "offset " << c.offset;
    }
    ClearOutput();
    EXPECT_EQ(-1, PrintErrorMarker(nullptr, text));
    EXPECT_EQ(L"", StdErrText());
}

TEST_F(Output, MarkerForALongArgumentIsClamped) {
    static wchar_t longText[10000];
    for (size_t i = 0; i < 9999; i++) longText[i] = L'x';
    EXPECT_EQ(0, PrintErrorMarker(longText, longText + 9999));
    const std::wstring& err = StdErrText();
    size_t secondLine = err.find(L"\r\n") + 2;
    EXPECT_EQ(std::wstring(4 + LongTextCapacity, L' ') + L"\u2191\r\n", err.substr(secondLine));
}

TEST_F(Output, FormatSystemError) {
    // The system's own text, without the blank and line break it ends with;
    // "Error N" for a number it has no text for.
    struct Case {
        DWORD number;
        std::wstring expected;
    } cases[] = {
        {DWORD(-1), L"Unknown error"},
        {ERROR_ACCESS_DENIED, SystemText(ERROR_ACCESS_DENIED)},
        {1450, SystemText(1450)},
        {12345, L"Error 12345"},
        {0x2000FFFF, L"Error 536936447"},
    };
    for (const Case& c : cases) {
        WCHAR out[TextCapacity];
        wcscpy(out, L"stale");
        EXPECT_EQ(0, FormatSystemError(c.number, out));
        EXPECT_EQ(c.expected, out) << "error " << c.number;
        EXPECT_FALSE(iswspace(wint_t(c.expected.back()))) << "error " << c.number;
    }
    EXPECT_EQ(-1, FormatSystemError(5, nullptr));
#if TICKRAIL_SIMULATED  // the simulation's texts: one of blanks only, and no text for an HRESULT
    struct Pinned {
        DWORD number;
        const wchar_t* expected;
    } pinned[] = {
        {ERROR_ACCESS_DENIED, L"Access is denied."},
        {4000, L""},
        {0x80070005, L"Error -2147024891"},
    };
    for (const Pinned& c : pinned) {
        WCHAR out[TextCapacity];
        EXPECT_EQ(0, FormatSystemError(c.number, out));
        EXPECT_STREQ(c.expected, out) << "error " << c.number;
    }
#endif
}

TEST_F(Output, HelpTextIsItsPieces) {
    EXPECT_EQ(ExpectedHelpText(), std::wstring(HelpText));
    EXPECT_EQ(845u, ExpectedHelpText().size());
    EXPECT_EQ(813u, ExpectedUsageText().size());
}

TEST_F(Output, UsageGivesTheTailForTickrailOnly) {
    struct Case {
        const wchar_t* name;
        int result;
    } cases[] = {
        {L"tickrail", 1}, {L"TICKRAIL", 1}, {L"TickRail", 1},  {L"@tickrail", 0}, {L"_tickrail", 0},
        {L"@", 0},        {L"list", 0},     {L"tickrails", 0}, {L"", 0},          {L"tick\u00e9", 0},
    };
    for (const Case& c : cases) {
        WCHAR out[TextCapacity];
        wcscpy(out, L"untouched");
        WCHAR name[64];
        wcscpy(name, c.name);
        EXPECT_EQ(c.result, Usage(name, out)) << "name '" << c.name << "'";
        if (c.result) {
            EXPECT_EQ(ExpectedUsageText(), std::wstring(out));
        } else {
            EXPECT_STREQ(L"untouched", out) << "name '" << c.name << "'";
        }
    }
    WCHAR out[TextCapacity];
    EXPECT_EQ(0, Usage(nullptr, out));
}

TEST_F(Output, HelpShowsOneBoxForTickrail) {
    HWND foreground = MakeShellWindow(nullptr, L"Shell", L"Take Command", 800, 600);
    BringToFront(foreground);
    foreground = GetForegroundWindow();
    WatchMessageBoxes();
    WCHAR name[] = L"TICKrail";
    EXPECT_EQ(1, Help(name));
    for (const wchar_t* other : {L"list", L"@tickrail", L"key", L""}) {
        WCHAR otherName[16];
        wcscpy(otherName, other);
        EXPECT_EQ(0, Help(otherName)) << "name '" << other << "'";
    }
    std::vector<MessageBoxSeen> boxes = MessageBoxesSeen();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(foreground, boxes[0].owner);
    EXPECT_EQ(L"Tickrail Plugin Help", boxes[0].caption);
    EXPECT_EQ(std::wstring(HelpText), boxes[0].text);
    EXPECT_EQ(1, boxes[0].buttons) << "OK alone";
}

}  // namespace
