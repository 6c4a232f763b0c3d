// The plug-in's own parsers and text routines, compiled for Windows and run
// under Wine: 16-bit wchar_t, the system's wsprintfW and wvsprintfW, its
// character classes, system error texts and the real console's palette.
//
// Where Wine differs: SetConsoleScreenBufferInfoEx ignores the colour table,
// so the palette read back is always the standard one; system error texts
// end with a blank, which FormatSystemError trims.
#include <windows.h>

#include <string>

#include "check.h"
#include "plugin/plugin.h"
#include "settings/colors.h"
#include "settings/marks.h"
#include "takecmd.h"

namespace {

std::wstring ErrorOutput(const std::wstring& message, const std::wstring& arg, size_t offset) {
    return L"Tickrail plugin: " + message + L"    " + arg + L"\r\n    " + std::wstring(offset, L' ') +
           L"\u2191\r\n";
}

void ColorArguments() {
    struct Case {
        LPCWSTR arg;
        int expected;
        LPCWSTR message;
        size_t markerOffset;
    } cases[] = {
        {L"dark grey", 0xA9A9A9, nullptr, 0},
        {L"LightGoldenrodYellowish", 0xD2FAFA, nullptr, 0},
        {L"#0F8", 0x88FF00, nullptr, 0},
        {L"/B:0xFF,0,0", 0x0000FF, nullptr, 0},
        {L"$0x0F", 0xFFFFFF, nullptr, 0},
        {L"Gr-ey", -1, L"Bad color name: \"Gr-ey\"\r\n", 0},
        {L"/B:", -1, L"Bad color name: \"/B:\"\r\n", 3},
        {L"255,0,0,", -1, L"Syntax error: \",\"\r\n", 7},
        {L"256,0,0", -1, L"Red value must be 0 - 255: 256\r\n", 0},
        {L"$16", -1, L"Console color index must be 0 - 15: 16\r\n", 1},
        {L"99999999999,0,0", -1, L"Bad red value:\r\n", 0},
    };
    for (const Case& c : cases) {
        StandInClear();
        CheckNumber(c.expected, ParseColorArgument(c.arg, c.arg), Utf8(c.arg).c_str());
        CheckText(c.message ? ErrorOutput(c.message, c.arg, c.markerOffset) : L"", StandInError(),
                  Utf8(c.arg).c_str());
    }
    CheckText(L"Fuchsia", RgbToColorName(0xFF00FF), "name of 0xFF00FF");
    CheckText(L"#abcdef", RgbToColorName(0xABCDEF), "name of 0xABCDEF");
}

void MarkArguments() {
    DWORD list[MaxAltMarks];
    DWORD count = 0;
    COLORREF color = 0;
    StandInClear();
    CheckNumber(0, ParseAltMarks(L"/I:*10,20,5=Blue", list, &count, &color, L"column"), "marks parsed");
    CheckNumber(3, count, "mark count");
    CheckNumber(5, list[0], "first mark");
    CheckNumber(20, list[1], "second mark");
    CheckNumber(RepeatMarkFlag + 10, list[2], "repeat mark last");
    CheckNumber(0xFF0000, color, "mark colour");
    CheckNumber(1, ParseAltMarks(L"/J:\u00d71=Red", list, &count, &color, L"row"), "repeat below 2");
    CheckText(ErrorOutput(L"Row repeat value must be 2 - 100: 1\r\n", L"/J:\u00d71=Red", 4), StandInError(),
              "repeat message");
    CheckNumber(3, count, "list kept after an error");
}

void SystemTexts() {
    WCHAR out[TextCapacity];
    FormatSystemError(ERROR_ACCESS_DENIED, out);
    WCHAR system[TextCapacity] = L"";
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | 0xFF, nullptr, ERROR_ACCESS_DENIED,
                   0, system, TextCapacity, nullptr);
    std::wstring trimmed = system;
    while (!trimmed.empty() && iswspace(trimmed.back())) trimmed.pop_back();
    Check(!trimmed.empty(), "the system has a text for error 5");
    CheckText(trimmed, out, "error 5 without its trailing blank");
    FormatSystemError(DWORD(-1), out);
    CheckText(L"Unknown error", out, "error -1");
    FormatSystemError(0x2000FFFF, out);
    CheckText(L"Error 536936447", out, "an error without text");
}

void ConsolePalette() {
    FreeConsole();
    AllocConsole();
    PluginState.consoleOutput = CreateFileW(L"conout$", GENERIC_READ | GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    Check(PluginState.consoleOutput != INVALID_HANDLE_VALUE, "console buffer opened");
    PluginState.getScreenBufferInfoEx = reinterpret_cast<BOOL(WINAPI*)(HANDLE, PCONSOLE_SCREEN_BUFFER_INFOEX)>(
        reinterpret_cast<void (*)(void)>(GetProcAddress(GetModuleHandleW(L"Kernel32.dll"), "GetConsoleScreenBufferInfoEx")));
    Check(PluginState.getScreenBufferInfoEx != nullptr, "GetConsoleScreenBufferInfoEx found");
    CheckNumber(1, RefreshConsoleColors(), "palette read from the console");
    CheckNumber(0x0000FF, consoleColors[12], "console colour 12");
    CheckNumber(0x0000FF, ParseColorArgument(L"$12", L"$12"), "$12 from the console's palette");
    CloseHandle(PluginState.consoleOutput);
    PluginState.consoleOutput = INVALID_HANDLE_VALUE;
    CheckNumber(0, RefreshConsoleColors(), "a failed query keeps the standard palette");
}

}  // namespace

int main() {
    StartReport();
    StandInSetVariable(L"_batch", L"0");
    ColorArguments();
    MarkArguments();
    SystemTexts();
    ConsolePalette();
    return FinishReport("units");
}
