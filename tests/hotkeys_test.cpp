// Key names, the hotkey list, the keystroke handler with its modes, and
// the LIST interception.
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "command/command.h"
#include "hotkeys/keys.h"
#include "test_support.h"

namespace {

using Hotkeys = PluginTest;

const int ShiftF12 = 0x10088;

TEST_F(Hotkeys, ParseHotkeyName) {
    struct Case {
        const wchar_t* text;
        int beforeV24, fromV24;
    } cases[] = {
        {L"shift-f12", ShiftF12, ShiftF12}, {L"Shift-F12", ShiftF12, ShiftF12}, {L"S-F12", ShiftF12, ShiftF12},
        {L"ctrl-shift-f1", 0x30054, 0x30054}, {L"shift-ctrl-f1", 0x30054, 0x30054}, {L"ctrl-ctrl-x", 0x18, 0x18},
        {L"a", -2, -2},                     {L"shift-a", -2, -2},                 {L"ctrl-c", -1, -1},
        {L"ctrl-alt-del", -1, -1},          {L"alt-shift-f1", 0, 0},              {L"ctrl-alt-shift-f1", 0, 0x7005E},
        {L"PageUp", 0x10049, 0x10049},      {L"pageup", 0x10049, 0x10049},        {L"PgUp", 0x10049, 0x10049},
        {L"alt-Backquote", 0x10029, 0},     {L"alt-grave", 0x10029, 0x10860},     {L"ctrl--", -1, 0x8BD},
        {L"ctrl-", 0, 0},                   {L"", 0, 0},                          {L"foo-x", 0, 0},
        {L"ctl-\u00bd", 0, 0x8BD},          {L"control-\u00dc", 0, 0x8DC},        {L"Num-", 0, 0},
        {L"ctrl-shift-num/", 0x30035, 0},   {L"ctrl-shift-Num/", 0x30035, 0},           {L"c-s-Divide", 0, 0x20035},
        {L"alt-0", 0x100EB, 0x100EB},       {L"CTRL-M", -1, 0xD},                 {L"ctrl-\u00e9", 0, 0},
        {L"A-F1", 0x10068, 0x10068},        {L"C-F1", 0x1005E, 0x1005E},          {L"Control-F1", 0x1005E, 0x1005E},
        {L"x-f1", 0, 0},                    {L"alx-f1", 0, 0},                    {L"ctrx-f1", 0, 0},
        {L"shifx-f1", 0, 0},                {L"controx-f1", 0, 0},                {L"Ctl-Alt-F1", 0x5005E, 0x5005E},
        {L"xtrl-f1", 0, 0},                 {L"ctrl-z", 0x1A, 0x1A},
    };
    for (const Case& c : cases) {
        PluginState.useKeyTableV24 = false;
        EXPECT_EQ(c.beforeV24, ParseHotkeyName(c.text)) << "'" << c.text << "' before 24";
        PluginState.useKeyTableV24 = true;
        EXPECT_EQ(c.fromV24, ParseHotkeyName(c.text)) << "'" << c.text << "' from 24";
    }
}

TEST_F(Hotkeys, SupportedHotkeysFollowTheActiveTable) {
    struct Case {
        int code;
        bool beforeV24;
        bool fromV24;
    } cases[] = {
        {0, false, false},       {-1, false, false},     {-2, false, false},
        {0x10088, true, true},   {0x87F, false, true},   // Shift-Backspace exists from 24 on
        {0x7005E, false, true},  // Ctrl-Alt-Shift-F1
        {0x10082, true, false},  // Alt-"-" of the older table
        {0x1C, true, false},     {0x12345, false, false}, {0x1, true, true},  // Ctrl-A
    };
    for (const Case& c : cases) {
        PluginState.useKeyTableV24 = false;
        EXPECT_EQ(c.beforeV24, IsSupportedHotkey(c.code)) << std::hex << "code 0x" << c.code;
        PluginState.useKeyTableV24 = true;
        EXPECT_EQ(c.fromV24, IsSupportedHotkey(c.code)) << std::hex << "code 0x" << c.code;
    }
}

TEST_F(Hotkeys, TheShellsVersionChoosesTheTable) {
    struct Case {
        const wchar_t* version;
        bool v24;
        DWORD accepted;
    } cases[] = {
        {L"23.01", false, 23}, {L"24.00", true, 24}, {L"7", false, 0},          {L"101", false, 0},
        {L" +30", true, 30},   {L"-30", false, 0},   {L"99999999999", false, 0}, {L"", false, 0},
        {L"8", false, 8},      {L"100", true, 100},  {L"4294967326", false, 0},  // 2^32 + 30 is no 30
    };
    for (const Case& c : cases) {
        SetShellVariable(L"_4ver", c.version);
        EXPECT_EQ(c.accepted, SelectKeyTable()) << "version '" << c.version << "'";
        EXPECT_EQ(c.v24, PluginState.useKeyTableV24) << "version '" << c.version << "'";
    }
}

// Every combination that /L lists: its name reads as its code, the code
// names it back, and no code stands in two cells. Every other combination of
// a listed key is refused (-1, or -2 for a typing key alone or with Shift),
// never unknown. The handler adds a flag (0x20000 Ctrl-Shift, 0x40000
// Ctrl-Alt, 0x60000 Ctrl-Alt-Shift) to the shell's code of the key with
// fewer modifiers, so a flagged code less its flag is one of the key's own
// codes or its scan code, except seven that the shell gives codes of their
// own; and it reports Ctrl-Alt-Shift like Ctrl-Alt. The "Num-" row of the older table
// cannot be typed: its hyphen ends the word.
TEST_F(Hotkeys, EveryListedKeyReadsBackToItself) {
    const std::wstring prefixes[7] = {L"", L"Shift-", L"Ctrl-", L"Alt-", L"Ctrl-Shift-", L"Ctrl-Alt-", L"Ctrl-Alt-Shift-"};
    const int flags[7] = {0, 0, 0, 0, 0x20000, 0x40000, 0x60000};
    const std::set<std::wstring> ownCodes = {L"Ctrl-Shift-Left", L"Ctrl-Shift-Right", L"Ctrl-Shift-Num/", L"Ctrl-Shift-M",
                                             L"Ctrl-Alt-Ins", L"Ctrl-Alt-Plus", L"Ctrl-Alt-Enter"};
    const std::set<std::wstring> virtualKeySigns = {L"Plus", L"[", L"]", L"\\"};
    const std::set<std::wstring> cursorKeys = {L"Home", L"End", L"PgUp", L"PgDn", L"Ins",
                                               L"Del",  L"Up",  L"Down", L"Left", L"Right"};
    struct Case {
        bool v24;
        size_t keys, codes, untypable;
    } cases[] = {{false, 74, 261, 3}, {true, 72, 384, 0}};
    for (const Case& c : cases) {
        PluginState.useKeyTableV24 = c.v24;
        const int columns = c.v24 ? 7 : 6;
        ClearOutput();
        ListHotkeys();
        std::wistringstream listing(StdOutText());
        std::set<int> codes;
        size_t keys = 0, untypable = 0;
        for (std::wstring line; std::getline(listing, line); keys++) {
            std::wistringstream items(line);
            std::wstring key;
            int row[7] = {0};  // the listed code of each column
            for (std::wstring item; items >> item;) {
                int column = 6;
                while (item.compare(0, prefixes[column].size(), prefixes[column]) != 0) column--;
                key = item.substr(prefixes[column].size());
                row[column] = ParseHotkeyName(item.c_str());
                if (key == L"Num-") {
                    EXPECT_EQ(0, row[column]) << "'" << item << "'";
                    untypable++;
                    continue;
                }
                WCHAR text[TextCapacity];
                EXPECT_GT(row[column], 0) << "'" << item << "'";
                EXPECT_EQ(0, HotkeyToText(row[column], text)) << "'" << item << "'";
                EXPECT_EQ(item, text);
                EXPECT_TRUE(codes.insert(row[column]).second) << "'" << item << "' has a code of its own";
            }
            if (key == L"Num-") continue;
            bool typing = !cursorKeys.count(key) && !(key.size() > 1 && key[0] == L'F' && iswdigit(key[1]));
            for (int column = 0; column < columns; column++) {
                std::wstring name = prefixes[column] + key;
                if (column == 6 && row[5]) {  // the shell reports both alike
                    EXPECT_EQ(row[5] + flags[6] - flags[5], row[6]) << "'" << name << "'";
                } else if (row[column] && flags[column] && !ownCodes.count(name)) {
                    std::set<int> bases(row, row + 4);
                    bases.insert(row[3] & 0xFF);  // the scan code
                    EXPECT_TRUE(bases.count(row[column] - flags[column])) << "'" << name << "' less its flag";
                }
                // From 24, Ctrl with a sign key is 0x800 and the key's scan code, or
                // the virtual key's code for the signs named by it (Plus, [, ], \).
                if (c.v24 && column == 2 && (row[2] & ~0xFF) == 0x800 && !virtualKeySigns.count(key)) {
                    EXPECT_EQ(row[3] & 0xFF, row[2] & 0xFF) << "'" << name << "'";
                }
                if (row[column]) continue;
                int refused = typing && column < 2 ? -2 : -1;
                if (!c.v24 && column == 3 && key == L"Num+") refused = -2;  // as a typing key
                if (!c.v24 && column == 1 && key == L"BkSp") refused = -1;
                EXPECT_EQ(refused, ParseHotkeyName(name.c_str())) << (c.v24 ? "from 24: '" : "before 24: '") << name << "'";
            }
        }
        EXPECT_EQ(c.keys, keys);
        EXPECT_EQ(c.codes, codes.size() + untypable);
        EXPECT_EQ(c.untypable, untypable);
    }
}

// The cells that follow a rule: function keys, letters and digits, by the
// key's number, its scan code and the modifier column, with the listed
// exceptions; and named cells of the other rows.
TEST_F(Hotkeys, KeyCodesFollowTheirRules) {
    const wchar_t* const prefixes[] = {L"", L"Shift-", L"Ctrl-", L"Alt-", L"Ctrl-Shift-", L"Ctrl-Alt-", L"Ctrl-Alt-Shift-"};
    const int functionKeys[7] = {0x1003B, 0x10054, 0x1005E, 0x10068, 0x30054, 0x5005E, 0x7005E};
    const int f11[7] = {0x10085, 0x10087, 0x10089, 0x1008B, 0x30087, 0x50089, 0x70089};
    const int scanCodes[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
                               0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
    for (bool v24 : {false, true}) {
        PluginState.useKeyTableV24 = v24;
        int columns = v24 ? 7 : 6;
        std::vector<std::pair<std::wstring, int>> cells;
        for (int column = 0; column < columns; column++) {
            auto add = [&](const std::wstring& key, int code) { cells.push_back({prefixes[column] + key, code}); };
            for (int k = 0; k < 10; k++) add(L"F" + std::to_wstring(k + 1), functionKeys[column] + k);
            for (int k = 0; k < 2; k++) add(L"F" + std::to_wstring(k + 11), f11[column] + k);
            for (int n = 1; n <= 26; n++) {
                int s = scanCodes[n - 1];
                const int rule[7] = {-2, -2, n, 0x10000 + s, 0x20000 + n, 0x50000 + s, 0x70000 + s};
                wchar_t letter = wchar_t(L'A' + n - 1);
                bool noCode = ((letter == L'C' || letter == L'S') && (column == 2 || column == 4)) ||
                              (letter == L'I' && column == 4) || (!v24 && letter == L'M' && column == 2);
                add(std::wstring(1, letter), noCode ? -1 : rule[column]);
            }
            for (int k = 0; k < 10; k++) {
                const int before24[6] = {-2, -2, -1, 0x100E2 + k, -1, -1};
                const int from24[7] = {-2, -2, 0xE2 + k, 0x100E2 + k, 0x200E2 + k, 0x500E2 + k, 0x700E2 + k};
                add(std::wstring(1, wchar_t(L'0' + (k + 1) % 10)), v24 ? from24[column] : before24[column]);
            }
        }
        for (const auto& cell : cells)
            EXPECT_EQ(cell.second, ParseHotkeyName(cell.first.c_str())) << (v24 ? "from 24: " : "before 24: ") << cell.first;
    }
}

// The codes the shell takes from the PC BIOS's keyboard service, plus
// 0x10000: the extended codes of the cursor keys alone and with Ctrl, and
// the scan codes of the other keys with Alt; and the ASCII control codes of
// Ctrl-Backspace (DEL) and, before 24, Ctrl-\ (FS).
TEST_F(Hotkeys, CodesFromThePcBios) {
    const int Extended = 0x10000;
    struct Case {
        const wchar_t* name;
        int code;
        bool olderTableOnly;
    } cases[] = {
        {L"Home", Extended + 0x47},      {L"Ctrl-Home", Extended + 0x77},
        {L"End", Extended + 0x4F},       {L"Ctrl-End", Extended + 0x75},
        {L"PgUp", Extended + 0x49},      {L"Ctrl-PgUp", Extended + 0x84},
        {L"PgDn", Extended + 0x51},      {L"Ctrl-PgDn", Extended + 0x76},
        {L"Ins", Extended + 0x52},       {L"Del", Extended + 0x53},
        {L"Ctrl-Del", Extended + 0x93},  {L"Up", Extended + 0x48},
        {L"Ctrl-Up", Extended + 0x8D},   {L"Down", Extended + 0x50},
        {L"Ctrl-Down", Extended + 0x91}, {L"Left", Extended + 0x4B},
        {L"Ctrl-Left", Extended + 0x73}, {L"Right", Extended + 0x4D},
        {L"Ctrl-Right", Extended + 0x74}, {L"Alt-BkSp", Extended + 0x0E},
        {L"Alt-=", Extended + 0x83},     {L"Alt-[", Extended + 0x1A},
        {L"Alt-]", Extended + 0x1B},     {L"Alt-\\", Extended + 0x2B},
        {L"Alt-;", Extended + 0x27},     {L"Alt-'", Extended + 0x28},
        {L"Alt-,", Extended + 0x33},     {L"Alt-.", Extended + 0x34},
        {L"Alt-/", Extended + 0x35},     {L"Alt-Grave", Extended + 0x29, true},
        {L"Alt--", Extended + 0x82, true},    {L"Ctrl-BkSp", 0x7F},
        {L"Ctrl-\\", 0x1C, true},
    };
    for (const Case& c : cases) {
        for (bool v24 : {false, true}) {
            PluginState.useKeyTableV24 = v24;
            if (!v24 || !c.olderTableOnly) {
                EXPECT_EQ(c.code, ParseHotkeyName(c.name)) << (v24 ? "from 24: " : "before 24: ") << Narrow(c.name);
            }
        }
    }
}

TEST_F(Hotkeys, HotkeyText) {
    struct Case {
        bool v24;
        int code;
        const wchar_t* text;
        int result;
    } cases[] = {
        {false, 0, L"None", 0},          {true, 0x10088, L"Shift-F12", 0},
        {true, 0x7005E, L"Ctrl-Alt-Shift-F1", 0}, {false, 0x30035, L"Ctrl-Shift-Num/", 0},
        {true, 0x8BD, L"Ctrl-Minus", 0}, {false, 0x12345, L"(unknown)", -1},
        {false, 0x7005E, L"(unknown)", -1},
    };
    for (const Case& c : cases) {
        PluginState.useKeyTableV24 = c.v24;
        WCHAR out[TextCapacity];
        EXPECT_EQ(c.result, HotkeyToText(c.code, out)) << std::hex << "code 0x" << c.code;
        EXPECT_STREQ(c.text, out) << std::hex << "code 0x" << c.code;
    }
}

TEST_F(Hotkeys, ListHotkeysWritesALinePerKey) {
    struct Case {
        bool v24;
        size_t lines;
        const wchar_t* first;
        size_t aLine;
        const wchar_t* aText;
    } cases[] = {
        {true, 72, L"F1   Shift-F1   Ctrl-F1   Alt-F1   Ctrl-Shift-F1   Ctrl-Alt-F1   Ctrl-Alt-Shift-F1", 22,
         L"Ctrl-A   Alt-A   Ctrl-Shift-A   Ctrl-Alt-A   Ctrl-Alt-Shift-A"},
        {false, 74, L"F1   Shift-F1   Ctrl-F1   Alt-F1   Ctrl-Shift-F1   Ctrl-Alt-F1", 22,
         L"Ctrl-A   Alt-A   Ctrl-Shift-A   Ctrl-Alt-A"},
    };
    for (const Case& c : cases) {
        ClearOutput();
        PluginState.useKeyTableV24 = c.v24;
        EXPECT_EQ(0, ListHotkeys());
        std::vector<std::wstring> lines;
        const std::wstring& out = StdOutText();
        for (size_t at = 0, next; (next = out.find(L"\r\n", at)) != std::wstring::npos; at = next + 2)
            lines.push_back(out.substr(at, next - at));
        ASSERT_EQ(c.lines, lines.size());
        EXPECT_EQ(c.first, lines[0]);
        EXPECT_EQ(c.aText, lines[c.aLine]);
    }
    EXPECT_NE(std::wstring::npos, StdOutText().find(L"\r\nCtrl-Shift-Num/\r\n")) << "the Num/ line";
}

TEST_F(Hotkeys, ModesCycleAsTheyAreNamed) {
    struct Case {
        DWORD mode;
        bool enabled;
        DWORD position;
        const char* presses;  // after each press: T B L R for a shown position, - for hidden
    } cases[] = {
        {1, true, 0, "B-TB-"},  {2, true, 0, "BL-T"},   {3, true, 0, "BLR-T"},  {4, false, 0, "BTB"},
        {5, true, 0, "BLTB"},   {6, true, 2, "RTBL"},   {7, true, 1, "TL-T"},   {8, true, 0, "LTL"},
        {9, false, 2, "LL"},    {10, true, 2, "--"},    {11, false, 3, "TT"},   {12, true, 0, "BB"},
        {13, true, 0, "LL"},    {14, false, 0, "RR"},   {15, true, 0, "LR-L"},  {16, true, 2, "RLR"},
        {0, true, 3, "-R-"},    {18, true, 1, "-B"},
    };
    for (const Case& c : cases) {
        Settings.enabled = c.enabled;
        Settings.position = c.position;
        std::string seen;
        for (size_t i = 0; c.presses[i]; i++) {
            ASSERT_EQ(0, ApplyHotkeyMode(c.mode));
            seen += Settings.enabled ? "TBLR"[Settings.position] : '-';
        }
        EXPECT_EQ(c.presses, seen) << "mode " << c.mode;
    }
    Settings.enabled = 0;
    Settings.transparencyMode = 0;
    ApplyHotkeyMode(17);
    EXPECT_EQ(1u, Settings.transparencyMode);
    EXPECT_EQ(0u, Settings.enabled) << "switching the drawing does not show the strip";
    ApplyHotkeyMode(17);
    EXPECT_EQ(0u, Settings.transparencyMode);
}

TEST_F(Hotkeys, KeyHandlerSwallowsOnlyItsHotkeys) {
    ASSERT_EQ(0, Load());
    RunMessages(300);
    Settings.hotkeys[1] = 0x30054;  // Ctrl-Shift-F1 in slot 2, mode 10
    Settings.hotkeyModes[1] = 10;
    Settings.hotkeys[2] = ShiftF12;  // a second Shift-F12: only the first slot acts
    Settings.hotkeyModes[2] = 11;

    int paints = PaintsDispatched(PluginState.consoleOverlay);
    std::string seen;
    for (int press = 0; press < 3; press++) {
        KeyRecord record = {};
        record.keyCode = ShiftF12;
        EXPECT_EQ(0, key(&record));
        EXPECT_EQ(0, record.keyCode) << "swallowed";
        seen += Settings.enabled ? "TBLR"[Settings.position] : '-';
    }
    EXPECT_EQ("B-T", seen);
    RunMessages(0);
    EXPECT_EQ(paints + 3, PaintsDispatched(PluginState.consoleOverlay));

    KeyRecord other = {};
    other.keyCode = 0x10054;  // Shift-F1, no hotkey
    EXPECT_EQ(0, key(&other));
    EXPECT_EQ(0x10054, other.keyCode);
    EXPECT_EQ(1u, Settings.enabled);
    EXPECT_EQ(0, key(nullptr));

    // Keys pressed and let go before the keystroke are not held.
    for (bool down : {true, false}) {
        HoldKey(VK_CONTROL, down);
        HoldKey(VK_SHIFT, down);
    }
    EXPECT_EQ(0, key(&other));
    EXPECT_EQ(0x10054, other.keyCode) << "Ctrl and Shift let go";

    HoldKey(VK_CONTROL, true);
    HoldKey(VK_SHIFT, true);
    EXPECT_EQ(0, key(&other));
    EXPECT_EQ(0, other.keyCode) << "Ctrl and Shift held make it Ctrl-Shift-F1";
    EXPECT_EQ(0u, Settings.enabled);

    // Ctrl and Alt held make Ctrl-F1 Ctrl-Alt-F1; with Shift too, from 24 on,
    // Ctrl-Alt-Shift-F1.
    HoldKey(VK_SHIFT, false);
    HoldKey(VK_MENU, true);
    Settings.hotkeys[3] = 0x5005E;
    Settings.hotkeyModes[3] = 9;
    Settings.hotkeys[4] = 0x7005E;
    Settings.hotkeyModes[4] = 10;
    KeyRecord ctrlF1 = {};
    ctrlF1.keyCode = 0x1005E;
    key(&ctrlF1);
    EXPECT_EQ(0, ctrlF1.keyCode) << "Ctrl-Alt-F1";
    EXPECT_EQ(1u, Settings.enabled);
    HoldKey(VK_SHIFT, true);
    ctrlF1.keyCode = 0x1005E;
    key(&ctrlF1);
    EXPECT_EQ(0, ctrlF1.keyCode) << "Ctrl-Alt-Shift-F1";
    EXPECT_EQ(0u, Settings.enabled);

    // With Ctrl, Alt and Shift before version 24 no flag is added.
    HoldKey(VK_MENU, true);
    PluginState.useKeyTableV24 = false;
    Settings.hotkeys[3] = 0x1005E;  // Ctrl-F1
    Settings.hotkeyModes[3] = 9;
    KeyRecord plain = {};
    plain.keyCode = 0x1005E;
    key(&plain);
    EXPECT_EQ(0, plain.keyCode);
    EXPECT_EQ(1u, Settings.enabled);
}

TEST_F(Hotkeys, KeysByNameFromVersion24) {
    ASSERT_EQ(0, Load());
    ASSERT_TRUE(PluginState.useKeyTableV24);
    WCHAR name[] = L"Shift-F12";
    KeyRecord record = {};
    record.keyName = name;
    key(&record);
    EXPECT_EQ(L'\0', name[0]) << "the name is emptied to swallow the key";
    EXPECT_EQ(1u, Settings.position);

    WCHAR unknown[] = L"Wibble";
    KeyRecord byUnknownName = {};
    byUnknownName.keyName = unknown;
    Settings.rowOffset = 3;
    key(&byUnknownName);
    EXPECT_STREQ(L"Wibble", unknown);
    EXPECT_EQ(0u, Settings.rowOffset) << "an unknown name is a call without a key";
}

TEST_F(Hotkeys, CallWithoutKeyPutsTheStripBackAndLooksForTheTab) {
    ASSERT_EQ(0, Load());
    MakeShellWindows();
    RunMessages(300);
    int searches = TabSearchesSeen(), paints = PaintsDispatched(PluginState.consoleOverlay);
    KeyRecord none = {};
    EXPECT_EQ(0, key(&none));
    RunMessages(0);
    EXPECT_EQ(searches, TabSearchesSeen()) << "no search while the console shows";
    EXPECT_EQ(paints + 1, PaintsDispatched(PluginState.consoleOverlay));

    SetHwndAnswer(nullptr);  // the timer finds no tab while the console hides
    ShowConsole(false);
    SetHwndAnswer(mainWindow);
    Settings.rowOffset = 3;
    KeyRecord ignored = {};
    int marker = 1;
    ignored.hostPointer = &marker;
    key(&ignored);
    EXPECT_EQ(3u, Settings.rowOffset) << "not a call without a key when the host's field is set";
    EXPECT_EQ(nullptr, PluginState.tabOverlay);

    key(&none);
    EXPECT_EQ(0u, Settings.rowOffset);
    ASSERT_NE(nullptr, PluginState.tabOverlay);
    EXPECT_EQ(tabWindow, GetParent(PluginState.tabOverlay));
}

TEST_F(Hotkeys, ListMovesTheStripDownAndHandsLISTBack) {
    ASSERT_EQ(0, Load());
    struct Case {
        const wchar_t* tail;
        DWORD offset;
    } cases[] = {{L"", 1}, {L"/s *.txt", 1}, {L"/u", 3}, {L"*.txt /h /U", 3}, {L"/uu", 1}, {L"\"/u\"", 3}};
    RunMessages(300);
    for (const Case& c : cases) {
        WCHAR tail[64];
        lstrcpyW(tail, c.tail);
        int paints = PaintsDispatched(PluginState.consoleOverlay);
        EXPECT_EQ(int(0xFEDCBA98u), list(tail)) << "tail '" << c.tail << "'";
        RunMessages(0);
        EXPECT_EQ(paints + 1, PaintsDispatched(PluginState.consoleOverlay)) << "tail '" << c.tail << "'";
        EXPECT_EQ(c.offset, Settings.rowOffset) << "tail '" << c.tail << "'";
        EXPECT_STREQ(c.tail, tail) << "the shell's LIST gets the tail unchanged";
    }
}

}  // namespace
