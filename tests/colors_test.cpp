// Colour values: names, "#" forms, r,g,b triples, console colour indices,
// the names shown for values, and the palette read from the console.
#include <cwchar>
#include <fstream>
#include <map>
#include <string>

#include "settings/colors.h"
#include "expected_texts.h"
#include "test_support.h"

namespace {

using Colors = PluginTest;

const int Fails = -1;

TEST_F(Colors, ColorArguments) {
    struct Case {
        const wchar_t* arg;
        int expected;             // ColorRef, or Fails
        const wchar_t* message;   // for a failure
        size_t markerOffset;
    } cases[] = {
        {L"red", 0x0000FF},           {L"RED", 0x0000FF},          {L"  Red\t", 0x0000FF},
        {L"r-e_d", 0x0000FF},         {L"dark grey", 0xA9A9A9},    {L"DarkGrey", 0xA9A9A9},
        {L"dark_gray", 0xA9A9A9},     {L"Grey", 0x808080},         {L"slategrey", 0x908070},
        {L"LightGoldenrodYellowish", 0xD2FAFA},                    {L"Light Goldenrod Yellow", 0xD2FAFA},
        {L"hotpink", 0xB469FF},       {L"MEDIUMAQUAMARINE", 0xAACD66},
        {L"#FF0000", 0x0000FF},       {L"#f00", 0x0000FF},         {L"#0F8", 0x88FF00},  {L"#Aa0", 0x00AAAA},
        {L"#123456", 0x563412},       {L"/B:Red", 0x0000FF},       {L"/B=Red", 0x0000FF},
        {L"/BRed", 0x0000FF},         {L"/B:#00ff00", 0x00FF00},   {L"255,0,0", 0x0000FF},
        {L"0xFF,0,0", 0x0000FF},      {L"255,0x0,0", 0x0000FF},    {L"0,128,255", 0xFF8000},
        {L"/H:1,2,3", 0x030201},      {L"$0", 0x000000},           {L"$0x0F", 0xFFFFFF},
        {L"$12", 0x0000FF},           {L"/C:$9", 0xFF0000},
        {L"Gr-ey", Fails, L"Bad color name: \"Gr-ey\"\r\n", 0},
        {L"#ff00", Fails, L"Bad color name: \"#ff00\"\r\n", 0},
        {L"#", Fails, L"Bad color name: \"#\"\r\n", 0},
        {L"#12345g", Fails, L"Bad color name: \"#12345g\"\r\n", 0},
        {L"0xFF0000", Fails, L"Bad color name: \"0xFF0000\"\r\n", 0},
        {L"16711680", Fails, L"Bad color name: \"16711680\"\r\n", 0},
        {L"255;0;0", Fails, L"Bad color name: \"255;0;0\"\r\n", 0},
        {L"/B:", Fails, L"Bad color name: \"/B:\"\r\n", 3},
        {L"/B:Bogus", Fails, L"Bad color name: \"/B:Bogus\"\r\n", 3},
        {L"255,0,0,", Fails, L"Syntax error: \",\"\r\n", 7},
        {L"1,2,3x", Fails, L"Syntax error: \"x\"\r\n", 5},
        {L"255,,0", Fails, L"Missing green value\r\n", 4},
        {L",0,0", Fails, L"Missing red value\r\n", 0},
        {L"1,2,", Fails, L"Missing blue value\r\n", 4},
        {L"256,0,0", Fails, L"Red value must be 0 - 255: 256\r\n", 0},
        {L"1,0x100,3", Fails, L"Green value must be 0 - 255: 256\r\n", 2},
        {L"1,2,300", Fails, L"Blue value must be 0 - 255: 300\r\n", 4},
        {L"x,2,3", Fails, L"Bad red value:\r\n", 0},
        {L"99999999999,0,0", Fails, L"Bad red value:\r\n", 0},
        {L"/B:1,x,3", Fails, L"Bad green value:\r\n", 5},
        {L"1,2,-3", Fails, L"Bad blue value:\r\n", 4},
        {L"1 ,2,3", Fails, L"Expected a comma:\r\n", 1},
        {L"1,2", Fails, L"Expected a comma:\r\n", 3},
        {L"$16", Fails, L"Console color index must be 0 - 15: 16\r\n", 1},
        {L"/B:$0x10", Fails, L"Console color index must be 0 - 15: 16\r\n", 4},
        {L"$", Fails, L"Bad console color index: \"$\"\r\n", 1},
        {L"$7a", Fails, L"Bad console color index: \"$7a\"\r\n", 1},
        {L"/B:$-1", Fails, L"Bad console color index: \"$-1\"\r\n", 4},
    };
    for (const Case& c : cases) {
        ClearOutput();
        int result = ParseColorArgument(c.arg, c.arg);
        EXPECT_EQ(c.expected, result) << std::hex << "argument '" << c.arg << "'";
        std::wstring expectedOutput = c.message ? ErrorOutput(c.message, c.arg, c.markerOffset) : L"";
        EXPECT_EQ(expectedOutput, StdErrText()) << "argument '" << c.arg << "'";
    }
}

TEST_F(Colors, UnsignedNumbers) {
    struct Case {
        const wchar_t* text;
        bool wantEnd;
        int result;
        DWORD value;
        size_t endOffset;
    } cases[] = {
        {L"0", false, 0, 0, 0},           {L"42", false, 0, 42, 0},
        {L"0x1F", false, 0, 31, 0},       {L"0X1f", false, 0, 31, 0},
        {L"4294967295", false, 0, 0xFFFFFFFF, 0},
        {L"0xFFFFFFFF", false, 0, 0xFFFFFFFF, 0},
        {L"4294967296", false, -1, 0, 0}, {L"0x100000000", false, -1, 0, 0},
        {L"-1", false, -1, 0, 0},         {L" 1", false, -1, 0, 0},
        {L"+1", false, -1, 0, 0},         {L"", false, -1, 0, 0},
        {L"12abc", false, -1, 0, 0},      {L"12abc", true, 0, 12, 2},
        {L"0x", false, -1, 0, 0},         {L"0x", true, 0, 0, 1},
        {L"0xG", true, 0, 0, 1},          {L"0x1fg", true, 0, 31, 4},
        {L"007", false, 0, 7, 0},
    };
    for (const Case& c : cases) {
        DWORD value = 0xDEAD;
        LPCWSTR end = nullptr;
        int result = ParseUnsignedNumber(c.text, &value, c.wantEnd ? &end : nullptr);
        EXPECT_EQ(c.result, result) << "text '" << c.text << "'";
        EXPECT_EQ(c.result == 0 ? c.value : 0xDEADu, value) << "text '" << c.text << "'";
        if (c.wantEnd && c.result == 0) {
            EXPECT_EQ(c.text + c.endOffset, end) << "text '" << c.text << "'";
        }
    }
}

TEST_F(Colors, NamesForValues) {
    struct Case {
        DWORD rgb;
        const wchar_t* name;
    } cases[] = {
        {0x00FFFF, L"Aqua"},      {0xFF00FF, L"Fuchsia"},     {0x123456, L"#123456"},
        {0xABCDEF, L"#abcdef"},   {0x000001, L"#000001"},     {0xF0F8FF, L"AliceBlue"},
        {0x9ACD32, L"YellowGreen"}, {0x000000, L"Black"},     {0xFFFFFF, L"White"},
        {0xA9A9A9, L"DarkGray"},  {0xFF69B4, L"Hotpink"},     {0xFFF5EE, L"Seashell"},
        {0x66CDAA, L"MediumAquaMarine"},
    };
    for (const Case& c : cases) EXPECT_STREQ(c.name, RgbToColorName(c.rgb)) << std::hex << c.rgb;
}

// The classic console colour of an attribute's colour index: its blue,
// green and red bits at half strength, or at full with the intensity bit;
// index 7 is light grey and 8 the half-strength white.
COLORREF ClassicConsoleColor(int index) {
    if (index == 7) return 0xC0C0C0;
    if (index == 8) return 0x808080;
    DWORD level = index & FOREGROUND_INTENSITY ? 0xFF : 0x80;
    return (index & FOREGROUND_RED ? level : 0) | (index & FOREGROUND_GREEN ? level << 8 : 0) |
           (index & FOREGROUND_BLUE ? level << 16 : 0);
}

std::wstring NameKey(const std::string& name) {
    std::wstring key;
    for (char c : name)
        if (c != ' ' && c != '\t') key += wchar_t(tolower(c));
    return key;
}

// CSS takes its colour keywords from X11's colour names, except the sixteen
// of HTML, which are the classic console palette, and Crimson and Indigo.
TEST_F(Colors, TableIsOrderedAndHoldsTheCssValues) {
    for (int i = 1; i < ColorNameCount; i++) {
        std::string previous = Narrow(ColorNames[i - 1].name), current = Narrow(ColorNames[i].name);
        EXPECT_LT(NameKey(previous), NameKey(current)) << "entry " << i;
        EXPECT_LE(current.size(), 20u);
    }
    std::map<std::wstring, DWORD> css;
    std::ifstream x11(TestFile(X11ColorNames));
    ASSERT_TRUE(x11.good()) << "X11's colour names (x11-common)";
    for (std::string line; std::getline(x11, line);) {
        unsigned r, g, b;
        char name[64];
        if (sscanf(line.c_str(), "%u %u %u %63[^\r\n]", &r, &g, &b, name) == 4) css.emplace(NameKey(name), r << 16 | g << 8 | b);
    }
    const char* const html[16] = {"Black", "Navy", "Green", "Teal",  "Maroon", "Purple",  "Olive",  "Silver",
                                  "Gray",  "Blue", "Lime",  "Aqua",  "Red",    "Fuchsia", "Yellow", "White"};
    for (int i = 0; i < 16; i++) css[NameKey(html[i])] = SwapRedAndBlue(ClassicConsoleColor(i));
    css[L"crimson"] = 0xDC143C;
    css[L"indigo"] = 0x4B0082;
    for (const ColorName& color : ColorNames)
        EXPECT_EQ(css[NameKey(Narrow(color.name))], color.rgb) << Narrow(color.name);
}

TEST_F(Colors, PaletteAsTheConsoleReportsIt) {
    ASSERT_EQ(0, Load());
    CONSOLE_SCREEN_BUFFER_INFOEX info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetConsoleScreenBufferInfoEx(PluginState.consoleOutput, &info));
    EXPECT_EQ(1, RefreshConsoleColors());
    for (int i = 0; i < 16; i++) EXPECT_EQ(info.ColorTable[i], consoleColors[i]) << "index " << i;
    EXPECT_EQ(int(info.ColorTable[12]), ParseColorArgument(L"$12", L"$12"));
    // Without the extended query the standard palette stands.
    PluginState.getScreenBufferInfoEx = nullptr;
    EXPECT_EQ(0, RefreshConsoleColors());
    for (int i = 0; i < 16; i++) EXPECT_EQ(ClassicConsoleColor(i), consoleColors[i]) << "index " << i;
}

