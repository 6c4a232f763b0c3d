#include "test_support.h"

#include <cstring>
#include <cwctype>

void PluginTest::SetUp() {
    ResetPlatform();
    std::memset(&PluginState, 0, sizeof PluginState);
    lstrcpyW(functionList, StartFunctionList);
    Settings = DefaultSettings;
}

void PluginTest::TearDown() { Unload(); }

void PluginTest::Unload() {
    if (loaded) ShutdownPlugin(0);
    loaded = false;
}

void PluginTest::Reload() {
    TearDown();
    SetUp();
}

int PluginTest::Load() {
    DllMain(PluginModule(), DLL_PROCESS_ATTACH, nullptr);
    GetPluginInfo();
    int result = InitializePlugin();
    loaded = result == 0;
    return result;
}

void PluginTest::MakeShellWindows(int followDelayMs) {
    mainWindow = MakeShellWindow(nullptr, L"TakeCommandMain", L"Take Command", 1000, 700);
    HWND tabs = MakeShellWindow(mainWindow, L"TabStrip", L"", 1000, 650);
    MakeShellWindow(tabs, L"TabPage", L"Another console", 1000, 620);
    tabWindow = MakeShellWindow(tabs, L"TabPage", L"Take Command", 1000, 620);
    SetHwndAnswer(mainWindow);
    FollowConsoleTitle(tabWindow, followDelayMs);
}

std::wstring HandleText(HWND window) {
    return std::to_wstring(reinterpret_cast<uintptr_t>(window));
}

bool OverlayClassRegistered() {
    WNDCLASSEXW info = {};
    info.cbSize = sizeof info;
    return GetClassInfoExW(PluginModule(), OverlayClassName().c_str(), &info) != FALSE;
}

bool StoredDword(HKEY root, LPCWSTR name, DWORD* value) {
    HKEY key;
    if (RegOpenKeyExW(root, SettingsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0, size = sizeof *value;
    LSTATUS status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof *value;
}

namespace {

void Store(HKEY root, LPCWSTR name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(root, SettingsKeyPath, 0, nullptr, 0, KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY, nullptr, &key,
                                             nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size));
    RegCloseKey(key);
}

}  // namespace

void StoreDword(HKEY root, LPCWSTR name, DWORD value) { Store(root, name, REG_DWORD, &value, sizeof value); }

void StoreString(HKEY root, LPCWSTR name, LPCWSTR value) {
    Store(root, name, REG_SZ, value, DWORD((lstrlenW(value) + 1) * sizeof(WCHAR)));
}

std::vector<std::wstring> StoredNames(HKEY root) {
    std::vector<std::wstring> names;
    HKEY key;
    if (RegOpenKeyExW(root, SettingsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    for (DWORD i = 0;; i++) {
        WCHAR name[256];
        DWORD size = 256;
        if (RegEnumValueW(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.push_back(name);
    }
    RegCloseKey(key);
    return names;
}

std::wstring SystemText(DWORD error) {
    WCHAR text[TextCapacity] = L"";
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK, nullptr,
                   error, 0, text, TextCapacity, nullptr);
    std::wstring trimmed = text;
    while (!trimmed.empty() && iswspace(wint_t(trimmed.back()))) trimmed.pop_back();
    return trimmed;
}

bool SettingsKeyExists(HKEY root) {
    HKEY key;
    if (RegOpenKeyExW(root, SettingsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}
