// The TICKRAIL command: its arguments, options, report and registry actions.
#pragma once

#include "platform.h"

const int MaxArguments = 1024;
const int MaxArgumentLength = 8192;

// The arguments of the last split, upper-cased; read by the command and by
// the LIST interception.
struct ArgumentTableRecord {
    int count;
    LPWSTR args[MaxArguments];
    int lengths[MaxArguments];
    WCHAR buffer[MaxArgumentLength];
};

extern ArgumentTableRecord ArgumentTable;

int SplitArguments(LPCWSTR tail);

enum SaveTarget { SaveNowhere = 0, SaveToUser = 1, SaveToMachine = 2 };

// The options of one run of the command; -1 in a setting field means the
// option was not given.
struct PendingChangesRecord {
    int hotkeys[5];
    int hotkeyModes[5];
    int backgroundColor;
    int hashColor;
    int alpha;
    int penWidth, penWidth2;
    int position;
    int rowOffset;
    int enabled;
    int transparencyMode;
    int hiddenAtStartup;
    int hookList;
    int tickrailColors[16];
    bool quiet;
    bool restoreDefaults;
    bool restoreFromRegistry;
    int saveTarget;
    bool listHotkeys;
    bool repaintNeeded;
    int consoleBackground;  // the console's background colour index
};

// The settings report and the registry actions of the command.
void RestoreSettings(const PendingChangesRecord& pending);
void PrintSettingsReport(const PendingChangesRecord& pending);
// Returns the command's result: 0, or 2 when a registry write failed.
int WriteToRegistry(const PendingChangesRecord& pending);
