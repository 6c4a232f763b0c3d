// The second half of the command: restoring defaults or saved settings, the
// settings report, and the registry writes with their messages.
#include "command.h"
#include "hotkeys/keys.h"
#include "plugin/plugin.h"
#include "settings/colors.h"
#include "settings/marks.h"
#include "settings/settings.h"

namespace {

const int RegistryWriteFailed = 2;

const LPCWSTR TransparencyModeNames[] = {L"Color key", L"Alpha"};
// By the position the settings hold: 0 to 4, the last without a name.
const LPCWSTR PositionNames[MaxPosition + 1] = {L"Top", L"Bottom", L"Left", L"Right", L""};
const LPCWSTR OrdinalSuffixes[] = {L"th", L"st", L"nd", L"rd"};

WCHAR reportText[TextCapacity];

LPCWSTR YesNo(DWORD value) { return value ? L"Yes" : L"No"; }
LPCWSTR RootName(HKEY root) { return root == HKEY_LOCAL_MACHINE ? L"HKLM" : L"HKCU"; }

// "2nd", "11th", "21st": the ordinal of a repeat distance.
void FormatOrdinal(DWORD n, LPWSTR out) {
    DWORD lastTwo = n % 100, last = n % 10;
    LPCWSTR suffix = (lastTwo >= 10 && lastTwo <= 19) || last > 3 ? OrdinalSuffixes[0] : OrdinalSuffixes[last];
    wsprintfW(out, L"%u%s", n, suffix);
}

// A colour line: the name (or #rrggbb) and the red, green and blue values.
void PrintColorLine(LPCWSTR format, COLORREF color) {
    Printf(format, ColorRefToColorName(color), color & 0xFF, color >> 8 & 0xFF, color >> 16 & 0xFF);
}

void PrintMarksLine(LPCWSTR label, COLORREF color, const DWORD* marks, DWORD count, LPCWSTR repeatFormat) {
    Printf(label, ColorRefToColorName(color));
    if (!(marks[0] & RepeatMarkFlag)) QPuts(L"at ");
    for (DWORD i = 0; i < count; i++) {
        LPCWSTR separator = i ? L", " : L"";
        if (marks[i] & RepeatMarkFlag) {
            WCHAR ordinal[64];
            FormatOrdinal(marks[i] & ~RepeatMarkFlag, ordinal);
            Printf(repeatFormat, separator, ordinal);
        } else {
            Printf(L"%s%u", separator, marks[i]);
        }
    }
    CrLf();
}

int ReportSaveFailure(LSTATUS status, LPCWSTR format, LPCWSTR rootName) {
    FormatSystemError(DWORD(status), reportText);
    CrLf();
    PrintError(format, rootName, SettingsKeyPath, reportText);
    return RegistryWriteFailed;
}

}  // namespace

void RestoreSettings(const PendingChangesRecord& pending) {
    if (pending.restoreDefaults) {
        ResetSettingsToDefaults();
        if (!pending.quiet) Printf(L"Default plugin settings restored.\r\n");
    } else if (pending.restoreFromRegistry) {
        HKEY root = HKEY_CURRENT_USER;
        int result = LoadSettingsFromRegistry(root);
        if (result != 0) {
            root = HKEY_LOCAL_MACHINE;
            result = LoadSettingsFromRegistry(root);
        }
        if (pending.quiet) return;
        if (result == 0) Printf(L"Settings restored from the registry (%s\\%s).\r\n", RootName(root), SettingsKeyPath);
        else Printf(L"Settings not found in the registry.\r\n");
    }
}

