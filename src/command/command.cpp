// The TICKRAIL command: reads the options left to right into the pending
// changes, validating each at once, then applies them together.
#include "command.h"

#include <cwchar>

#include "hotkeys/keys.h"
#include "overlay/overlay.h"
#include "plugin/plugin.h"
#include "plugin/text.h"
#include "settings/colors.h"
#include "settings/marks.h"
#include "settings/settings.h"

namespace {

const int Unset = -1;
const int CommandFailed = 1;
// The luminance of a colour, 0 to 10000, weighs its red, green and blue
// as the eye does (the weights add up to 10000).
const DWORD LuminanceRedWeight = 2126;
const DWORD LuminanceGreenWeight = 7152;
const DWORD LuminanceBlueWeight = 722;
const DWORD LuminanceForBlackMarks = 5000;

// The messages of an option whose value is a number in a range.
struct NumberMessages {
    LPCWSTR missing;
    LPCWSTR bad;
    LPCWSTR outOfRange;  // shows the number as read, after the limits if
    bool showsLimits;    // this is set
};

const NumberMessages AlphaMessages = {L"Missing alpha value\r\n", L"Bad alpha value: \"%s\"\r\n",
                                      L"Alpha must be %u - %u: %u\r\n", true};
const NumberMessages ShowMessages = {L"Missing show value\r\n", L"Bad show value: \"%s\"\r\n",
                                     L"Show must be 0 or 1: %u\r\n", false};
const NumberMessages OffsetMessages = {L"Missing offset value\r\n", L"Bad offset value: \"%s\"\r\n",
                                       L"Offset must be 0 - 5: %u\r\n", false};
const NumberMessages PositionMessages = {L"Missing position value\r\n", L"Bad position value: \"%s\"\r\n",
                                         L"Position must be 0 - 4: %u\r\n", false};
const NumberMessages HookListMessages = {L"Missing hook-list value\r\n", L"Bad hook-list value: \"%s\"\r\n",
                                         L"New hook-list value must be 0 or 1: %u\r\n", false};
const NumberMessages TranspModeMessages = {L"Missing transpmode value\r\n", L"Bad transpmode value: \"%s\"\r\n",
                                           L"Transpmode must be 0 or 1: %u\r\n", false};
const NumberMessages StartHiddenMessages = {L"Missing start-hidden value\r\n",
                                            L"Bad start-hidden value: \"%s\"\r\n",
                                            L"New start-hidden value must be 0 or 1: %u\r\n", false};

PendingChangesRecord pending;

// Where the value of /A, /E, /O, /P, /U, /W, /X and /Z starts.
LPCWSTR ValueOf(LPCWSTR arg) {
    LPCWSTR value = arg + 2;
    if (*value == L':' || *value == L'=') value++;
    return value;
}

// A letter that stands for a number ("Y" for 1 and so on) in `letters`,
// indexed by the number; -1 when the first character is none of them.
int LetterValue(LPCWSTR value, LPCWSTR letters) {
    for (int i = 0; letters[i]; i++)
        if (value[0] == letters[i]) return i;
    return -1;
}

// The readers of the options return 0, or -1 after the message.

// Reads a number option into `field`.
int ReadNumber(LPCWSTR arg, LPCWSTR letters, DWORD low, DWORD high, const NumberMessages& messages, int* field) {
    LPCWSTR value = ValueOf(arg);
    if (!*value) return PrintError(messages.missing);
    int letter = letters ? LetterValue(value, letters) : -1;
    if (letter >= 0) {
        *field = letter;
        return 0;
    }
    DWORD number;
    if (ParseUnsignedNumber(value, &number, nullptr) != 0) return PrintError(messages.bad, arg);
    if (number < low || number > high)
        return messages.showsLimits ? PrintError(messages.outOfRange, low, high, number)
                                    : PrintError(messages.outOfRange, number);
    *field = int(number);
    return 0;
}

// The slot of /K or /M (/K3:...), 0 to 4, with `value` where its value
// starts; -1 after the message when neither a slot digit nor a colon
// follows the letter.
int ReadSlot(LPCWSTR arg, LPCWSTR* value) {
    LPCWSTR separator = arg + 2;
    int slot = 0;
    if (*separator >= L'1' && *separator <= L'0' + HotkeySlots) slot = *separator++ - L'1';
    if (*separator != L':' && *separator != L'=')
        return ReportArgumentError(arg, separator, L"Expected colon or digit 1 - %u: \"%s\"\r\n", HotkeySlots, arg);
    *value = separator + 1;
    return slot;
}

int ReadHotkey(LPCWSTR arg) {
    LPCWSTR name;
    int slot = ReadSlot(arg, &name);
    if (slot < 0) return -1;
    // NONE is no key name, so it reads as 0: the empty slot.
    int code = ParseHotkeyName(name);
    if (code == 0 && wcscmp(name, L"NONE") != 0) return PrintError(L"Unknown key name: \"%s\"\r\n", arg);
    if (code == NoKeyCode) return PrintError(L"Invalid hotkey: \"%s\"\r\n", arg);
    if (code == KeyNotAllowed) return PrintError(L"Key not allowed: \"%s\"\r\n", arg);
    pending.hotkeys[slot] = code;
    return 0;
}

int ReadHotkeyMode(LPCWSTR arg) {
    LPCWSTR value;
    int slot = ReadSlot(arg, &value);
    if (slot < 0) return -1;
    if (!*value) return PrintError(L"Missing hotkey mode value\r\n");
    DWORD mode;
    if (ParseUnsignedNumber(value, &mode, nullptr) != 0) return PrintError(L"Bad hotkey mode value: \"%s\"\r\n", arg);
    if (mode >= HotkeyModeCount) return PrintError(L"New hotkey mode must be 0 - %u: %u\r\n", HotkeyModeCount - 1, mode);
    pending.hotkeyModes[slot] = int(mode);
    return 0;
}

int ReadWidths(LPCWSTR arg) {
    LPCWSTR value = ValueOf(arg);
    if (!*value) return PrintError(L"Missing width value\r\n");
    DWORD width;
    LPCWSTR end;
    if (ParseUnsignedNumber(value, &width, &end) != 0) return PrintError(L"Bad width value: \"%s\"\r\n", arg);
    if (width > MaxPenWidth) return PrintError(L"Width must be 0 - %u: %u\r\n", MaxPenWidth, width);
    DWORD width2 = width;
    if (*end == L',' || *end == L';') {
        LPCWSTR second = end + 1;
        if (!*second) return PrintError(L"Missing width2 value\r\n");
        if (ParseUnsignedNumber(second, &width2, nullptr) != 0)
            return PrintError(L"Bad width2 value: \"%s\"\r\n", arg);
        if (width2 > MaxPenWidth) return PrintError(L"Width2 must be 0 - %u: %u\r\n", MaxPenWidth, width2);
    } else if (*end) {
        return ReportArgumentError(arg, end, L"Expected a comma:\r\n");
    }
    pending.penWidth = int(width);
    pending.penWidth2 = int(width2);
    return 0;
}

int ReadColor(LPCWSTR arg, int* field) {
    int color = ParseColorArgument(arg, arg);
    if (color < 0) return -1;
    *field = color;
    return 0;
}

// Reads one argument; returns 0 to go on, -1 after a message, or HelpShown
// when the command ends with the help.
const int HelpShown = 1;
// The help's version line is the file version and the platform.
const WCHAR HelpPlatform[] = L"x64";

int ShowHelp(bool withVersion) {
    QPuts(HelpText);
    if (withVersion)
        Printf(L"\r\n\t\t\t\t%s  %u.%u.%u.%u (%s)\r\n", PLUGIN_NAME, PluginMajorVersion, PluginMinorVersion,
               PluginBuild, TICKRAIL_VERSION_REVISION, HelpPlatform);
    return HelpShown;
}

// An option is its first two characters ("/A" also for /A:1 and /ALPHA),
// except the options without a value, which must stand alone.
int ReadArgument(LPCWSTR arg, int argumentCount) {
    if (wcscmp(arg, L"/?") == 0 || wcscmp(arg, L"/??") == 0) return ShowHelp(arg[2] != 0);
    if (arg[0] != L'/') return PrintError(L"Syntax error: \"%s\"\r\n", arg);
    switch (arg[1]) {
    case L'A':
        pending.repaintNeeded = true;
        return ReadNumber(arg, nullptr, MinAlpha, MaxAlpha, AlphaMessages, &pending.alpha);
    case L'B':
        pending.repaintNeeded = true;
        return ReadColor(arg, &pending.backgroundColor);
    case L'C':
        pending.repaintNeeded = true;
        return ReadColor(arg, &pending.tickrailColors[pending.consoleBackground]);
    case L'D':
        if (arg[2]) break;
        pending.restoreDefaults = pending.repaintNeeded = true;
        return 0;
    case L'E':
        pending.repaintNeeded = true;
        return ReadNumber(arg, L"NY", 0, 1, ShowMessages, &pending.enabled);
    case L'H':
        pending.repaintNeeded = true;
        return ReadColor(arg, &pending.hashColor);
    case L'I':
    case L'J': {
        // Marks take effect as they are read, also when a later option fails.
        pending.repaintNeeded = true;
        int result = arg[1] == L'I' ? ParseAltMarks(arg, Settings.altColumns, &Settings.altColumnsCount,
                                                    &Settings.altColumnsColor, L"column")
                                    : ParseAltMarks(arg, Settings.altRows, &Settings.altRowsCount,
                                                    &Settings.altRowsColor, L"row");
        return result ? -1 : 0;
    }
    case L'K':
        return ReadHotkey(arg);
    case L'L':
        if (arg[2]) break;
        pending.listHotkeys = true;
        return 0;
    case L'M':
        return ReadHotkeyMode(arg);
    case L'O':
        pending.repaintNeeded = true;
        if (argumentCount == 1) pending.quiet = true;
        return ReadNumber(arg, nullptr, 0, MaxRowOffset, OffsetMessages, &pending.rowOffset);
    case L'P':
        pending.repaintNeeded = true;
        return ReadNumber(arg, L"TBLR", 0, MaxPosition, PositionMessages, &pending.position);
    case L'Q':
        if (arg[2]) break;
        pending.quiet = true;
        return 0;
    case L'R':
        if (arg[2]) break;
        pending.restoreFromRegistry = pending.repaintNeeded = true;
        return 0;
    case L'S':
        if (arg[2] && wcscmp(arg + 2, L"!") != 0) break;
        pending.saveTarget = arg[2] ? SaveToMachine : SaveToUser;
        return 0;
    case L'U':
        return ReadNumber(arg, L"NY", 0, 1, HookListMessages, &pending.hookList);
    case L'W':
        pending.repaintNeeded = true;
        return ReadWidths(arg);
    case L'X':
        pending.repaintNeeded = true;
        return ReadNumber(arg, L"CA", 0, 1, TranspModeMessages, &pending.transparencyMode);
    case L'Z':
        return ReadNumber(arg, L"NY", 0, 1, StartHiddenMessages, &pending.hiddenAtStartup);
    }
    return PrintError(L"Unknown option: \"%s\"\r\n", arg);
}

void StartPendingChanges(void) {
    pending = PendingChangesRecord();
    for (int slot = 0; slot < HotkeySlots; slot++) pending.hotkeys[slot] = pending.hotkeyModes[slot] = Unset;
    for (int& color : pending.tickrailColors) color = Unset;
    pending.backgroundColor = pending.hashColor = pending.alpha = Unset;
    pending.penWidth = pending.penWidth2 = pending.position = pending.rowOffset = Unset;
    pending.enabled = pending.transparencyMode = pending.hiddenAtStartup = pending.hookList = Unset;
    CONSOLE_SCREEN_BUFFER_INFO info;
    ZeroMemory(&info, sizeof info);
    GetConsoleScreenBufferInfo(PluginState.consoleOutput, &info);
    pending.consoleBackground = (info.wAttributes >> 4) & 0xF;
}

// Marks that stand out against the chosen background: black on a light
// one, white on a dark one.
int HashColorFor(int background) {
    DWORD r = DWORD(background) & 0xFF, g = DWORD(background) >> 8 & 0xFF, b = DWORD(background) >> 16 & 0xFF;
    DWORD luminance = (LuminanceRedWeight * r + LuminanceGreenWeight * g + LuminanceBlueWeight * b) / 255;
    return luminance >= LuminanceForBlackMarks ? 0x000000 : 0xFFFFFF;
}

void Apply(int value, DWORD* field) {
    if (value != Unset) *field = DWORD(value);
}

void ApplyPendingChanges(void) {
    for (int slot = 0; slot < HotkeySlots; slot++) {
        if (pending.hotkeys[slot] != Unset) Settings.hotkeys[slot] = pending.hotkeys[slot];
        Apply(pending.hotkeyModes[slot], &Settings.hotkeyModes[slot]);
    }
    Apply(pending.backgroundColor, &Settings.backgroundColor);
    Apply(pending.hashColor, &Settings.hashColor);
    Apply(pending.alpha, &Settings.alpha);
    Apply(pending.penWidth, &Settings.penWidth);
    Apply(pending.penWidth2, &Settings.penWidth2);
    Apply(pending.position, &Settings.position);
    Apply(pending.rowOffset, &Settings.rowOffset);
    Apply(pending.enabled, &Settings.enabled);
    Apply(pending.transparencyMode, &Settings.transparencyMode);
    Apply(pending.hiddenAtStartup, &Settings.hiddenAtStartup);
    Apply(pending.hookList, &Settings.hookList);
    for (int i = 0; i < ConsoleColorCount; i++) Apply(pending.tickrailColors[i], &Settings.tickrailColors[i]);
}

// The second phase: returns the result, or -1 after a message.
int FinishCommand(void) {
    if (pending.backgroundColor != Unset && pending.hashColor == Unset)
        pending.hashColor = HashColorFor(pending.backgroundColor);
    if (pending.listHotkeys) {
        if (pending.saveTarget || pending.restoreFromRegistry || pending.restoreDefaults)
            return PrintError(L"Can\u2019t combine /L with other options\r\n");
        ListHotkeys();
        return 0;
    }
    if (pending.restoreDefaults && pending.restoreFromRegistry) return PrintError(L"Can\u2019t combine /D and /R\r\n");
    RestoreSettings(pending);
    ApplyPendingChanges();
    if (pending.repaintNeeded) RepaintOverlays();
    if (pending.saveTarget || pending.hiddenAtStartup != Unset || pending.hookList != Unset) CompactHotkeys();
    if (!pending.quiet) PrintSettingsReport(pending);
    return WriteToRegistry(pending);
}

}  // namespace

extern "C" int WINAPI tickrail(LPWSTR tail) {
    if (!tail) return CommandFailed;
    StartPendingChanges();
    RefreshConsoleColors();
    SplitArguments(tail);
    int count = ArgumentTable.count;
    for (int i = 0; i < count; i++) {
        int result = ReadArgument(ArgumentTable.args[i], count);
        if (result == HelpShown) return 0;
        if (result != 0) return CommandFailed;
    }
    int result = FinishCommand();
    return result < 0 ? CommandFailed : result;
}
