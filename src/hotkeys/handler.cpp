// The keystroke handler with its hotkey modes, and the LIST interception.
#include <cwchar>

#include "command/command.h"
#include "keys.h"
#include "overlay/overlay.h"
#include "plugin/plugin.h"
#include "settings/settings.h"

namespace {

const int HandBackToShell = int(0xFEDCBA98u);
const DWORD ListRowOffset = 1;
const DWORD ListUnicodeRowOffset = 3;
const SHORT KeyHeld = SHORT(0x8000);

enum HotkeyMode {
    ModeEnableDisable = 0,
    ModeTopBottomLeftRightDisable = 3,
    ModeTopBottomLeftRight = 6,
    ModeTopLeftDisable = 7,
    ModeTopLeft = 8,
    ModeEnable = 9,
    ModeDisable = 10,
    ModeTop = 11,
    ModeRight = 14,
    ModeLeftRightDisable = 15,
    ModeLeftRight = 16,
};

bool Held(int virtualKey) { return (GetAsyncKeyState(virtualKey) & KeyHeld) != 0; }

// The flag of the live Ctrl, Alt and Shift state that the shell's code lacks.
int ModifierFlag(void) {
    bool shift = Held(VK_SHIFT), ctrl = Held(VK_CONTROL), alt = Held(VK_MENU);
    if (ctrl && shift && !alt) return CtrlShiftFlag;
    if (ctrl && alt && !shift) return CtrlAltFlag;
    if (ctrl && alt && shift && PluginState.useKeyTableV24) return CtrlAltShiftFlag;
    return 0;
}

void Show(DWORD position) {
    Settings.enabled = 1;
    Settings.position = position;
}

// Shown at `second` when the strip was at `first`, else at `first`.
void Alternate(DWORD first, DWORD second) {
    Show(Settings.position == first ? second : first);
}

// A call without a key: look for the tab window while the console is
// hidden (unless a tab overlay lives), and put the strip back after LIST.
void HandleCallWithoutKey(void) {
    if (!IsWindowVisible(PluginState.consoleWindow)) MakeTabOverlay();
    Settings.rowOffset = 0;
    RepaintOverlays();
}

}  // namespace

int ApplyHotkeyMode(DWORD mode) {
    if (mode >= HotkeyModeCount) mode = ModeEnableDisable;
    if (mode == ModeEnableDisable) {
        Settings.enabled = !Settings.enabled;
    } else if (mode <= ModeTopBottomLeftRightDisable) {
        DWORD last = mode;
        if (!Settings.enabled) Show(PositionTop);
        else if (Settings.position < last) Settings.position++;
        else Settings.enabled = 0;
    } else if (mode <= ModeTopBottomLeftRight) {
        DWORD last = mode - ModeTopBottomLeftRightDisable;
        Show(Settings.position + 1 > last ? DWORD(PositionTop) : Settings.position + 1);
    } else if (mode == ModeTopLeftDisable) {
        if (Settings.enabled && Settings.position == PositionLeft) Settings.enabled = 0;
        else Alternate(PositionTop, PositionLeft);
    } else if (mode == ModeTopLeft) {
        Alternate(PositionTop, PositionLeft);
    } else if (mode == ModeEnable) {
        Settings.enabled = 1;
    } else if (mode == ModeDisable) {
        Settings.enabled = 0;
    } else if (mode <= ModeRight) {
        Show(mode - ModeTop);
    } else if (mode == ModeLeftRightDisable) {
        if (Settings.enabled && Settings.position == PositionRight) Settings.enabled = 0;
        else Alternate(PositionLeft, PositionRight);
    } else if (mode == ModeLeftRight) {
        Alternate(PositionLeft, PositionRight);
    } else {  // ColorKey/Alpha
        Settings.transparencyMode = Settings.transparencyMode ? 0 : 1;
    }
    RepaintOverlays();
    return 0;
}

extern "C" int WINAPI key(KeyRecord* record) {
    if (!record) return 0;
    int code = record->keyCode;
    if (PluginState.useKeyTableV24 && code == 0 && record->keyName) code = ParseHotkeyName(record->keyName);
    code |= ModifierFlag();

    if (code == 0) {
        if (!record->hostPointer) HandleCallWithoutKey();
        return 0;
    }
    for (int slot = 0; slot < HotkeySlots; slot++) {
        if (Settings.hotkeys[slot] != code) continue;
        ApplyHotkeyMode(Settings.hotkeyModes[slot]);
        record->keyCode = 0;
        if (PluginState.useKeyTableV24 && record->keyName) record->keyName[0] = 0;
        return 0;
    }
    return 0;
}

extern "C" int WINAPI list(LPWSTR commandTail) {
    SplitArguments(commandTail);
    DWORD offset = ListRowOffset;
    for (int i = 0; i < ArgumentTable.count; i++)
        if (wcscmp(ArgumentTable.args[i], L"/U") == 0) offset = ListUnicodeRowOffset;
    Settings.rowOffset = offset;
    RepaintOverlays();
    return HandBackToShell;
}