void PrintSettingsReport(const PendingChangesRecord& pending) {
    Printf(L"\r\n%s v%u.%u.%u options:\r\n\n", PLUGIN_NAME, PluginMajorVersion, PluginMinorVersion, PluginBuild);
    for (int slot = 0; slot < HotkeySlots; slot++) {
        if (slot > 0 && Settings.hotkeys[slot] == 0) continue;
        HotkeyToText(Settings.hotkeys[slot], reportText);
        DWORD mode = Settings.hotkeyModes[slot];
        Printf(L"    Tickrail hotkey #%u  . . . . . /K%u: %s\r\n", slot + 1, slot + 1, reportText);
        Printf(L"    Hotkey mode  #%u  . . . . . /M%u: %u \t\t(%s)\r\n", slot + 1, slot + 1, mode, HotkeyModeNames[mode]);
    }
    DWORD transparency = Settings.transparencyMode;
    Printf(L"    Transparency mode  . . . . /X : %u \t\t(%s)\r\n", transparency,
           TransparencyModeNames[transparency]);
    if (transparency) {
        PrintColorLine(L"    Background color . . . . . /B : %s \t(%u,%u,%u)\r\n", Settings.backgroundColor);
        PrintColorLine(L"    Hash marks color . . . . . /H : %s \t(%u,%u,%u)\r\n", Settings.hashColor);
        Printf(L"    Tickrail alpha  . . . . . . . /A : %u\r\n", Settings.alpha);
    } else {
        PrintColorLine(L"    Tickrail color  . . . . . . . /C : %s \t(%u,%u,%u)\r\n",
                       Settings.tickrailColors[pending.consoleBackground]);
    }
    if (Settings.penWidth == Settings.penWidth2)
        Printf(L"    Hash marks width . . . . . /W : %u\r\n", Settings.penWidth);
    else
        Printf(L"    Hash marks width . . . . . /W : %u, %u\r\n", Settings.penWidth, Settings.penWidth2);
    if (Settings.altColumnsCount)
        PrintMarksLine(L"    Alt. color columns . . . . /I : %s \t", Settings.altColumnsColor, Settings.altColumns,
                       Settings.altColumnsCount, L"%severy %s column");
    if (Settings.altRowsCount)
        PrintMarksLine(L"    Alt. color rows  . . . . . /J : %s \t", Settings.altRowsColor, Settings.altRows,
                       Settings.altRowsCount, L"%severy %s row");
    Printf(L"    Tickrail position . . . . . . /P : %u \t\t(%s)\r\n", Settings.position,
           PositionNames[Settings.position]);
    Printf(L"    Currently enabled  . . . . /E : %u \t\t(%s)\r\n", Settings.enabled ? 1 : 0, YesNo(Settings.enabled));
    Printf(L"    Hidden at startup  . . . . /Z : %u *\t\t(%s)\r\n", Settings.hiddenAtStartup,
           YesNo(Settings.hiddenAtStartup));
    Printf(L"    Intercept LIST . . . . . . /U : %u *\t\t(%s)\r\n", Settings.hookList, YesNo(Settings.hookList));
    CrLf();
    Printf(L"    * These settings take effect the next time the plugin is loaded.\r\n");
}

int WriteToRegistry(const PendingChangesRecord& pending) {
    if (pending.saveTarget != SaveNowhere) {
        HKEY root = pending.saveTarget == SaveToMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
        LSTATUS status = SaveSettingsToRegistry(root);
        if (status != ERROR_SUCCESS)
            return ReportSaveFailure(status, L"Error saving settings to the registry (%s\\%s) :\r\n%s\r\n", RootName(root));
        if (!pending.quiet)
            Printf(L"\r\nSettings saved to the registry (%s\\%s).\r\n", RootName(root), SettingsKeyPath);
        return 0;
    }
    if (pending.hiddenAtStartup != -1 || pending.hookList != -1) {
        LSTATUS status = SaveStartupSettings(pending.hiddenAtStartup, pending.hookList);
        if (status != ERROR_SUCCESS)
            return ReportSaveFailure(status, L"Error saving restart options to the registry (%s\\%s) :\r\n%s\r\n",
                                     RootName(HKEY_CURRENT_USER));
        if (!pending.quiet) Printf(L"\r\nStartup settings saved to the registry (HKCU\\%s).\r\n", SettingsKeyPath);
    }
    return 0;
}
