// The TICKRAIL command with any tail: a result the command can give, a
// message for every failure and nothing changed by one (but the marks that
// /I or /J wrote first), sound settings, whatever /S wrote loads back, and
// the paints that follow leave no GDI object behind.
#include "fuzz_support.h"

#include "expected_texts.h"

#include "sim/win32.h"

namespace {

// What a load of a full save gives back: the record as saved, but for
// what the registry form leaves out or the load repairs.
SettingsRecord AsLoadedBack(const SettingsRecord& saved) {
    SettingsRecord expected = saved;
    if (expected.position > MaxStoredPosition) expected.position = PositionTop;
    expected.rowOffset = 0;
    for (int slot = 1; slot < HotkeySlots; slot++)
        if (expected.hotkeys[slot] == 0) expected.hotkeyModes[slot] = 0;
    for (DWORD i = expected.altColumnsCount; i < DWORD(MaxAltMarks); i++) expected.altColumns[i] = 0;
    for (DWORD i = expected.altRowsCount; i < DWORD(MaxAltMarks); i++) expected.altRows[i] = 0;
    return expected;
}

void RequireSaveLoadsBack(HKEY root) {
    DWORD alpha;
    if (!sim::RegistryGetDword(root, SettingsKey, L"Alpha", &alpha)) return;  // no full save there
    SettingsRecord expected = AsLoadedBack(Settings);
    for (DWORD i = Settings.altColumnsCount; i < DWORD(MaxAltMarks); i++) Settings.altColumns[i] = 0;
    for (DWORD i = Settings.altRowsCount; i < DWORD(MaxAltMarks); i++) Settings.altRows[i] = 0;
    Require(LoadSettingsFromRegistry(root) == 0, "what /S saved loads");
    Require(SameSettings(expected, Settings, false), "what /S saved loads back unchanged");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzBytes bytes = StartBytes(data, size);
    LoadPlugin();
    std::wstring tail = TakeText(&bytes, 9000);
    SettingsRecord before = Settings;

    int result = tickrail(&tail[0]);
    Require(result == 0 || result == 1 || result == 2, "the result is 0, 1 or 2");
    // A split that overflows leaves no arguments, and the command goes on
    // as for an empty tail after its message.
    bool overflow = sim::StdErr().rfind(L"Tickrail plugin: Buffer overflow", 0) == 0;
    Require(result == 0 ? sim::StdErr().empty() || overflow : !sim::StdErr().empty(),
            "a failure writes a message, a success none but the overflow's");
    if (result == 1) Require(SameSettings(before, Settings, true), "a failed command changes only the marks");
    RequireSoundSettings();
    if (result == 0) {
        SettingsRecord after = Settings;
        RequireSaveLoadsBack(HKEY_CURRENT_USER);
        Settings = after;
        RequireSaveLoadsBack(HKEY_LOCAL_MACHINE);
        Settings = after;
    }

    sim::RunFor(300);  // the posted paints and a few ticks
    Require(sim::LiveGdiObjects() == 0 && sim::LiveDeviceContexts() == 0, "a paint leaves no GDI object");
    UnloadPlugin();
    return 0;
}
