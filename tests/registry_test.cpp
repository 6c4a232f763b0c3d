// The settings in the registry: what a load takes, repairs or refuses, what
// a save writes and deletes, and the start-up settings.
#include <algorithm>
#include <string>
#include <vector>

#include "settings/marks.h"
#include "expected_texts.h"
#include "test_support.h"

namespace {

const HKEY User = HKEY_CURRENT_USER;
const HKEY Machine = HKEY_LOCAL_MACHINE;

class Registry : public PluginTest {
protected:
    void Set(HKEY root, const wchar_t* name, DWORD value) { StoreDword(root, name, value); }
    DWORD Get(HKEY root, const wchar_t* name) {
        DWORD value = 0xBAD;
        EXPECT_TRUE(StoredDword(root, name, &value)) << "value " << name;
        return value;
    }
    void TearDown() override {
#if TICKRAIL_SIMULATED  // open keys are counted only in the simulation
        EXPECT_EQ(0, sim::OpenRegistryKeys()) << "every key closed";
#endif
        PluginTest::TearDown();
    }
};

TEST_F(Registry, LoadTakesRepairsOrRefuses) {
    struct Case {
        const char* what;
        std::vector<std::pair<const wchar_t*, DWORD>> values;
        int result;
    } cases[] = {
        {"only a hotkey of 0", {{L"Hotkey", 0}}, 0},
        {"no hotkey", {{L"Alpha", 200}, {L"Position", 1}}, 1},
        {"unsupported hotkey", {{L"Hotkey", 0x12345}}, 1},
        {"seventeen columns counts as none", {{L"Hotkey", 0}, {L"Alt Columns Count", 17}}, 0},
        {"a missing column mark", {{L"Hotkey", 0}, {L"Alt Columns Count", 2}, {L"Alt Column #1", 5}}, 2},
        {"repeat every 1", {{L"Hotkey", 0}, {L"Alt Columns Count", 1}, {L"Alt Column #1", 0x10001}}, 1},
        {"row 2001", {{L"Hotkey", 0}, {L"Alt Rows Count", 1}, {L"Alt Row #1", 2001}}, 1},
        {"column 0", {{L"Hotkey", 0}, {L"Alt Columns Count", 1}, {L"Alt Column #1", 0}}, 1},
        {"every 100th", {{L"Hotkey", 0}, {L"Alt Columns Count", 1}, {L"Alt Column #1", 0x10064}}, 0},
        {"faults add up", {{L"Alt Rows Count", 2}}, 5},
    };
    for (const auto& c : cases) {
        Reload();
        for (const auto& v : c.values) Set(User, v.first, v.second);
        Settings.alpha = 99;  // untouched by a refused load
        EXPECT_EQ(c.result, LoadSettingsFromRegistry(User)) << c.what;
        // A refused load leaves the record; a taken one brings the default.
        EXPECT_EQ(c.result ? 99u : 128u, Settings.alpha) << c.what;
#if TICKRAIL_SIMULATED
        EXPECT_EQ(0, sim::OpenRegistryKeys());
#endif
    }
    EXPECT_EQ(1, LoadSettingsFromRegistry(Machine)) << "no key at all";
}

TEST_F(Registry, LoadFallsBackValueByValue) {
    struct Case {
        std::vector<std::pair<const wchar_t*, DWORD>> values;
        DWORD alpha, penWidth, penWidth2, hookList, color5, position, mode;
    } cases[] = {
        {{{L"Alpha", 63}}, 128, 1, 1, 1, 0xFFFFFF, 0, 1},
        {{{L"Pen Width", 4}}, 128, 1, 1, 1, 0xFFFFFF, 0, 1},
        {{{L"Pen Width", 3}}, 128, 3, 3, 1, 0xFFFFFF, 0, 1},
        {{{L"Pen Width", 3}, {L"Pen Width 2", 0}}, 128, 3, 0, 1, 0xFFFFFF, 0, 1},
        {{{L"Hook LIST", 7}}, 128, 1, 1, 7, 0xFFFFFF, 0, 1},
        {{{L"Tickrail Color 05", 0x1000000}}, 128, 1, 1, 1, 0xFFFFFF, 0, 1},
        {{{L"Tickrail Color 05", 0x123456}}, 128, 1, 1, 1, 0x123456, 0, 1},
        {{{L"Position", 4}, {L"Hotkey Mode", 18}}, 128, 1, 1, 1, 0xFFFFFF, 0, 1},
        {{{L"Position", 3}, {L"Hotkey Mode", 17}, {L"Alpha", 255}}, 255, 1, 1, 1, 0xFFFFFF, 3, 17},
    };
    for (const auto& c : cases) {
        Reload();
        Set(User, L"Hotkey", 0x10088);
        for (const auto& v : c.values) Set(User, v.first, v.second);
        Settings.tickrailColors[5] = 0x010101;
        Settings.rowOffset = 3;
        ASSERT_EQ(0, LoadSettingsFromRegistry(User));
        EXPECT_EQ(c.alpha, Settings.alpha);
        EXPECT_EQ(c.penWidth, Settings.penWidth);
        EXPECT_EQ(c.penWidth2, Settings.penWidth2);
        EXPECT_EQ(c.hookList, Settings.hookList);
        EXPECT_EQ(c.color5, Settings.tickrailColors[5]);
        EXPECT_EQ(c.position, Settings.position);
        EXPECT_EQ(c.mode, Settings.hotkeyModes[0]);
        EXPECT_EQ(0u, Settings.rowOffset);
    }
}

TEST_F(Registry, ValuesOfAnotherTypeCountAsMissing) {
    StoreString(User, L"Hotkey", L"0");
    EXPECT_EQ(1, LoadSettingsFromRegistry(User));
    Set(User, L"Hotkey", 0);
    StoreString(User, L"Alpha", L"200");
    StoreString(User, L"Hook LIST", L"7");  // as short as a REG_DWORD
    Set(User, L"Transparency Mode", 2);      // out of range
    Set(User, L"Hidden at Startup", 2);
    Settings.hookList = 0;
    EXPECT_EQ(0, LoadSettingsFromRegistry(User));
    EXPECT_EQ(128u, Settings.alpha);
    EXPECT_EQ(1u, Settings.hookList);
    EXPECT_EQ(0u, Settings.transparencyMode);
    EXPECT_EQ(0u, Settings.hiddenAtStartup);
}

TEST_F(Registry, FurtherHotkeySlotsAreEmptiedNotCompacted) {
    Set(User, L"Hotkey", 0x10088);
    Set(User, L"Hotkey #2", 0x1);  // Ctrl-A
    Set(User, L"Hotkey Mode #2", 4);
    Set(User, L"Hotkey #3", 0x12345);  // no such key
    Set(User, L"Hotkey Mode #3", 2);
    Set(User, L"Hotkey #4", 0x1003C);
    Set(User, L"Hotkey Mode #4", 18);  // no such mode
    Set(User, L"Hotkey #5", 0x1003D);
    Set(User, L"Hotkey Mode #5", 17);
    ASSERT_EQ(0, LoadSettingsFromRegistry(User));
    const int keys[] = {0x10088, 0x1, 0, 0, 0x1003D};
    const DWORD modes[] = {1, 4, 0, 0, 17};
    for (int slot = 0; slot < HotkeySlots; slot++) {
        EXPECT_EQ(keys[slot], Settings.hotkeys[slot]) << "slot " << slot + 1;
        EXPECT_EQ(modes[slot], Settings.hotkeyModes[slot]) << "slot " << slot + 1;
    }
}

TEST_F(Registry, SaveWritesWhatDiffersAndLoadsBack) {
    Settings.altColumnsCount = 1;
    Settings.altColumns[0] = 80;
    Settings.altColumns[1] = 90;  // beyond the count: not written
    Settings.alpha = 200;
    Set(User, L"Alt Column #2", 5);  // left over from an earlier save
    Set(User, L"Hotkey #3", 0x1003B);
    ASSERT_EQ(0, SaveSettingsToRegistry(User));
    std::vector<std::wstring> expected = {
        L"Hotkey",          L"Hotkey Mode",       L"Transparency Mode", L"Background Color", L"Hash Color",
        L"Alpha",           L"Pen Width",         L"Position",          L"Hidden at Startup", L"Alt Columns Count",
        L"Alt Rows Count",  L"Alt Columns Color", L"Alt Rows Color",    L"Hook LIST",         L"Alt Column #1",
    };
    std::vector<std::wstring> names = StoredNames(User);
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, names);
    EXPECT_EQ(200u, Get(User, L"Alpha"));
    EXPECT_EQ(80u, Get(User, L"Alt Column #1"));

