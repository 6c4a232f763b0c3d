// The registry form of the settings: every value a REG_DWORD under one key,
// in the current user's or the machine's hive.
#include "marks.h"
#include "plugin/plugin.h"
#include "settings.h"

const WCHAR SettingsKeyPath[] = L"Software\\OrvexPlugins\\Tickrail";

namespace {

const REGSAM ReadAccess = KEY_READ;
const REGSAM WriteAccess = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
const DWORD Missing = 0xFFFFFFFF;
const int NameCapacity = 64;

// The value, or Missing when it is absent or not a REG_DWORD.
DWORD ReadDword(HKEY key, LPCWSTR name, bool* present = nullptr) {
    DWORD value = Missing;
    DWORD type = 0;
    DWORD size = sizeof value;
    LSTATUS status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    bool ok = status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value;
    if (present) *present = ok;
    return ok ? value : Missing;
}

DWORD ReadInRange(HKEY key, LPCWSTR name, DWORD low, DWORD high, DWORD fallback) {
    bool present;
    DWORD value = ReadDword(key, name, &present);
    return present && value >= low && value <= high ? value : fallback;
}

struct Writer {
    HKEY key;
    LSTATUS result;

    void Write(LPCWSTR name, DWORD value) {
        LSTATUS status =
            RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
        if (status != ERROR_SUCCESS) result = status;
    }
    void WriteOrDelete(LPCWSTR name, bool write, DWORD value) {
        if (write) Write(name, value);
        else RegDeleteValueW(key, name);  // a value that is not there is fine
    }
};

LSTATUS CreateSettingsKey(HKEY root, HKEY* key) {
    return RegCreateKeyExW(root, SettingsKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, WriteAccess, nullptr, key,
                           nullptr);
}

// Reads "Alt Column #n" or "Alt Row #n" for n up to `count`; returns the
// number of faults (a missing value counts two: missing and not a mark).
int ReadMarks(HKEY key, LPCWSTR format, DWORD count, DWORD* marks) {
    int faults = 0;
    for (DWORD n = 1; n <= count; n++) {
        WCHAR name[NameCapacity];
        wsprintfW(name, format, n);
        bool present;
        DWORD mark = ReadDword(key, name, &present);
        if (!present) faults++;
        if (!IsStorableMark(mark)) faults++;
        marks[n - 1] = mark;
    }
    return faults;
}

}  // namespace

int LoadSettingsFromRegistry(HKEY root) {
    HKEY key;
    if (RegOpenKeyExW(root, SettingsKeyPath, 0, ReadAccess, &key) != ERROR_SUCCESS) return 1;

    int faults = 0;
    bool present;
    int hotkey = int(ReadDword(key, L"Hotkey", &present));
    if (!present || (hotkey != 0 && !IsSupportedHotkey(hotkey))) faults++;

    DWORD hotkeyMode = ReadInRange(key, L"Hotkey Mode", 0, HotkeyModeCount - 1, DefaultHotkeyMode);
    DWORD transparencyMode = ReadInRange(key, L"Transparency Mode", 0, 1, 0);
    DWORD backgroundColor = ReadInRange(key, L"Background Color", 0, MaxColor, DefaultBackgroundColor);
    DWORD hashColor = ReadInRange(key, L"Hash Color", 0, MaxColor, DefaultHashColor);
    DWORD alpha = ReadInRange(key, L"Alpha", MinAlpha, MaxAlpha, DefaultAlpha);
    DWORD penWidth = ReadInRange(key, L"Pen Width", 0, MaxPenWidth, DefaultPenWidth);
    DWORD penWidth2 = ReadInRange(key, L"Pen Width 2", 0, MaxPenWidth, penWidth);
    DWORD position = ReadInRange(key, L"Position", 0, MaxStoredPosition, PositionTop);
    DWORD hiddenAtStartup = ReadInRange(key, L"Hidden at Startup", 0, 1, 0);
    DWORD columnsCount = ReadInRange(key, L"Alt Columns Count", 0, MaxAltMarks, 0);
    DWORD rowsCount = ReadInRange(key, L"Alt Rows Count", 0, MaxAltMarks, 0);
    DWORD altColumnsColor = ReadInRange(key, L"Alt Columns Color", 0, MaxColor, DefaultAltColor);
    DWORD altRowsColor = ReadInRange(key, L"Alt Rows Color", 0, MaxColor, DefaultAltColor);
    DWORD hookList = ReadInRange(key, L"Hook LIST", 0, Missing, DefaultHookList);

    DWORD columns[MaxAltMarks], rows[MaxAltMarks];
    faults += ReadMarks(key, L"Alt Column #%u", columnsCount, columns);
    faults += ReadMarks(key, L"Alt Row #%u", rowsCount, rows);
    if (faults) {
        RegCloseKey(key);
        return faults;
    }

    Settings.hotkeys[0] = hotkey;
    Settings.hotkeyModes[0] = hotkeyMode;
    Settings.transparencyMode = transparencyMode;
    Settings.backgroundColor = backgroundColor;
    Settings.hashColor = hashColor;
    Settings.alpha = alpha;
    Settings.penWidth = penWidth;
    Settings.penWidth2 = penWidth2;
    Settings.position = position;
    Settings.hiddenAtStartup = hiddenAtStartup;
    Settings.altColumnsColor = altColumnsColor;
    Settings.altRowsColor = altRowsColor;
    Settings.hookList = hookList;
    Settings.rowOffset = 0;

    for (int i = 0; i < ConsoleColorCount; i++) {
        WCHAR name[NameCapacity];
        wsprintfW(name, L"Tickrail Color %02u", i);
        Settings.tickrailColors[i] = ReadInRange(key, name, 0, MaxColor, DefaultTickrailColors[i]);
    }
    for (DWORD i = 0; i < columnsCount; i++) Settings.altColumns[i] = columns[i];
    Settings.altColumnsCount = columnsCount;
    for (DWORD i = 0; i < rowsCount; i++) Settings.altRows[i] = rows[i];
    Settings.altRowsCount = rowsCount;

    for (int slot = 1; slot < HotkeySlots; slot++) {
        WCHAR keyName[NameCapacity], modeName[NameCapacity];
        wsprintfW(keyName, L"Hotkey #%u", slot + 1);
        wsprintfW(modeName, L"Hotkey Mode #%u", slot + 1);
        int code = int(ReadDword(key, keyName));
        DWORD mode = ReadDword(key, modeName);
        bool keep = code > 0 && IsSupportedHotkey(code) && mode < HotkeyModeCount;
        Settings.hotkeys[slot] = keep ? code : 0;
        Settings.hotkeyModes[slot] = keep ? mode : 0;
    }
    RegCloseKey(key);
    return 0;
}

