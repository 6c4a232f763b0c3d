// The registry form of the settings: every value a REG_DWORD under one key,
// in the current user's or the machine's hive.
#include <cstddef>

#include "marks.h"
#include "plugin/plugin.h"
#include "settings.h"

const WCHAR SettingsKeyPath[] = L"Software\\OrvexPlugins\\Tickrail";

namespace {

const REGSAM ReadAccess = KEY_READ;
const REGSAM WriteAccess = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
const DWORD Missing = 0xFFFFFFFF;
const int NameCapacity = 64;

// What a stored value does beside being read back as it was written.
enum StoredRule {
    AsIs,
    // "Pen Width 2": missing or out of range, it takes the pen width just
    // loaded; saved only when it differs from the pen width.
    FollowsPenWidth,
    // One value per console background ("Tickrail Color 00" to "15"), each
    // defaulting to that background's colour and saved only when changed.
    PerBackground,
};

// The stored settings after "Hotkey", in the order the save writes them. A
// value outside its range, or missing, loads as its default.
struct StoredSetting {
    LPCWSTR name;
    size_t field;  // offset in SettingsRecord
    DWORD defaultValue;
    DWORD low, high;
    StoredRule rule;
};

#define SETTING(field) offsetof(SettingsRecord, field), DWORD(DefaultSettings.field)

const StoredSetting StoredSettings[] = {
    // name                  field and default                   range
    {L"Hotkey Mode",         SETTING(hotkeyModes[0]),            0, HotkeyModeCount - 1, AsIs},
    {L"Transparency Mode",   SETTING(transparencyMode),          0, 1, AsIs},
    {L"Background Color",    SETTING(backgroundColor),           0, MaxColor, AsIs},
    {L"Hash Color",          SETTING(hashColor),                 0, MaxColor, AsIs},
    {L"Alpha",               SETTING(alpha),                     MinAlpha, MaxAlpha, AsIs},
    {L"Pen Width",           SETTING(penWidth),                  0, MaxPenWidth, AsIs},
    {L"Pen Width 2",         SETTING(penWidth2),                 0, MaxPenWidth, FollowsPenWidth},
    {L"Position",            SETTING(position),                  0, MaxStoredPosition, AsIs},
    {L"Hidden at Startup",   SETTING(hiddenAtStartup),           0, 1, AsIs},
    {L"Tickrail Color %02u", SETTING(tickrailColors[0]),         0, MaxColor, PerBackground},
    {L"Alt Columns Count",   SETTING(altColumnsCount),           0, MaxAltMarks, AsIs},
    {L"Alt Rows Count",      SETTING(altRowsCount),              0, MaxAltMarks, AsIs},
    {L"Alt Columns Color",   SETTING(altColumnsColor),           0, MaxColor, AsIs},
    {L"Alt Rows Color",      SETTING(altRowsColor),              0, MaxColor, AsIs},
    {L"Hook LIST",           SETTING(hookList),                  0, Missing, AsIs},  // any number
};

#undef SETTING

// The field of `setting` in `record`; `index` picks a background's colour.
DWORD& FieldOf(SettingsRecord& record, const StoredSetting& setting, int index = 0) {
    return reinterpret_cast<DWORD*>(reinterpret_cast<BYTE*>(&record) + setting.field)[index];
}

DWORD ValueOf(const SettingsRecord& record, const StoredSetting& setting, int index = 0) {
    return reinterpret_cast<const DWORD*>(reinterpret_cast<const BYTE*>(&record) + setting.field)[index];
}

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

// The writes of one save: the last one that fails gives the result.
struct SaveState {
    HKEY key;
    LSTATUS result;
};

void WriteValue(SaveState* save, LPCWSTR name, DWORD value) {
    LSTATUS status =
        RegSetValueExW(save->key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    if (status != ERROR_SUCCESS) save->result = status;
}

void WriteOrDelete(SaveState* save, LPCWSTR name, bool write, DWORD value) {
    if (write) WriteValue(save, name, value);
    else RegDeleteValueW(save->key, name);  // a value that is not there is fine
}

void WriteStoredSettings(SaveState* save) {
    for (const StoredSetting& setting : StoredSettings) {
        if (setting.rule == PerBackground) {
            for (int i = 0; i < ConsoleColorCount; i++) {
                WCHAR name[NameCapacity];
                wsprintfW(name, setting.name, i);
                DWORD value = ValueOf(Settings, setting, i);
                WriteOrDelete(save, name, value != ValueOf(DefaultSettings, setting, i), value);
            }
            continue;
        }
        DWORD value = ValueOf(Settings, setting);
        bool write = setting.rule != FollowsPenWidth || value != Settings.penWidth;
        WriteOrDelete(save, setting.name, write, value);
    }
}

LSTATUS CreateSettingsKey(HKEY root, HKEY* key) {
    return RegCreateKeyExW(root, SettingsKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, WriteAccess, nullptr, key,
                           nullptr);
}

bool AcceptedHotkey(int code) { return code == 0 || IsSupportedHotkey(code); }

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

    // Read into a copy; the settings take it whole, or not at all.
    SettingsRecord loaded = Settings;
    int faults = 0;
    bool present;
    loaded.hotkeys[0] = int(ReadDword(key, L"Hotkey", &present));
    if (!present || !AcceptedHotkey(loaded.hotkeys[0])) faults++;
    for (const StoredSetting& setting : StoredSettings) {
        if (setting.rule == PerBackground) {
            for (int i = 0; i < ConsoleColorCount; i++) {
                WCHAR name[NameCapacity];
                wsprintfW(name, setting.name, i);
                FieldOf(loaded, setting, i) =
                    ReadInRange(key, name, setting.low, setting.high, ValueOf(DefaultSettings, setting, i));
            }
            continue;
        }
        DWORD fallback = setting.rule == FollowsPenWidth ? loaded.penWidth : setting.defaultValue;
        FieldOf(loaded, setting) = ReadInRange(key, setting.name, setting.low, setting.high, fallback);
    }
    faults += ReadMarks(key, L"Alt Column #%u", loaded.altColumnsCount, loaded.altColumns);
    faults += ReadMarks(key, L"Alt Row #%u", loaded.altRowsCount, loaded.altRows);
    if (faults) {
        RegCloseKey(key);
        return faults;
    }

    loaded.rowOffset = 0;
    for (int slot = 1; slot < HotkeySlots; slot++) {
        WCHAR keyName[NameCapacity], modeName[NameCapacity];
        wsprintfW(keyName, L"Hotkey #%u", slot + 1);
        wsprintfW(modeName, L"Hotkey Mode #%u", slot + 1);
        int code = int(ReadDword(key, keyName));
        DWORD mode = ReadDword(key, modeName);
        bool keep = IsSupportedHotkey(code) && mode < HotkeyModeCount;
        loaded.hotkeys[slot] = keep ? code : 0;
        loaded.hotkeyModes[slot] = keep ? mode : 0;
    }
    RegCloseKey(key);
    Settings = loaded;
    return 0;
}

LSTATUS SaveSettingsToRegistry(HKEY root) {
    SaveState save = {nullptr, ERROR_SUCCESS};
    LSTATUS status = CreateSettingsKey(root, &save.key);
    if (status != ERROR_SUCCESS) return status;
    WriteValue(&save, L"Hotkey", DWORD(Settings.hotkeys[0]));
    WriteStoredSettings(&save);
    for (DWORD n = 1; n <= DWORD(MaxAltMarks); n++) {
        WCHAR name[NameCapacity];
        wsprintfW(name, L"Alt Column #%u", n);
        WriteOrDelete(&save, name, n <= Settings.altColumnsCount, Settings.altColumns[n - 1]);
        wsprintfW(name, L"Alt Row #%u", n);
        WriteOrDelete(&save, name, n <= Settings.altRowsCount, Settings.altRows[n - 1]);
    }
    for (int slot = 1; slot < HotkeySlots; slot++) {
        WCHAR keyName[NameCapacity], modeName[NameCapacity];
        wsprintfW(keyName, L"Hotkey #%u", slot + 1);
        wsprintfW(modeName, L"Hotkey Mode #%u", slot + 1);
        bool used = Settings.hotkeys[slot] != 0;
        WriteOrDelete(&save, keyName, used, DWORD(Settings.hotkeys[slot]));
        WriteOrDelete(&save, modeName, used, Settings.hotkeyModes[slot]);
    }
    RegCloseKey(save.key);
    return save.result;
}

LSTATUS SaveStartupSettings(int hiddenAtStartup, int hookList) {
    SaveState save = {nullptr, ERROR_SUCCESS};
    LSTATUS status = CreateSettingsKey(HKEY_CURRENT_USER, &save.key);
    if (status != ERROR_SUCCESS) return status;
    if (hiddenAtStartup >= 0) WriteValue(&save, L"Hidden at Startup", DWORD(hiddenAtStartup));
    if (hookList >= 0) WriteValue(&save, L"Hook LIST", DWORD(hookList));
    // The key always keeps a hotkey that a load accepts, so that it loads.
    bool present;
    int stored = int(ReadDword(save.key, L"Hotkey", &present));
    if (!present || !AcceptedHotkey(stored)) WriteValue(&save, L"Hotkey", DWORD(Settings.hotkeys[0]));
    RegCloseKey(save.key);
    return save.result;
}
