// The settings record: defaults, the reset, and the compaction of the
// hotkey slots.
#include <cstring>

#include "test_support.h"

namespace {

using SettingsTest = PluginTest;

const int KeyA = 0x1001E;  // Alt-A
const int KeyB = 0x10030;  // Alt-B
const int KeyK = 0x10025;  // Alt-K
const int KeyF1 = 0x1003B;

TEST_F(SettingsTest, ResetRestoresEveryDefaultButEnabledAndMarkEntries) {
    std::memset(&Settings, 0x5A, sizeof Settings);
    Settings.enabled = 0;
    Settings.altColumns[0] = 80;
    Settings.altRows[3] = 0x10005;

    EXPECT_EQ(0, ResetSettingsToDefaults());

    const int keys[HotkeySlots] = {0x10088, 0, 0, 0, 0};
    const DWORD modes[HotkeySlots] = {1, 0, 0, 0, 0};
    for (int slot = 0; slot < HotkeySlots; slot++) {
        EXPECT_EQ(keys[slot], Settings.hotkeys[slot]) << "slot " << slot + 1;
        EXPECT_EQ(modes[slot], Settings.hotkeyModes[slot]) << "slot " << slot + 1;
    }
    EXPECT_EQ(0u, Settings.transparencyMode);
    EXPECT_EQ(0xE6E0B0u, Settings.backgroundColor);
    EXPECT_EQ(0u, Settings.hashColor);
    EXPECT_EQ(128u, Settings.alpha);
    EXPECT_EQ(1u, Settings.penWidth);
    EXPECT_EQ(1u, Settings.penWidth2);
    EXPECT_EQ(0u, Settings.position);
    EXPECT_EQ(0u, Settings.hiddenAtStartup);
    EXPECT_EQ(0u, Settings.altColumnsCount);
    EXPECT_EQ(0u, Settings.altRowsCount);
    EXPECT_EQ(0xFFFFFFu, Settings.altColumnsColor);
    EXPECT_EQ(0xFFFFFFu, Settings.altRowsColor);
    EXPECT_EQ(1u, Settings.hookList);
    EXPECT_EQ(0u, Settings.rowOffset);
    const COLORREF tickrailColors[16] = {0xFFBF00, 0xFFBF00, 0x98FB98, 0xDCDCDC, 0x507FFF, 0xFFFFFF,
                                         0x000000, 0x4F4F2F, 0,        0,        0,        0,
                                         0,        0,        0x008CFF, 0xA09E5F};
    for (int i = 0; i < 16; i++) EXPECT_EQ(tickrailColors[i], Settings.tickrailColors[i]) << "index " << i;

    EXPECT_EQ(0u, Settings.enabled);
    EXPECT_EQ(80u, Settings.altColumns[0]);
    EXPECT_EQ(0x10005u, Settings.altRows[3]);
}

TEST_F(SettingsTest, CompactHotkeys) {
    struct Case {
        int keys[HotkeySlots];
        DWORD modes[HotkeySlots];
        int expectedKeys[HotkeySlots];
        DWORD expectedModes[HotkeySlots];
        unsigned changes;
    } cases[] = {
        {{KeyA, 0, KeyA, 0, KeyB}, {1, 2, 3, 4, 5}, {KeyA, KeyB, 0, 0, 0}, {1, 5, 0, 4, 0}, 2},
        {{0, 0, 0, 0, KeyK}, {3, 0, 0, 0, 7}, {KeyK, 0, 0, 0, 0}, {7, 0, 0, 0, 0}, 1},
        {{KeyA, KeyB, KeyK, KeyF1, 0x10088}, {1, 2, 3, 4, 5}, {KeyA, KeyB, KeyK, KeyF1, 0x10088}, {1, 2, 3, 4, 5}, 0},
        {{KeyA, KeyA, KeyA, KeyA, KeyA}, {9, 8, 7, 6, 5}, {KeyA, 0, 0, 0, 0}, {9, 0, 0, 0, 0}, 4},
        {{0, KeyB, 0, KeyB, KeyA}, {1, 2, 3, 4, 5}, {KeyB, KeyA, 0, 0, 0}, {2, 5, 3, 0, 0}, 3},
        {{0, 0, 0, 0, 0}, {1, 2, 3, 4, 5}, {0, 0, 0, 0, 0}, {1, 2, 3, 4, 5}, 0},
        {{0, 0, 0, KeyA, KeyA}, {1, 2, 3, 4, 5}, {KeyA, 0, 0, 0, 0}, {4, 2, 3, 0, 0}, 2},
        {{1, 0, 0, 0, 0}, {1, 2, 3, 4, 5}, {1, 0, 0, 0, 0}, {1, 2, 3, 4, 5}, 0},  // a code like a mode
    };
    for (size_t n = 0; n < sizeof cases / sizeof cases[0]; n++) {
        const Case& c = cases[n];
        std::memcpy(Settings.hotkeys, c.keys, sizeof c.keys);
        std::memcpy(Settings.hotkeyModes, c.modes, sizeof c.modes);
        EXPECT_EQ(c.changes, CompactHotkeys()) << "case " << n;
        for (int slot = 0; slot < HotkeySlots; slot++) {
            EXPECT_EQ(c.expectedKeys[slot], Settings.hotkeys[slot]) << "case " << n << " slot " << slot + 1;
            EXPECT_EQ(c.expectedModes[slot], Settings.hotkeyModes[slot]) << "case " << n << " slot " << slot + 1;
        }
    }
}



}  // namespace
