// Shared set-up for the plug-in's cases: a fresh platform (simulated or
// real) and a plug-in whose global records are as the loader leaves them,
// and what the cases read back through Windows' own functions.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "overlay/overlay.h"
#include "test_platform.h"
#include "windows_seen.h"
#include "plugin/plugin.h"
#include "settings/settings.h"

#define SKIP_UNLESS_MACHINE_WRITABLE()                                                                  \
    if (!MachineSettingsWritable())                                                                     \
    GTEST_SKIP() << "writes the settings under HKLM, which this process may not: run as administrator " \
                    "to include it"

#define SKIP_UNLESS_SAVE_BROKEN(error)                                                               \
    if (!(error))                                                                                   \
    GTEST_SKIP() << "breaks a save by making the settings' parent key volatile, which existed " \
                    "before the run and so is left alone"

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

const WCHAR StartFunctionList[] = L"tickrail,list,*key";

std::wstring HandleText(HWND window);

// Whether the plug-in's window class is registered for its module.
bool OverlayClassRegistered();
// The settings' registry key: values as REG_DWORD or REG_SZ, and the names
// of the values it holds.
bool StoredDword(HKEY root, LPCWSTR name, DWORD* value);
void StoreDword(HKEY root, LPCWSTR name, DWORD value);
void StoreString(HKEY root, LPCWSTR name, LPCWSTR value);
std::vector<std::wstring> StoredNames(HKEY root);
bool SettingsKeyExists(HKEY root);
// The system's text for an error, trimmed as the plug-in trims it.
std::wstring SystemText(DWORD error);
