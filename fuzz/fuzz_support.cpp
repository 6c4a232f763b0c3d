#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "settings/marks.h"
#include "sim/win32.h"

FuzzBytes StartBytes(const uint8_t* data, size_t size) { return {data, size, 0}; }

bool AtEnd(const FuzzBytes& bytes) { return bytes.at >= bytes.size; }

uint8_t TakeByte(FuzzBytes* bytes) { return AtEnd(*bytes) ? 0 : bytes->data[bytes->at++]; }

uint32_t TakeWord(FuzzBytes* bytes) {
    uint32_t word = 0;
    for (int i = 0; i < 4; i++) word |= uint32_t(TakeByte(bytes)) << (8 * i);
    return word;
}

std::wstring TakeText(FuzzBytes* bytes, size_t limit) {
    std::wstring text;
    while (!AtEnd(*bytes) && text.size() < limit) {
        uint8_t byte = TakeByte(bytes);
        if (byte == 0) break;
        if (byte != 0xFF) {
            text += wchar_t(byte);
            continue;
        }
        wchar_t unit = wchar_t(TakeByte(bytes) | TakeByte(bytes) << 8);
        if (unit) text += unit;
    }
    return text;
}

void Require(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

void FreshShell(const wchar_t* version) {
    sim::Reset();
    sim::SetVariable(L"_4ver", version);
}

void LoadPlugin(const wchar_t* version) {
    FreshShell(version);
    DllMain(reinterpret_cast<HINSTANCE>(uintptr_t(0x180000000)), DLL_PROCESS_ATTACH, nullptr);
    GetPluginInfo();
    Require(InitializePlugin() == 0, "the plug-in loads");
    sim::ClearOutput();
}

void UnloadPlugin(void) {
    ShutdownPlugin(0);
    sim::LiveObjects alive = sim::Alive();
    Require(alive.windows == 0 && alive.classes == 0 && alive.timers == 0 && alive.handles == 0 &&
                alive.registryKeys == 0,
            "nothing is left after the unload");
    Require(sim::LiveGdiObjects() == 0 && sim::LiveDeviceContexts() == 0, "no GDI object is left");
}

namespace {

bool SoundMarks(const DWORD* marks, DWORD count) {
    if (count > DWORD(MaxAltMarks)) return false;
    for (DWORD i = 0; i < count; i++)
        if (!IsStorableMark(marks[i])) return false;
    return true;
}

}  // namespace

void RequireSoundSettings(void) {
    const SettingsRecord& s = Settings;
    for (int slot = 0; slot < HotkeySlots; slot++) {
        Require(s.hotkeys[slot] == 0 || IsSupportedHotkey(s.hotkeys[slot]), "every hotkey is 0 or supported");
        Require(s.hotkeyModes[slot] < HotkeyModeCount, "every hotkey mode is 0-17");
    }
    Require(s.transparencyMode <= 1 && s.hiddenAtStartup <= 1 && s.enabled <= 1, "flags are 0 or 1");
    Require(s.alpha >= MinAlpha && s.alpha <= MaxAlpha, "alpha is 64-255");
    Require(s.penWidth <= MaxPenWidth && s.penWidth2 <= MaxPenWidth, "widths are 0-3");
    Require(s.position <= MaxPosition && s.rowOffset <= MaxRowOffset, "position 0-4, offset 0-5");
    bool colours = s.backgroundColor <= MaxColor && s.hashColor <= MaxColor && s.altColumnsColor <= MaxColor &&
                   s.altRowsColor <= MaxColor;
    for (COLORREF c : s.tickrailColors) colours = colours && c <= MaxColor;
    Require(colours, "every colour is at most 0xFFFFFF");
    Require(SoundMarks(s.altColumns, s.altColumnsCount) && SoundMarks(s.altRows, s.altRowsCount),
            "at most 16 marks, each one a parser could make");
}

bool SameSettings(const SettingsRecord& a, const SettingsRecord& b, bool marksAside) {
    SettingsRecord x = a, y = b;
    if (marksAside) {
        x.altColumnsCount = y.altColumnsCount = x.altRowsCount = y.altRowsCount = 0;
        x.altColumnsColor = y.altColumnsColor = x.altRowsColor = y.altRowsColor = 0;
        std::memset(x.altColumns, 0, sizeof x.altColumns);
        std::memset(y.altColumns, 0, sizeof y.altColumns);
        std::memset(x.altRows, 0, sizeof x.altRows);
        std::memset(y.altRows, 0, sizeof y.altRows);
    }
    return std::memcmp(&x, &y, sizeof x) == 0;
}
