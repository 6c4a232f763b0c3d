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

// The settings stored as one value each, in the order the save writes them
// (the tickrail colours go between the two parts). A value outside its
// range, or missing, loads as the field's default; "Pen Width 2" instead
// takes the pen width just loaded, and is stored only when it differs.
struct StoredSetting {
    LPCWSTR name;
    size_t field;  // offset in SettingsRecord
    DWORD low, high;
};

const StoredSetting StoredSettings[] = {
    {L"Hotkey Mode", offsetof(SettingsRecord, hotkeyModes), 0, HotkeyModeCount - 1},
    {L"Transparency Mode", offsetof(SettingsRecord, transparencyMode), 0, 1},
    {L"Background Color", offsetof(SettingsRecord, backgroundColor), 0, MaxColor},
    {L"Hash Color", offsetof(SettingsRecord, hashColor), 0, MaxColor},
    {L"Alpha", offsetof(SettingsRecord, alpha), MinAlpha, MaxAlpha},
    {L"Pen Width", offsetof(SettingsRecord, penWidth), 0, MaxPenWidth},
    {L"Pen Width 2", offsetof(SettingsRecord, penWidth2), 0, MaxPenWidth},
    {L"Position", offsetof(SettingsRecord, position), 0, MaxStoredPosition},
    {L"Hidden at Startup", offsetof(SettingsRecord, hiddenAtStartup), 0, 1},
    // the tickrail colours are written here
    {L"Alt Columns Count", offsetof(SettingsRecord, altColumnsCount), 0, MaxAltMarks},
    {L"Alt Rows Count", offsetof(SettingsRecord, altRowsCount), 0, MaxAltMarks},
    {L"Alt Columns Color", offsetof(SettingsRecord, altColumnsColor), 0, MaxColor},
    {L"Alt Rows Color", offsetof(SettingsRecord, altRowsColor), 0, MaxColor},
    {L"Hook LIST", offsetof(SettingsRecord, hookList), 0, Missing},
};
const size_t StoredSettingCount = sizeof StoredSettings / sizeof StoredSettings[0];
const size_t SettingsBeforeColors = 9;
const size_t PenWidth2Setting = 6;

DWORD& FieldOf(SettingsRecord& record, const StoredSetting& setting) {
    return *reinterpret_cast<DWORD*>(reinterpret_cast<BYTE*>(&record) + setting.field);
}

DWORD ValueOf(const SettingsRecord& record, const StoredSetting& setting) {
    return *reinterpret_cast<const DWORD*>(reinterpret_cast<const BYTE*>(&record) + setting.field);
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

void WriteStoredSettings(SaveState* save, size_t first, size_t end) {
    for (size_t i = first; i < end; i++) {
        const StoredSetting& setting = StoredSettings[i];
        DWORD value = ValueOf(Settings, setting);
        bool write = i != PenWidth2Setting || value != Settings.penWidth;
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
    for (size_t i = 0; i < StoredSettingCount; i++) {
        const StoredSetting& setting = StoredSettings[i];
        DWORD fallback = i == PenWidth2Setting ? loaded.penWidth : ValueOf(DefaultSettings, setting);
        FieldOf(loaded, setting) = ReadInRange(key, setting.name, setting.low, setting.high, fallback);
    }
    faults += ReadMarks(key, L"Alt Column #%u", loaded.altColumnsCount, loaded.altColumns);
    faults += ReadMarks(key, L"Alt Row #%u", loaded.altRowsCount, loaded.altRows);
    if (faults) {
        RegCloseKey(key);
        return faults;
    }

    loaded.rowOffset = 0;
    for (int i = 0; i < ConsoleColorCount; i++) {
        WCHAR name[NameCapacity];
        wsprintfW(name, L"Tickrail Color %02u", i);
        loaded.tickrailColors[i] = ReadInRange(key, name, 0, MaxColor, DefaultTickrailColors[i]);
    }
    for (int slot = 1; slot < HotkeySlots; slot++) {
        WCHAR keyName[NameCapacity], modeName[NameCapacity];
        wsprintfW(keyName, L"Hotkey #%u", slot + 1);
        wsprintfW(modeName, L"Hotkey Mode #%u", slot + 1);
        int code = int(ReadDword(key, keyName));
        DWORD mode = ReadDword(key, modeName);
        bool keep = code > 0 && IsSupportedHotkey(code) && mode < HotkeyModeCount;
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
    WriteStoredSettings(&save, 0, SettingsBeforeColors);
    for (int i = 0; i < ConsoleColorCount; i++) {
        WCHAR name[NameCapacity];
        wsprintfW(name, L"Tickrail Color %02u", i);
        WriteOrDelete(&save, name, Settings.tickrailColors[i] != DefaultTickrailColors[i], Settings.tickrailColors[i]);
    }
    WriteStoredSettings(&save, SettingsBeforeColors, StoredSettingCount);
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
