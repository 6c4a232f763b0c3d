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
#include "overlay/overlay.h"
#include "plugin/plugin.h"
#include "settings/colors.h"
#include "settings/marks.h"
#include "settings/settings.h"
#include "standin.h"

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

void ConsolePaletteFromTheConsole() {
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

void Pump(DWORD milliseconds) {
    DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(10);
    } while (GetTickCount() - start < milliseconds);
}

// The colours along a line of pixels of `window`, from (x, y) in steps of
// (dx, dy), as the system drew them.
std::wstring Run(HWND window, int x, int y, int dx, int dy, int count, COLORREF mark) {
    HDC dc = GetDC(window);
    std::wstring run;
    for (int i = 0; i < count; i++) {
        COLORREF pixel = GetPixel(dc, x + i * dx, y + i * dy);
        run += pixel == mark ? L'M' : pixel == 0x0000FF ? L'k' : L'?';
    }
    ReleaseDC(window, dc);
    return run;
}

// The strip drawn by the system's GDI into a window of this program, for
// each edge: the console has 80 by 25 cells and the parent 640 by 400
// pixels, so a cell is 8 by 16 pixels.
void PaintingOnEachEdge() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    PluginState.moduleInstance = instance;
    PluginState.desktopWindow = GetDesktopWindow();
    PluginState.consoleWindow = GetConsoleWindow();
    PluginState.consoleOutput = CreateFileW(L"conout$", GENERIC_READ | GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    wsprintfW(PluginState.className, L"Take Command Tickrail %04X", GetCurrentProcessId());
    WNDCLASSEXW overlayClass = {};
    overlayClass.cbSize = sizeof overlayClass;
    overlayClass.lpfnWndProc = OverlayWndProc;
    overlayClass.hInstance = instance;
    overlayClass.lpszClassName = PluginState.className;
    Check(RegisterClassExW(&overlayClass) != 0, "overlay class registered");
    WNDCLASSEXW parentClass = {};
    parentClass.cbSize = sizeof parentClass;
    parentClass.lpfnWndProc = DefWindowProcW;
    parentClass.hInstance = instance;
    parentClass.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    parentClass.lpszClassName = L"UnitsTab";
    RegisterClassExW(&parentClass);
    HWND parent = CreateWindowExW(0, L"UnitsTab", L"tab", WS_POPUP | WS_VISIBLE, 0, 0, 640, 400, nullptr, nullptr,
                                  instance, nullptr);
    RECT client;
    GetClientRect(parent, &client);
    CheckNumber(640, client.right, "parent width");
    CheckNumber(400, client.bottom, "parent height");

    // A tab-kind overlay with no margins paints whatever the console shows.
    PluginState.iniHMargin = 0;
    PluginState.iniVMargin = 0;
    ResetSettingsToDefaults();
    Settings.enabled = 1;
    PluginState.tabOverlay = CreateOverlayWindow(TabOverlayKind, parent);
    HWND strip = PluginState.tabOverlay;
    Check(strip != nullptr, "overlay created");

    struct MarkCheck {
        int x, y, dx, dy;
        const wchar_t* run;
    };
    struct Case {
        DWORD position;
        RECT place;
        MarkCheck marks[3];
    } cases[] = {
        {0, {0, 0, 640, 16}, {{80, 0, 0, 1, L"MMMMMMMMMMMMMMk"}, {40, 0, 0, 1, L"MMMMMMMMk"}, {8, 0, 0, 1, L"MMMMk"}}},
        {1, {0, 383, 640, 399}, {{80, 15, 0, -1, L"MMMMMMMMMMMMMMk"}, {40, 15, 0, -1, L"MMMMMMMMk"}, {8, 15, 0, -1, L"MMMMk"}}},
        {2, {0, 0, 16, 400}, {{0, 160, 1, 0, L"MMMMMMMMMMMMMMk"}, {0, 80, 1, 0, L"MMMMMMMMk"}, {0, 16, 1, 0, L"MMMMk"}}},
        {3, {623, 0, 639, 400}, {{15, 160, -1, 0, L"MMMMMMMMMMMMMk"}, {15, 80, -1, 0, L"MMMMMMMk"}, {15, 16, -1, 0, L"MMMk"}}},
        {4, {0, 0, 640, 16}, {{80, 0, 0, 1, L"MMMMMMMMMMMMMMk"}, {40, 0, 0, 1, L"MMMMMMMMk"}, {8, 0, 0, 1, L"MMMMk"}}},
    };
    for (const Case& c : cases) {
        Settings.position = c.position;
        RepaintOverlays();
        Pump(150);
        RECT place;
        GetWindowRect(strip, &place);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
        char what[64];
        snprintf(what, sizeof what, "position %u: left", unsigned(c.position));
        CheckNumber(c.place.left, place.left, what);
        snprintf(what, sizeof what, "position %u: top", unsigned(c.position));
        CheckNumber(c.place.top, place.top, what);
        snprintf(what, sizeof what, "position %u: right", unsigned(c.position));
        CheckNumber(c.place.right, place.right, what);
        snprintf(what, sizeof what, "position %u: bottom", unsigned(c.position));
        CheckNumber(c.place.bottom, place.bottom, what);
        COLORREF key = 0;
        BYTE alpha = 0;
        DWORD flags = 0;
        GetLayeredWindowAttributes(strip, &key, &alpha, &flags);
        CheckNumber(0x0000FF, key, "key colour for DeepSkyBlue marks");
        CheckNumber(LWA_COLORKEY, flags, "colour key mode");
        for (const MarkCheck& m : c.marks) {
            snprintf(what, sizeof what, "position %u: mark at %d,%d", unsigned(c.position), m.x, m.y);
            CheckText(m.run, Run(strip, m.x, m.y, m.dx, m.dy, int(wcslen(m.run)), 0xFFBF00), what);
        }
    }

    // A wide pen covers pixels across the mark, centred on it.
    Settings.position = 0;
    Settings.penWidth = 3;
    RepaintOverlays();
    Pump(150);
    CheckText(L"kMMMk", Run(strip, 78, 5, 1, 0, 5, 0xFFBF00), "pen of width 3 across column 10");

    // Alternate-colour marks in alpha mode.
    Settings.penWidth = 1;
    Settings.transparencyMode = 1;
    Settings.altColumnsCount = 1;
    Settings.altColumns[0] = RepeatMarkFlag + 10;
    Settings.altColumnsColor = 0x00FF00;
    RepaintOverlays();
    Pump(150);
    DWORD flags = 0;
    GetLayeredWindowAttributes(strip, nullptr, nullptr, &flags);
    CheckNumber(LWA_ALPHA, flags, "alpha mode");
    HDC dc = GetDC(strip);
    CheckNumber(0x00FF00, GetPixel(dc, 80, 1), "column 10 in the alternate colour");
    CheckNumber(0x00FF00, GetPixel(dc, 160, 1), "column 20 in the alternate colour");
    CheckNumber(0x000000, GetPixel(dc, 40, 1), "column 5 in the hash colour");
    CheckNumber(0xE6E0B0, GetPixel(dc, 3, 1), "background colour");
    ReleaseDC(strip, dc);

    DestroyWindow(strip);
    Check(PluginState.tabOverlay == nullptr, "destroying the overlay forgets it");
    DestroyWindow(parent);
    UnregisterClassW(PluginState.className, instance);
}

}  // namespace

int main() {
    StartReport();
    StandInSetVariable(L"_batch", L"0");
    ColorArguments();
    MarkArguments();
    SystemTexts();
    ConsolePaletteFromTheConsole();
    PaintingOnEachEdge();
    return FinishReport("units");
}
