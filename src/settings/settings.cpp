#include "settings.h"

#include "hotkeys/keys.h"

const COLORREF DefaultTickrailColors[ConsoleColorCount] = {
    0xFFBF00,  // on Black: DeepSkyBlue
    0xFFBF00,  // on Navy: DeepSkyBlue
    0x98FB98,  // on Green: PaleGreen
    0xDCDCDC,  // on Teal: Gainsboro
    0x507FFF,  // on Maroon: Coral
    0xFFFFFF,  // on Purple: White
    0x000000,  // on Olive: Black
    0x4F4F2F,  // on Silver: DarkSlateGray
    0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000,  // Gray to Fuchsia: Black
    0x008CFF,  // on Yellow: DarkOrange
    0xA09E5F,  // on White: CadetBlue
};

const LPCWSTR HotkeyModeNames[HotkeyModeCount] = {
    L"Enable/Disable",
    L"Top/Bottom/Disable",
    L"Top/Bottom/Left/Disable",
    L"Top/Bottom/Left/Right/Disable",
    L"Top/Bottom",
    L"Top/Bottom/Left",
    L"Top/Bottom/Left/Right",
    L"Top/Left/Disable",
    L"Top/Left",
    L"Enable",
    L"Disable",
    L"Top",
    L"Bottom",
    L"Left",
    L"Right",
    L"Left/Right/Disable",
    L"Left/Right",
    L"ColorKey/Alpha",
};

// The static start values are the defaults, so the record is sound even
// before the first reset.
SettingsRecord Settings = {
    {DefaultHotkey, 0, 0, 0, 0},
    {DefaultHotkeyMode, 0, 0, 0, 0},
    0,
    DefaultBackgroundColor,
    DefaultHashColor,
    DefaultAlpha,
    DefaultPenWidth,
    DefaultPenWidth,
    PositionTop,
    0,
    {0xFFBF00, 0xFFBF00, 0x98FB98, 0xDCDCDC, 0x507FFF, 0xFFFFFF, 0x000000, 0x4F4F2F, 0, 0, 0, 0,
     0, 0, 0x008CFF, 0xA09E5F},
    0,
    0,
    DefaultAltColor,
    DefaultAltColor,
    DefaultHookList,
    {},
    {},
    1,
    0,
};

int ResetSettingsToDefaults(void) {
    for (int slot = 0; slot < HotkeySlots; slot++) {
        Settings.hotkeys[slot] = 0;
        Settings.hotkeyModes[slot] = 0;
    }
    Settings.hotkeys[0] = DefaultHotkey;
    Settings.hotkeyModes[0] = DefaultHotkeyMode;
    Settings.transparencyMode = 0;
    Settings.backgroundColor = DefaultBackgroundColor;
    Settings.hashColor = DefaultHashColor;
    Settings.alpha = DefaultAlpha;
    Settings.penWidth = DefaultPenWidth;
    Settings.penWidth2 = DefaultPenWidth;
    Settings.position = PositionTop;
    Settings.hiddenAtStartup = 0;
    for (int i = 0; i < ConsoleColorCount; i++) Settings.tickrailColors[i] = DefaultTickrailColors[i];
    Settings.altColumnsCount = 0;
    Settings.altRowsCount = 0;
    Settings.altColumnsColor = DefaultAltColor;
    Settings.altRowsColor = DefaultAltColor;
    Settings.hookList = DefaultHookList;
    Settings.rowOffset = 0;
    return 0;
}

bool IsSupportedHotkey(int code) {
    if (code <= 0) return false;
    return FindKeyCell(code, nullptr, nullptr);
}

unsigned CompactHotkeys(void) {
    int* keys = Settings.hotkeys;
    DWORD* modes = Settings.hotkeyModes;
    unsigned changes = 0;
    for (int i = 0; i < HotkeySlots - 1; i++) {
        if (keys[i] == 0) continue;
        for (int j = i + 1; j < HotkeySlots; j++) {
            if (keys[j] == keys[i]) {
                keys[j] = 0;
                modes[j] = 0;
                changes++;
            }
        }
    }
    for (int i = 0; i < HotkeySlots - 1; i++) {
        if (keys[i] != 0) continue;
        for (int k = i + 1; k < HotkeySlots; k++) {
            if (keys[k] != 0) {
                keys[i] = keys[k];
                modes[i] = modes[k];
                keys[k] = 0;
                modes[k] = 0;
                changes++;
                break;
            }
        }
    }
    return changes;
}