    // Every stored setting away from its default, many at an end of their
    // range, loads back as it was saved; an empty slot stays in its place.
    const int keys[HotkeySlots] = {0x1003B, 0x1003C, 0, 0x1003D, 0};
    const DWORD modes[HotkeySlots] = {0, 16, 0, 2, 0};
    for (int slot = 0; slot < HotkeySlots; slot++) {
        Settings.hotkeys[slot] = keys[slot];
        Settings.hotkeyModes[slot] = modes[slot];
    }
    Settings.transparencyMode = 1;
    Settings.backgroundColor = 0;
    Settings.hashColor = 0xFFFFFF;
    Settings.alpha = 64;
    Settings.penWidth = 0;
    Settings.penWidth2 = 3;
    Settings.position = 3;
    Settings.hiddenAtStartup = 1;
    Settings.tickrailColors[0] = 0;  // black where the default is not
    Settings.tickrailColors[6] = 0xFFFFFF;
    Settings.tickrailColors[15] = 0x123456;
    Settings.altColumnsCount = MaxAltMarks;
    for (DWORD i = 0; i < MaxAltMarks; i++) Settings.altColumns[i] = i + 1;
    Settings.altColumns[1] = RepeatMarkFlag + 2;
    Settings.altColumns[15] = 2000;
    Settings.altRowsCount = 1;
    Settings.altRows[0] = RepeatMarkFlag + 100;
    Settings.altColumnsColor = 0;
    Settings.altRowsColor = 0x0000FF;  // not the columns' colour: a swap shows
    Settings.hookList = 7;
    Settings.rowOffset = 0;
    SettingsRecord saved = Settings;
    SKIP_UNLESS_MACHINE_WRITABLE();
    ASSERT_EQ(0, SaveSettingsToRegistry(Machine));
    EXPECT_EQ(3u, Get(Machine, L"Pen Width 2"));
    EXPECT_EQ(0x123456u, Get(Machine, L"Tickrail Color 15"));
    EXPECT_EQ(0x1003Du, Get(Machine, L"Hotkey #4"));
    EXPECT_EQ(2u, Get(Machine, L"Hotkey Mode #4"));
    DWORD value;
    EXPECT_FALSE(StoredDword(Machine, L"Hotkey #3", &value));

