#include "settings.h"

#include "hotkeys/keys.h"

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

SettingsRecord Settings = DefaultSettings;

int ResetSettingsToDefaults(void) {
    // The reset leaves the visibility and the mark lists' entries alone.
    SettingsRecord kept = Settings;
    Settings = DefaultSettings;
    Settings.enabled = kept.enabled;
    for (int i = 0; i < MaxAltMarks; i++) {
        Settings.altColumns[i] = kept.altColumns[i];
        Settings.altRows[i] = kept.altRows[i];
    }
    return 0;
}

// The tables' cells of -1 and -2 are no hotkeys.
bool IsSupportedHotkey(int code) { return code > 0 && FindKeyCell(code, nullptr, nullptr); }

unsigned CompactHotkeys(void) {
    int* keys = Settings.hotkeys;
    DWORD* modes = Settings.hotkeyModes;
    unsigned changes = 0;
    for (int i = 0; i < HotkeySlots; i++) {
        if (keys[i] == 0) continue;
        for (int j = i + 1; j < HotkeySlots; j++) {
            if (keys[j] == keys[i]) {
                keys[j] = 0;
                modes[j] = 0;
                changes++;
            }
        }
    }
    for (int i = 0; i < HotkeySlots; i++) {
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
