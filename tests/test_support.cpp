#include "test_support.h"

#include <cstring>

void PluginTest::SetUp() {
    sim::Reset();
    std::memset(&PluginState, 0, sizeof PluginState);
    lstrcpyW(functionList, StartFunctionList);
    ResetSettingsToDefaults();
    Settings.enabled = 1;
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
    DllMain(TestModule, DLL_PROCESS_ATTACH, nullptr);
    GetPluginInfo();
    int result = InitializePlugin();
    loaded = result == 0;
    return result;
}

void PluginTest::MakeShellWindows(int followDelayMs) {
    mainWindow = sim::CreateTestWindow(nullptr, L"TakeCommandMain", L"Take Command", 1000, 700);
    HWND tabs = sim::CreateTestWindow(mainWindow, L"TabStrip", L"", 1000, 650);
    sim::CreateTestWindow(tabs, L"TabPage", L"Another console", 1000, 620);
    tabWindow = sim::CreateTestWindow(tabs, L"TabPage", L"Take Command", 1000, 620);
    sim::SetHwndAnswer(HandleText(mainWindow));
    sim::SetTabFollowsConsoleTitle(tabWindow, followDelayMs);
}

std::wstring HandleText(HWND window) {
    return std::to_wstring(reinterpret_cast<uintptr_t>(window));
}