LSTATUS SaveSettingsToRegistry(HKEY root) {
    HKEY key;
    LSTATUS status = CreateSettingsKey(root, &key);
    if (status != ERROR_SUCCESS) return status;
    Writer w = {key, ERROR_SUCCESS};
    w.Write(L"Hotkey", DWORD(Settings.hotkeys[0]));
    w.Write(L"Hotkey Mode", Settings.hotkeyModes[0]);
    w.Write(L"Transparency Mode", Settings.transparencyMode);
    w.Write(L"Background Color", Settings.backgroundColor);
    w.Write(L"Hash Color", Settings.hashColor);
    w.Write(L"Alpha", Settings.alpha);
    w.Write(L"Pen Width", Settings.penWidth);
    w.WriteOrDelete(L"Pen Width 2", Settings.penWidth2 != Settings.penWidth, Settings.penWidth2);
    w.Write(L"Position", Settings.position);
    w.Write(L"Hidden at Startup", Settings.hiddenAtStartup);
    for (int i = 0; i < ConsoleColorCount; i++) {
        WCHAR name[NameCapacity];
        wsprintfW(name, L"Tickrail Color %02u", i);
        w.WriteOrDelete(name, Settings.tickrailColors[i] != DefaultTickrailColors[i], Settings.tickrailColors[i]);
    }
    w.Write(L"Alt Columns Count", Settings.altColumnsCount);
    w.Write(L"Alt Rows Count", Settings.altRowsCount);
    w.Write(L"Alt Columns Color", Settings.altColumnsColor);
    w.Write(L"Alt Rows Color", Settings.altRowsColor);
    w.Write(L"Hook LIST", Settings.hookList);
    for (DWORD n = 1; n <= DWORD(MaxAltMarks); n++) {
        WCHAR name[NameCapacity];
        wsprintfW(name, L"Alt Column #%u", n);
        w.WriteOrDelete(name, n <= Settings.altColumnsCount, Settings.altColumns[n - 1]);
        wsprintfW(name, L"Alt Row #%u", n);
        w.WriteOrDelete(name, n <= Settings.altRowsCount, Settings.altRows[n - 1]);
    }
    for (int slot = 1; slot < HotkeySlots; slot++) {
        WCHAR keyName[NameCapacity], modeName[NameCapacity];
        wsprintfW(keyName, L"Hotkey #%u", slot + 1);
        wsprintfW(modeName, L"Hotkey Mode #%u", slot + 1);
        bool used = Settings.hotkeys[slot] != 0;
        w.WriteOrDelete(keyName, used, DWORD(Settings.hotkeys[slot]));
        w.WriteOrDelete(modeName, used, Settings.hotkeyModes[slot]);
    }
    RegCloseKey(key);
    return w.result;
}

LSTATUS SaveStartupSettings(int hiddenAtStartup, int hookList) {
    HKEY key;
    LSTATUS status = CreateSettingsKey(HKEY_CURRENT_USER, &key);
    if (status != ERROR_SUCCESS) return status;
    Writer w = {key, ERROR_SUCCESS};
    if (hiddenAtStartup >= 0) w.Write(L"Hidden at Startup", DWORD(hiddenAtStartup));
    if (hookList >= 0) w.Write(L"Hook LIST", DWORD(hookList));
    // The key always keeps a hotkey that a load accepts, so that it loads.
    bool present;
    int stored = int(ReadDword(key, L"Hotkey", &present));
    if (!present || (stored != 0 && !IsSupportedHotkey(stored))) w.Write(L"Hotkey", DWORD(Settings.hotkeys[0]));
    RegCloseKey(key);
    return w.result;
}
