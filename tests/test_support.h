// Shared set-up for the plug-in's tests: a fresh simulated platform and a
// plug-in whose global records are as the loader leaves them.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "overlay/overlay.h"
#include "plugin/plugin.h"
#include "settings/settings.h"

class PluginTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Loads the plug-in as the shell does: entry routine, information
    // record, start-up. Returns what InitializePlugin returned.
    int Load();
    // Shuts a loaded plug-in down, as the shell unloads it.
    void Unload();
    // A fresh start for the next case of a table: unloads, and sets up anew
    // (with whatever the fixture's SetUp does).
    void Reload();
    // A shell main window with a tab window inside it that takes over the
    // console's title after `followDelayMs` (never when negative).
    void MakeShellWindows(int followDelayMs = 20);

    HWND mainWindow = nullptr;
    HWND tabWindow = nullptr;
    bool loaded = false;
};

const HINSTANCE TestModule = reinterpret_cast<HINSTANCE>(uintptr_t(0x180000000));
const WCHAR StartFunctionList[] = L"tickrail,list,*key";

std::wstring HandleText(HWND window);
