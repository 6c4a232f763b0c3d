// The registry load over a key that holds anything: values of any name,
// type and size. A taken load leaves sound settings, a refused one leaves
// the defaults, and every key is closed.
#include "fuzz_support.h"

#include "expected_texts.h"

#include <vector>

#include "sim/win32.h"

namespace {

// The names the load reads, so that most values land where it looks.
const wchar_t* const ValueNames[] = {
    L"Hotkey", L"Hotkey Mode", L"Transparency Mode", L"Background Color", L"Hash Color", L"Alpha",
    L"Pen Width", L"Pen Width 2", L"Position", L"Hidden at Startup", L"Alt Columns Count", L"Alt Rows Count",
    L"Alt Columns Color", L"Alt Rows Color", L"Hook LIST", L"Alt Column #1", L"Alt Column #2", L"Alt Column #16",
    L"Alt Row #1", L"Alt Row #3", L"Tickrail Color 00", L"Tickrail Color 07", L"Tickrail Color 15",
    L"Hotkey #2", L"Hotkey Mode #2", L"Hotkey #5", L"Hotkey Mode #5",
};
const size_t ValueNameCount = sizeof ValueNames / sizeof ValueNames[0];

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzBytes bytes = StartBytes(data, size);
    FreshShell();
    PluginState.useKeyTableV24 = TakeByte(&bytes) & 1;
    while (!AtEnd(bytes)) {
        uint8_t pick = TakeByte(&bytes);
        std::wstring name = pick < 2 * ValueNameCount ? ValueNames[pick % ValueNameCount] : TakeText(&bytes, 40);
        uint8_t kind = TakeByte(&bytes);
        DWORD type = kind < 0xC0 ? REG_DWORD : kind & 7;
        size_t length = kind < 0xC0 ? 4 : kind & 0x18 ? (kind >> 3 & 3) * 3 : 0;
        std::vector<BYTE> value;
        for (size_t i = 0; i < length; i++) value.push_back(TakeByte(&bytes));
        sim::RegistrySetValue(HKEY_CURRENT_USER, SettingsKey, name, type, value);
    }
    ResetSettingsToDefaults();
    SettingsRecord defaults = Settings;
    if (LoadSettingsFromRegistry(HKEY_CURRENT_USER) != 0)
        Require(SameSettings(defaults, Settings, false), "a refused load leaves the defaults");
    RequireSoundSettings();
    Require(sim::OpenRegistryKeys() == 0, "every key is closed");
    return 0;
}
