// Keystroke records with any code, name and modifier state, under either
// key table: a key is swallowed exactly when a hotkey slot holds it, a key
// that is not swallowed reaches the shell unchanged, and the settings stay
// sound.
#include "fuzz_support.h"

#include <cstring>

#include "hotkeys/keys.h"
#include "sim/win32.h"

namespace {

// The code the handler compares with the slots, computed from the record
// and the modifier state on its own.
int EffectiveCode(const KeyRecord& record, bool shift, bool ctrl, bool alt) {
    int code = record.keyCode;
    if (PluginState.useKeyTableV24 && code == 0 && record.keyName) code = ParseHotkeyName(record.keyName);
    if (ctrl && shift && !alt) code |= CtrlShiftFlag;
    else if (ctrl && alt && !shift) code |= CtrlAltFlag;
    else if (ctrl && alt && shift && PluginState.useKeyTableV24) code |= CtrlAltShiftFlag;
    return code;
}

bool HeldBySlot(int code) {
    for (int slot = 0; slot < HotkeySlots; slot++)
        if (Settings.hotkeys[slot] == code) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzBytes bytes = StartBytes(data, size);
    LoadPlugin(TakeByte(&bytes) & 1 ? L"24.00" : L"23.01");
    for (int slot = 0; slot < HotkeySlots; slot++) {
        int code = int(TakeWord(&bytes));
        if (IsSupportedHotkey(code)) Settings.hotkeys[slot] = code;
        Settings.hotkeyModes[slot] = TakeByte(&bytes) % HotkeyModeCount;
    }
    while (!AtEnd(bytes)) {
        uint8_t flags = TakeByte(&bytes);
        bool shift = flags & 1, ctrl = flags & 2, alt = flags & 4;
        sim::SetKeyDown(VK_SHIFT, shift);
        sim::SetKeyDown(VK_CONTROL, ctrl);
        sim::SetKeyDown(VK_MENU, alt);
        KeyRecord record;
        std::memset(&record, 0, sizeof record);
        record.keyCode = int(TakeWord(&bytes));
        int hostField = 0;
        if (flags & 8) record.hostPointer = &hostField;
        std::wstring name;
        if (flags & 16) {
            name = TakeText(&bytes, 64);
            record.keyName = &name[0];
        }
        std::wstring nameBefore = name;
        int codeBefore = record.keyCode;
        int code = EffectiveCode(record, shift, ctrl, alt);

        Require(key(&record) == 0, "key gives 0");
        bool swallowed = code != 0 && HeldBySlot(code);
        if (swallowed) {
            Require(record.keyCode == 0, "a hotkey is swallowed");
            if (PluginState.useKeyTableV24 && record.keyName) Require(name[0] == 0, "its name is swallowed too");
        } else {
            Require(record.keyCode == codeBefore && name == nameBefore, "any other key reaches the shell unchanged");
        }
        RequireSoundSettings();
        sim::RunFor(100);
    }
    UnloadPlugin();
    return 0;
}