    Settings = DefaultSettings;
    Settings.rowOffset = 2;
    ASSERT_EQ(0, LoadSettingsFromRegistry(Machine));
    const DWORD* want = reinterpret_cast<const DWORD*>(&saved);
    const DWORD* got = reinterpret_cast<const DWORD*>(&Settings);
    for (size_t i = 0; i < sizeof Settings / sizeof(DWORD); i++) EXPECT_EQ(want[i], got[i]) << "field at byte " << 4 * i;
}

TEST_F(Registry, SaveReportsTheFailingCall) {
    DWORD error = BreakNextSettingsSave();
    SKIP_UNLESS_SAVE_BROKEN(error);
    EXPECT_EQ(LSTATUS(error), SaveSettingsToRegistry(User));
    EXPECT_FALSE(SettingsKeyExists(User));
}

#if TICKRAIL_SIMULATED
// Simulation only: a real registry cannot be made to refuse one chosen write.
TEST_F(Registry, SaveReportsTheFailingWrite) {
    sim::FailCall(sim::Call::RegSetValue, 1021, 2);  // the third write fails
    EXPECT_EQ(1021, SaveSettingsToRegistry(User));
    EXPECT_EQ(0, LoadSettingsFromRegistry(User)) << "the other values were written";
}
#endif