#if TICKRAIL_SIMULATED
// Simulation only: a real console keeps its palette (Wine's ignores a new
// colour table) and its queries cannot be made to fail.
TEST_F(Colors, PaletteFromTheConsole) {
    const COLORREF custom[16] = {0x0C0C0C, 0xDA3700, 0x0EA113, 0xDD963A, 0x1F0FC5, 0x981788,
                                 0x009CC1, 0xCCCCCC, 0x767676, 0xFF783B, 0x0CC616, 0xD6D661,
                                 0x5648E7, 0x9E00B4, 0xA5F1F9, 0xF2F2F2};
    sim::SetConsolePalette(custom);
    ASSERT_EQ(0, Load());
    WCHAR tail[] = L"/Q /B:$12";
    ASSERT_EQ(0, tickrail(tail));
    EXPECT_EQ(custom[12], Settings.backgroundColor) << "the command reads the console's palette";
    for (bool queryFails : {false, true}) {
        RefreshConsoleColors();  // start from the console's palette
        sim::SetConsoleQueriesFail(queryFails);
        EXPECT_EQ(queryFails ? 0 : 1, RefreshConsoleColors());
        for (int i = 0; i < 16; i++)
            EXPECT_EQ(queryFails ? ClassicConsoleColor(i) : custom[i], consoleColors[i]) << "index " << i;
        EXPECT_EQ(int(queryFails ? 0x0000FF : custom[12]), ParseColorArgument(L"$12", L"$12"));
        sim::SetConsoleQueriesFail(false);
    }
}
#endif

}  // namespace
