// The one settings record, its defaults and the hotkey slot rules.
#pragma once

#include "platform.h"

const int HotkeySlots = 5;
const int MaxAltMarks = 16;
const int ConsoleColorCount = 16;
const DWORD HotkeyModeCount = 18;  // modes 0-17
const DWORD MaxColor = 0xFFFFFF;

// Defaults and ranges of the settings, shared by the reset, the registry
// load and the command.
const int DefaultHotkey = 0x10088;  // Shift-F12
const DWORD DefaultHotkeyMode = 1;
const COLORREF DefaultBackgroundColor = 0xE6E0B0;  // PowderBlue
const COLORREF DefaultHashColor = 0x000000;        // Black
const DWORD DefaultAlpha = 128;
const DWORD DefaultPenWidth = 1;
const COLORREF DefaultAltColor = 0xFFFFFF;  // White
const DWORD DefaultHookList = 1;
const DWORD MinAlpha = 64;
const DWORD MaxAlpha = 255;
const DWORD MaxPenWidth = 3;
const DWORD MaxRowOffset = 5;
const DWORD MaxStoredPosition = 3;  // the registry takes the named edges only
const DWORD MaxPosition = 4;        // the command also takes the unnamed 4

enum Position { PositionTop = 0, PositionBottom = 1, PositionLeft = 2, PositionRight = 3 };

struct SettingsRecord {
    int hotkeys[HotkeySlots];  // HostKeyCode per slot; 0 is no key
    DWORD hotkeyModes[HotkeySlots];
    DWORD transparencyMode;  // 0 colour key, 1 alpha
    COLORREF backgroundColor;
    COLORREF hashColor;
    DWORD alpha;
    DWORD penWidth;
    DWORD penWidth2;
    DWORD position;
    DWORD hiddenAtStartup;
    COLORREF tickrailColors[ConsoleColorCount];
    DWORD altColumnsCount;
    DWORD altRowsCount;
    COLORREF altColumnsColor;
    COLORREF altRowsColor;
    DWORD hookList;
    DWORD altColumns[MaxAltMarks];
    DWORD altRows[MaxAltMarks];
    DWORD enabled;
    DWORD rowOffset;
};

extern SettingsRecord Settings;

// The settings of a freshly loaded library, and what the reset restores;
// every field not named here starts at zero.
constexpr SettingsRecord MakeDefaultSettings() {
    SettingsRecord d = {};
    d.hotkeys[0] = DefaultHotkey;
    d.hotkeyModes[0] = DefaultHotkeyMode;
    d.transparencyMode = 0;  // colour key
    d.backgroundColor = DefaultBackgroundColor;
    d.hashColor = DefaultHashColor;
    d.alpha = DefaultAlpha;
    d.penWidth = DefaultPenWidth;
    d.penWidth2 = DefaultPenWidth;
    d.position = PositionTop;
    d.hiddenAtStartup = 0;
    // The mark colour for each console background, from Black to White.
    const COLORREF tickrailColors[ConsoleColorCount] = {
        0xFFBF00, 0xFFBF00, 0x98FB98, 0xDCDCDC,  // DeepSkyBlue (Black, Navy), PaleGreen, Gainsboro
        0x507FFF, 0xFFFFFF, 0x000000, 0x4F4F2F,  // Coral, White, Black, DarkSlateGray (Silver)
        0x000000, 0x000000, 0x000000, 0x000000,  // Black for Gray to Fuchsia
        0x000000, 0x000000, 0x008CFF, 0xA09E5F,  // DarkOrange (Yellow), CadetBlue (White)
    };
    for (int i = 0; i < ConsoleColorCount; i++) d.tickrailColors[i] = tickrailColors[i];
    d.altColumnsCount = 0;
    d.altRowsCount = 0;
    d.altColumnsColor = DefaultAltColor;
    d.altRowsColor = DefaultAltColor;
    d.hookList = DefaultHookList;
    d.enabled = 1;
    d.rowOffset = 0;
    return d;
}
inline constexpr SettingsRecord DefaultSettings = MakeDefaultSettings();
inline constexpr const COLORREF* DefaultTickrailColors = DefaultSettings.tickrailColors;
extern const LPCWSTR HotkeyModeNames[HotkeyModeCount];

int ResetSettingsToDefaults(void);
bool IsSupportedHotkey(int code);
unsigned CompactHotkeys(void);

// Registry form of the settings, under SettingsKeyPath of HKCU or HKLM.
extern const WCHAR SettingsKeyPath[];
int LoadSettingsFromRegistry(HKEY root);
LSTATUS SaveSettingsToRegistry(HKEY root);
// -1 leaves a value as it is; always works on HKCU.
LSTATUS SaveStartupSettings(int hiddenAtStartup, int hookList);