TEST_F(Registry, StartupSettings) {
    struct Case {
        const char* what;
        bool storedHotkey;
        DWORD stored;
        int hidden, hook;
        std::vector<std::wstring> written;
    } cases[] = {
        {"nothing to write", true, 0x10088, -1, -1, {L"Hotkey"}},
        {"a stored hotkey of 0 is kept", true, 0, -1, -1, {L"Hotkey"}},
        {"no hotkey yet", false, 0, -1, -1, {L"Hotkey"}},
        {"an unsupported hotkey is replaced", true, 0x12345, 1, -1, {L"Hotkey", L"Hidden at Startup"}},
        {"both", true, 0x10088, 0, 0, {L"Hotkey", L"Hidden at Startup", L"Hook LIST"}},
    };
    for (const auto& c : cases) {
        Reload();
        if (c.storedHotkey) Set(User, L"Hotkey", c.stored);
        Settings.hotkeys[0] = 0x1003B;
        EXPECT_EQ(0, SaveStartupSettings(c.hidden, c.hook)) << c.what;
        std::vector<std::wstring> names = StoredNames(User);
        std::sort(names.begin(), names.end());
        std::vector<std::wstring> expected = c.written;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(expected, names) << c.what;
        DWORD expectedHotkey = c.storedHotkey && (c.stored == 0 || c.stored == 0x10088) ? c.stored : 0x1003B;
        EXPECT_EQ(expectedHotkey, Get(User, L"Hotkey")) << c.what;
        if (c.hidden >= 0) {
            EXPECT_EQ(DWORD(c.hidden), Get(User, L"Hidden at Startup"));
        }
        EXPECT_EQ(0, LoadSettingsFromRegistry(User)) << c.what << ": what is left loads";
    }
}

TEST_F(Registry, LoadAtStartUpPrefersTheUserAndActsOnStartupSettings) {
    SKIP_UNLESS_MACHINE_WRITABLE();
    struct Case {
        const char* what;
        bool userKey, userSound, machineKey;
        DWORD expectedAlpha;
    } cases[] = {
        {"user", true, true, true, 100},
        {"user's set is unsound: machine", true, false, true, 200},
        {"machine only", false, false, true, 200},
        {"none: defaults", false, false, false, 128},
    };
    for (const auto& c : cases) {
        Reload();
        if (c.userKey) {
            if (c.userSound) Set(User, L"Hotkey", 0x10088);
            Set(User, L"Alpha", 100);
        }
        if (c.machineKey) {
            Set(Machine, L"Hotkey", 0);
            Set(Machine, L"Alpha", 200);
        }
        ASSERT_EQ(0, Load());
        EXPECT_EQ(c.expectedAlpha, Settings.alpha) << c.what;
        Unload();
    }

    Reload();
    Set(User, L"Hotkey", 0);
    Set(User, L"Hook LIST", 0);
    Set(User, L"Hidden at Startup", 1);
    ASSERT_EQ(0, Load());
    EXPECT_STREQ(L"tickrail,*key", GetPluginInfo()->functions);
    EXPECT_EQ(L"Tickrail v" VERSION_TEXT " loaded; hotkey is None.\r\n", StdOutText());
    EXPECT_EQ(0u, Settings.enabled);
    RunMessages(300);
    EXPECT_NE(nullptr, PluginState.consoleOverlay);
    EXPECT_FALSE(IsWindowVisible(PluginState.consoleOverlay)) << "hidden at start-up";
}

}  // namespace
