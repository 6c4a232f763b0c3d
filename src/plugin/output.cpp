// The plug-in's voice: the error prefix and marker, system error texts, and
// the usage and help texts that the shell asks for.
#include "plugin.h"
#include "text.h"

// U+2019 is the typographic apostrophe of the help text.
const WCHAR HelpText[] =
    L"View and set tickrail options.\n\n"
    L"TICKRAIL /A: /B: /C: /D /E: /H: /K: /L /M: /P: /Q /R /S /U: /W: /X: /Z: \r\n\n"
    L"\t/A:\tset the tickrail\u2019s alpha transparency (alpha mode)  \n"
    L"\t/B:\tset the tickrail\u2019s background color (alpha mode)  \n"
    L"\t/C:\tset the tickrail color (color-key mode)\n"
    L"\t/D\trestore default plugin settings\n"
    L"\t/E:\tenable or disable (show or hide) the tickrail\n"
    L"\t/H:\tset the color of the hash marks (alpha mode)\n"
    L"\t/K:\tset the hotkey\n"
    L"\t/L\tlist all supported hotkeys\n"
    L"\t/M:\tset the hotkey mode\n"
    L"\t/P:\tset the tickrail\u2019s position\n"
    L"\t/Q\tquietly\n"
    L"\t/R\trestore saved settings from the registry\n"
    L"\t/S\tsave the current settings to the registry\n"
    L"\t/U:\tintercept the LIST command\n"
    L"\t/W:\tset the width of the hash marks\n"
    L"\t/X:\tset the tickrail\u2019s transparency mode\n"
    L"\t/Z:\tset whether the tickrail is hidden at startup\n\n"
    L"TICKRAIL with no options displays the plugin\u2019s current settings.  \n";

namespace {

struct CommandHelp {
    LPCWSTR name;
    LPCWSTR helpText;
};

const CommandHelp Commands[] = {
    {L"tickrail", HelpText},
};

const DWORD SystemMessageFlags =
    FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK;

const CommandHelp* FindCommand(LPCWSTR name) {
    if (!name) return nullptr;
    for (const CommandHelp& command : Commands)
        if (EqualsIgnoreAsciiCase(command.name, name)) return &command;
    return nullptr;
}

WCHAR errorPrefixBuffer[LongTextCapacity];

// The shell formats at most about a thousand characters in one call, so
// error text goes out in pieces well below that, and an argument of any
// length is written whole.
const int ErrorPieceCapacity = 256;
WCHAR errorPiece[ErrorPieceCapacity + 1];
int errorPieceLength;

void FlushErrorText(void) {
    errorPiece[errorPieceLength] = 0;
    Qprintf(StdErr(), L"%s", errorPiece);
    errorPieceLength = 0;
}

void PutErrorChar(WCHAR c) {
    if (errorPieceLength == ErrorPieceCapacity) FlushErrorText();
    errorPiece[errorPieceLength++] = c;
}

void PutErrorText(LPCWSTR text) {
    for (; *text; text++) PutErrorChar(*text);
}

// Formats like wsprintfW for the conversions the messages use (%s, %u and
// %d), with no limit on the length of the result.
void PutErrorFormatted(LPCWSTR format, va_list args) {
    WCHAR number[16];
    for (LPCWSTR p = format; *p; p++) {
        if (*p != L'%' || !p[1]) {
            PutErrorChar(*p);
            continue;
        }
        switch (*++p) {
        case L's': {
            LPCWSTR text = va_arg(args, LPCWSTR);
            PutErrorText(text ? text : L"(null)");
            break;
        }
        case L'u':
            wsprintfW(number, L"%u", va_arg(args, unsigned));
            PutErrorText(number);
            break;
        case L'd':
            wsprintfW(number, L"%d", va_arg(args, int));
            PutErrorText(number);
            break;
        }
    }
}

void PrintErrorMessage(LPCWSTR format, va_list args) {
    PrintErrorPrefix();
    PutErrorFormatted(format, args);
    FlushErrorText();
}

}  // namespace

HANDLE StdErr(void) { return GetStdHandle(STD_ERROR_HANDLE); }

int PrintErrorPrefix(void) {
    Qprintf(StdErr(), L"%s plugin: ", PLUGIN_NAME);
    ZeroMemory(errorPrefixBuffer, sizeof errorPrefixBuffer);
    lstrcpyW(errorPrefixBuffer, L"%_batch");
    ExpandVariables(errorPrefixBuffer, 1);
    if (errorPrefixBuffer[0] == L'0') return 0;
    lstrcpyW(errorPrefixBuffer, L"%_batchname [%_batchline]  ");
    ExpandVariables(errorPrefixBuffer, 1);
    // Plain text: a "%" in a batch file name is not a format.
    PutErrorText(errorPrefixBuffer);
    FlushErrorText();
    return 0;
}

int PrintErrorMarker(LPCWSTR argText, LPCWSTR faultChar) {
    if (!argText) return -1;
    // Callers point inside the argument; a pointer outside it is clamped.
    size_t blanks = faultChar > argText ? size_t(faultChar - argText) : 0;
    if (blanks > LongTextCapacity) blanks = LongTextCapacity;
    PutErrorText(L"    ");
    PutErrorText(argText);
    PutErrorText(L"\r\n    ");
    for (size_t i = 0; i < blanks; i++) PutErrorChar(L' ');
    PutErrorText(L"\u2191\r\n");
    FlushErrorText();
    return 0;
}

int FormatSystemError(DWORD errorNumber, LPWSTR out) {
    if (!out) return -1;
    if (errorNumber == DWORD(-1)) {
        lstrcpyW(out, L"Unknown error");
    } else if (FormatMessageW(SystemMessageFlags, nullptr, errorNumber, 0, out, TextCapacity,
                              nullptr) == 0) {
        wsprintfW(out, L"Error %d", int(errorNumber));
    }
    size_t length = lstrlenW(out);
    while (length > 0 && IsWhiteSpace(out[length - 1])) out[--length] = 0;
    return 0;
}

int PrintError(LPCWSTR format, ...) {
    va_list args;
    va_start(args, format);
    PrintErrorMessage(format, args);
    va_end(args);
    return -1;
}

int ReportArgumentError(LPCWSTR argText, LPCWSTR fault, LPCWSTR format, ...) {
    va_list args;
    va_start(args, format);
    PrintErrorMessage(format, args);
    va_end(args);
    PrintErrorMarker(argText, fault);
    return -1;
}

extern "C" int WINAPI Usage(LPWSTR commandName, LPWSTR out) {
    if (!commandName || commandName[0] == L'@' || commandName[0] == L'_') return 0;
    const CommandHelp* command = FindCommand(commandName);
    if (!command) return 0;
    LPCWSTR usage = command->helpText;
    while (*usage && *usage != L'\n') usage++;
    while (*usage == L'\n') usage++;
    lstrcpynW(out, usage, TextCapacity);
    return 1;
}

extern "C" int WINAPI Help(LPWSTR commandName) {
    WCHAR caption[TextCapacity];
    wsprintfW(caption, L"%s Plugin Help", PLUGIN_NAME);
    const CommandHelp* command = FindCommand(commandName);
    if (!command) return 0;
    MessageBoxW(GetForegroundWindow(), command->helpText, caption, MB_OK);
    return 1;
}
