// LIST with any tail: handed back to the shell, the strip one or three rows
// down, nothing else changed.
#include "fuzz_support.h"

#include "sim/win32.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzBytes bytes = StartBytes(data, size);
    LoadPlugin();
    std::wstring tail = TakeText(&bytes, 9000);
    SettingsRecord before = Settings;
    Require(list(&tail[0]) == int(0xFEDCBA98u), "LIST goes back to the shell");
    Require(Settings.rowOffset == 1 || Settings.rowOffset == 3, "the strip moves one or three rows");
    Settings.rowOffset = before.rowOffset;
    Require(SameSettings(before, Settings, false), "LIST changes nothing else");
    sim::RunFor(200);
    UnloadPlugin();
    return 0;
}
