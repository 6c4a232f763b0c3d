// Drives the real tickrail.dll the way the shell does, in a real console
// under a real Win32 implementation, and checks what it does.
//
//   harness GROUP      runs one group of cases and prints "N passed, N failed"
//
// Each group loads the DLL afresh, so its global state starts clean.
//
// Where Wine differs from what the plug-in expects, and how the cases here
// treat it:
// - Wine drops WS_EX_TOPMOST on child windows (Windows ignores it there):
//   the extended style is checked without that bit.
// - Wine applies neither the colour key nor the alpha of layered child
//   windows when it draws; GetLayeredWindowAttributes still reports what
//   was set, so that is what the cases check.
// - A child window inside the console window (which belongs to Wine's
//   console host, another process) is placed but not drawn; pixels are read
//   back only from the tab window, which this harness owns.
// - System error texts end with a blank ("Access denied. "), which the
//   plug-in trims; the cases take the text Wine gives for the error number
//   and trim it the same way.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "check.h"
#include "expected_texts.h"
#include "host.h"
#include "standin.h"

namespace {

// ---------------------------------------------------------------------------
// Groups of cases.

void LoadAndUnload() {
    for (int round = 1; round <= 2; round++) {
        Plugin plugin = {};
        if (!LoadPluginLibrary(&plugin)) return;
        PluginInfoRecord* info = plugin.getPluginInfo();
        Check(info == plugin.getPluginInfo(), "GetPluginInfo gives the same record twice");
        CheckText(L"Tickrail", info->name, "plug-in name");
        CheckText(L"On-screen tickrail for Take Command", info->description, "description");
        CheckText(L"tickrail,list,*key", info->functions, "entry points");
        CheckNumber(1, info->majorVersion, "major version");
        CheckNumber(0, info->minorVersion, "minor version");
        CheckNumber(2, info->build, "build");

        CheckNumber(0, plugin.initializePlugin(), "InitializePlugin result");
        CheckText(LoadMessage, StandInOutput(), "load message");
        CheckText(L"", StandInError(), "nothing on standard error");
        Check(ClassRegistered(plugin.module), "overlay class registered");

        std::vector<HWND> overlays = OverlaysIn(GetConsoleWindow());
        CheckNumber(1, overlays.size(), "one overlay in the console window");
        if (overlays.size() == 1) {
            HWND overlay = overlays[0];
            CheckText(L"Take Command Tickrail", TitleOf(overlay), "overlay title");
            DWORD exStyle = DWORD(GetWindowLongPtrW(overlay, GWL_EXSTYLE));
            CheckNumber(WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TRANSPARENT, exStyle & ~WS_EX_TOPMOST,
                        "overlay extended style");
            DWORD style = DWORD(GetWindowLongPtrW(overlay, GWL_STYLE));
            Check((style & WS_CHILD) != 0, "overlay is a child window");
            Check(!IsWindowVisible(overlay), "overlay invisible right after load");
            COLORREF key = 1;
            BYTE alpha = 0;
            DWORD flags = 0;
            Check(GetLayeredWindowAttributes(overlay, &key, &alpha, &flags) != 0, "layered attributes set");
            CheckNumber(128, alpha, "start alpha");
            CheckNumber(LWA_ALPHA, flags, "start layered flags");
            CheckNumber(reinterpret_cast<LONG_PTR>(GetConsoleWindow()),
                        reinterpret_cast<LONG_PTR>(GetAncestor(overlay, GA_PARENT)), "overlay parent");
        }
        Pump(400);  // the timer runs and asks for paints
        CheckNumber(1, OverlaysIn(GetConsoleWindow()).size(), "still one overlay after the timer ran");

        CheckNumber(0, plugin.shutdownPlugin(0), "ShutdownPlugin result");
        CheckNumber(0, OverlaysIn(GetConsoleWindow()).size(), "no overlay after shutdown");
        Check(!ClassRegistered(plugin.module), "overlay class unregistered after shutdown");
        Pump(300);  // no timer may fire into an unloaded plug-in

        // The shell may start the plug-in again in the library it kept: the
        // strip is painted as after a fresh load.
        CheckNumber(0, plugin.initializePlugin(), "second start-up in the same library");
        std::vector<HWND> again = OverlaysIn(GetConsoleWindow());
        CheckNumber(1, again.size(), "one overlay after the second start-up");
        if (again.size() == 1) {
            PumpUntil([&] { return IsWindowVisible(again[0]) != FALSE; }, 3000);
            Check(IsWindowVisible(again[0]) != FALSE, "the strip of the second start-up is painted");
        }
        plugin.shutdownPlugin(0);
        FreePluginLibrary(&plugin);
    }
}

// What Windows shows in the DLL's properties.
void VersionResource() {
    Plugin plugin = {};
    if (!LoadPluginLibrary(&plugin)) return;
    WCHAR path[MAX_PATH];
    GetModuleFileNameW(plugin.module, path, MAX_PATH);
    DWORD ignored;
    DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    Check(size > 0, "the DLL has version information");
    std::vector<BYTE> block(size ? size : 1);
    if (!size || !GetFileVersionInfoW(path, 0, size, block.data())) {
        FreePluginLibrary(&plugin);
        return;
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    Check(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed,
          "fixed version information");
    if (fixed) {
        CheckNumber(0x00010000, fixed->dwFileVersionMS, "file version 1.0");
        CheckNumber(0x00020000, fixed->dwFileVersionLS, "file version .2.0");
        CheckNumber(0x00010000, fixed->dwProductVersionMS, "product version 1.0");
        CheckNumber(VFT_DLL, fixed->dwFileType, "a DLL");
    }
    struct Text {
        LPCWSTR name;
        LPCWSTR expected;
    } texts[] = {
        {L"FileVersion", L"1.0.2"},
        {L"ProductVersion", L"1.0.2"},
        {L"ProductName", L"Tickrail"},
        {L"FileDescription", L"On-screen tickrail for Take Command"},
        {L"CompanyName", L"The Tickrail developers"},
        {L"LegalCopyright", L"Copyright (c) 2026 The Tickrail developers; MIT licence"},
        {L"OriginalFilename", L"tickrail.dll"},
        {L"InternalName", L"tickrail"},
    };
    for (const Text& t : texts) {
        std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + t.name;
        LPWSTR value = nullptr;
        bool found = VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) && value;
        CheckText(t.expected, found ? value : L"(none)", Utf8(t.name).c_str());
    }
    FreePluginLibrary(&plugin);
}

void VersionGate() {
    struct Case {
        LPCWSTR version;
        bool accepted;
    } cases[] = {{L"12.50", false}, {L"13", true}, {L"13.0", true}, {L"", false}, {L"abc", false}};
    for (const Case& c : cases) {
        Plugin plugin = {};
        if (!LoadPluginLibrary(&plugin)) return;
        StandInSetVariable(L"_4ver", c.version);
        plugin.getPluginInfo();
        int result = plugin.initializePlugin();
        CheckNumber(c.accepted ? 0 : 1, result, "InitializePlugin result for the version");
        if (c.accepted) {
            CheckText(LoadMessage, StandInOutput(), "load message");
            plugin.shutdownPlugin(0);
        } else {
            CheckText(L"Tickrail plugin: Take Command version 13 or later is required!\r\nPlugin not loaded.\r\n",
                      StandInError(), "refusal");
            CheckText(L"", StandInOutput(), "no load message");
            Check(!ClassRegistered(plugin.module), "no class after a refusal");
        }
        CheckNumber(0, OverlaysIn(GetConsoleWindow()).size(), "no overlay left");
        FreePluginLibrary(&plugin);
    }

    // Silenced load messages, and the prefix inside a batch file.
    struct Quiet {
        LPCWSTR variable;
        LPCWSTR value;
    } quiet[] = {{L"noloadmsg", L"1"}, {L"_transient", L"1"}, {L"_pipe", L"1"}};
    for (const Quiet& q : quiet) {
        Plugin plugin = {};
        if (!LoadPluginLibrary(&plugin)) return;
        StandInSetVariable(q.variable, q.value);
        CheckNumber(0, plugin.initializePlugin(), "quiet load");
        CheckText(L"", StandInOutput(), "no load message");
        plugin.shutdownPlugin(0);
        FreePluginLibrary(&plugin);
    }
    Plugin plugin = {};
    if (!LoadPluginLibrary(&plugin)) return;
    StandInSetVariable(L"_4ver", L"9");
    StandInSetVariable(L"_batch", L"1");
    StandInSetVariable(L"_batchname", L"C:\\jobs\\start.btm");
    StandInSetVariable(L"_batchline", L"12");
    CheckNumber(1, plugin.initializePlugin(), "refused inside a batch file");
    CheckText(L"Tickrail plugin: C:\\jobs\\start.btm [12]  Take Command version 13 or later is required!\r\n"
              L"Plugin not loaded.\r\n",
              StandInError(), "batch file prefix");
    FreePluginLibrary(&plugin);
}

void StartupFailures() {
    // The class is already registered for this module: registration fails.
    {
        Plugin plugin = {};
        if (!LoadPluginLibrary(&plugin)) return;
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = plugin.module;
        std::wstring className = OverlayClassName();
        windowClass.lpszClassName = className.c_str();
        Check(RegisterClassExW(&windowClass) != 0, "harness registers the overlay class first");
        CheckNumber(1, plugin.initializePlugin(), "load with the class taken");
        CheckText(L"Tickrail plugin: Failed to register tickrail window class:\r\n  " +
                      SystemText(ERROR_CLASS_ALREADY_EXISTS) + L"\r\nPlugin not loaded.\r\n",
                  StandInError(), "class registration failure");
        CheckText(L"", StandInOutput(), "no load message");
        CheckNumber(0, OverlaysIn(GetConsoleWindow()).size(), "no overlay left");
        UnregisterClassW(className.c_str(), plugin.module);
        FreePluginLibrary(&plugin);
    }
    // No console: the console buffer cannot be opened.
    {
        Plugin plugin = {};
        if (!LoadPluginLibrary(&plugin)) return;
        FreeConsole();
        int result = plugin.initializePlugin();
        std::wstring error = StandInError();
        AllocConsole();
        CheckNumber(1, result, "load without a console");
        const std::wstring head = L"Tickrail plugin: Failed to open console buffer:\r\n  ";
        const std::wstring tail = L"\r\nPlugin not loaded.\r\n";
        Check(error.compare(0, head.size(), head) == 0 && error.size() > head.size() + tail.size() &&
                  error.compare(error.size() - tail.size(), tail.size(), tail) == 0,
              "console buffer failure", "got \"" + Visible(error) + "\"");
        Check(!ClassRegistered(plugin.module), "no class after the failure");
        FreePluginLibrary(&plugin);
    }
}

struct DialogText {
    std::wstring longest;
};

BOOL CALLBACK CollectDialogText(HWND window, LPARAM param) {
    DialogText* text = reinterpret_cast<DialogText*>(param);
    WCHAR buffer[2048] = L"";
    GetWindowTextW(window, buffer, 2048);
    if (wcslen(buffer) > text->longest.size()) text->longest = buffer;
    return TRUE;
}

struct HelpBox {
    std::wstring caption;
    std::wstring text;
    bool found;
};

DWORD WINAPI CloseHelpBox(LPVOID param) {
    HelpBox* box = static_cast<HelpBox*>(param);
    for (int attempt = 0; attempt < 500 && !box->found; attempt++) {
        HWND dialog = FindWindowW(L"#32770", L"Tickrail Plugin Help");
        if (!dialog) {
            Sleep(10);
            continue;
        }
        box->found = true;
        box->caption = TitleOf(dialog);
        DialogText text;
        EnumChildWindows(dialog, CollectDialogText, reinterpret_cast<LPARAM>(&text));
        box->text = text.longest;
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    }
    return 0;
}

void UsageAndHelp() {
    Plugin plugin = {};
    if (!LoadPluginLibrary(&plugin)) return;
    WCHAR out[1024];
    WCHAR name[32];
    lstrcpyW(name, L"TickRail");
    CheckNumber(1, plugin.usage(name, out), "Usage for TickRail");
    CheckText(ExpectedUsageText(), out, "usage text");
    for (LPCWSTR other : {L"@tickrail", L"_tickrail", L"list"}) {
        lstrcpyW(out, L"untouched");
        lstrcpyW(name, other);
        CheckNumber(0, plugin.usage(name, out), "Usage declines other names");
        CheckText(L"untouched", out, "buffer untouched");
    }

    HelpBox box = {};
    HANDLE closer = CreateThread(nullptr, 0, CloseHelpBox, &box, 0, nullptr);
    lstrcpyW(name, L"tickrail");
    CheckNumber(1, plugin.help(name), "Help for tickrail");
    WaitForSingleObject(closer, 6000);
    CloseHandle(closer);
    Check(box.found, "help box shown");
    CheckText(L"Tickrail Plugin Help", box.caption, "help caption");
    CheckText(ExpectedHelpText(), box.text, "help text");
    lstrcpyW(name, L"list");
    CheckNumber(0, plugin.help(name), "Help declines list");
    FreePluginLibrary(&plugin);
}

void TabOverlay() {
    Plugin plugin = {};
    if (!LoadPluginLibrary(&plugin)) return;
    ShellWindows shell = {};
    StartShellWindows(&shell);
    // A title longer than the plug-in's other texts comes back whole.
    std::wstring longTitle = L"Harness console " + std::wstring(2000, L'T');
    SetConsoleTitleW(longTitle.c_str());
    Pump(100);
    std::wstring titleBefore = TitleOf(GetConsoleWindow());
    CheckNumber(longTitle.size(), titleBefore.size(), "the console holds the long title");
    // A margin beyond 2^31 - 1 is out of range: the default margins stand.
    WCHAR iniName[MAX_PATH];
    GetTempPathW(MAX_PATH, iniName);
    lstrcatW(iniName, L"tickrail-harness.ini");
    WritePrivateProfileStringW(L"TakeCommand", L"HMargin", L"3000000000", iniName);
    StandInSetVariable(L"_ininame", iniName);

    CheckNumber(0, plugin.initializePlugin(), "load with the shell's windows");
    CheckText(titleBefore, TitleOf(GetConsoleWindow()), "console title restored after the search");
    std::vector<HWND> inTab = OverlaysIn(shell.tab);
    CheckNumber(1, inTab.size(), "one overlay in the tab window");
    CheckNumber(1, OverlaysIn(GetConsoleWindow()).size(), "one overlay in the console window");
    if (inTab.size() == 1) CheckText(L"Take Command Tickrail", TitleOf(inTab[0]), "tab overlay title");
    // The second timer tick asks for the first paints.
    PumpUntil([&] {
        std::vector<HWND> console = OverlaysIn(GetConsoleWindow());
        return console.size() == 1 && IsWindowVisible(console[0]) && inTab.size() == 1 && IsWindowVisible(inTab[0]);
    }, 3000);

    // The first paints: the console has 80 by 25 cells in 640 by 400 pixels
    // (cells of 8 by 16); the tab window is 640 by 400 with the shell's
    // default margins of 4 and 2 pixels (cells of 7 by 15).
    std::vector<HWND> inConsole = OverlaysIn(GetConsoleWindow());
    if (inConsole.size() == 1) {
        RECT place = PlaceIn(inConsole[0], GetConsoleWindow());
        CheckNumber(0, place.left, "console strip left");
        CheckNumber(0, place.top, "console strip top");
        CheckNumber(640, place.right, "console strip right");
        CheckNumber(16, place.bottom, "console strip bottom");
        Check(IsWindowVisible(inConsole[0]) != FALSE, "console strip shown");
        COLORREF key = 0;
        DWORD flags = 0;
        GetLayeredWindowAttributes(inConsole[0], &key, nullptr, &flags);
        CheckNumber(0x0000FF, key, "key colour against DeepSkyBlue marks");
        CheckNumber(LWA_COLORKEY, flags, "colour key mode");
    }
    if (inTab.size() == 1) {
        RECT place = PlaceIn(inTab[0], shell.tab);
        CheckNumber(0, place.top, "tab strip top");
        CheckNumber(640, place.right, "tab strip right");
        CheckNumber(15, place.bottom, "tab strip bottom");
        CheckText(L"MMMMMMMMMMMMMk", PixelRun(inTab[0], 74, 0, 14), "long mark of column 10 at x 4 + 10 * 7");
        CheckText(L"MMMMMMMk", PixelRun(inTab[0], 39, 0, 8), "medium mark of column 5");
        CheckText(L"MMMk", PixelRun(inTab[0], 11, 0, 4), "short mark of column 1");
        CheckText(L"kkk", PixelRun(inTab[0], 12, 0, 3), "key between the marks");
    }

    plugin.shutdownPlugin(0);
    CheckNumber(0, OverlaysIn(shell.tab).size(), "tab overlay destroyed at shutdown");
    FreePluginLibrary(&plugin);
    DeleteFileW(iniName);

    // An answer that is no number: no main window, no search, no tab overlay.
    if (!LoadPluginLibrary(&plugin)) {
        StopShellWindows(&shell);
        return;
    }
    StandInSetHwndAnswer(L"none");
    DWORD start = GetTickCount();
    CheckNumber(0, plugin.initializePlugin(), "load without a main window");
    Check(GetTickCount() - start < 1000, "no tab search without a main window");
    CheckNumber(0, OverlaysIn(shell.tab).size(), "no tab overlay without a main window");
    plugin.shutdownPlugin(0);
    FreePluginLibrary(&plugin);
    StopShellWindows(&shell);
}


void HiddenConsole() {
    Plugin plugin = {};
    if (!LoadPluginLibrary(&plugin)) return;
    CheckNumber(0, plugin.initializePlugin(), "load before the shell's windows exist");
    Pump(300);
    ShellWindows shell = {};
    StartShellWindows(&shell);
    std::wstring titleBefore = TitleOf(GetConsoleWindow());
    CheckNumber(0, OverlaysIn(shell.tab).size(), "no tab overlay while the console shows");

    std::vector<HWND> inConsole = OverlaysIn(GetConsoleWindow());
    CheckNumber(1, inConsole.size(), "console overlay");
    if (inConsole.empty()) return;
    HWND consoleStrip = inConsole[0];

    RunOnWorker(HideConsole, 0);
    Check(!IsWindowVisible(GetConsoleWindow()), "console window hidden");
    PumpUntil([&] { return !OverlaysIn(shell.tab).empty(); }, 5000);
    CheckNumber(1, OverlaysIn(shell.tab).size(), "hiding the console finds the tab and makes its overlay");
    CheckText(titleBefore, TitleOf(GetConsoleWindow()), "console title restored after the search");
    LONG searches = shell.markerTitles;
    Check(searches > 0, "the tab took over the search's marker title");

    // Ten paints while the console is hidden park the console overlay on
    // the desktop, out of sight.
    for (int i = 0; i < 10; i++) RunCommand(plugin, L"/P:T /Q");
    Pump(50);
    CheckNumber(reinterpret_cast<LONG_PTR>(GetDesktopWindow()),
                reinterpret_cast<LONG_PTR>(GetAncestor(consoleStrip, GA_PARENT)), "parked on the desktop");
    Check(!ShownByStyle(consoleStrip), "a parked strip is hidden");

    RunOnWorker(ShowConsole, 500);
    Check(IsWindowVisible(GetConsoleWindow()) != FALSE, "console window shown again");
    CheckNumber(1, OverlaysIn(GetConsoleWindow()).size(), "console overlay back in the console window");
    CheckNumber(1, OverlaysIn(shell.tab).size(), "tab overlay stays when the console shows again");
    Check(ShownByStyle(consoleStrip), "the strip shows again with the console");

    // Hidden again, with the strip disabled: the tab overlay lives, so no
    // search retitles the console, and the disabled strip stays hidden.
    RunCommand(plugin, L"/E:N /Q");
    RunOnWorker(HideConsole, 0);
    for (int i = 0; i < 3; i++) RunCommand(plugin, L"/P:T /Q");
    Pump(500);
    CheckNumber(searches, shell.markerTitles, "no search while the tab overlay lives");
    Check(!ShownByStyle(consoleStrip), "a disabled strip stays hidden while the console is hidden");
    RunOnWorker(ShowConsole, 300);

    plugin.shutdownPlugin(0);
    CheckNumber(0, OverlaysIn(shell.tab).size(), "tab overlay destroyed at shutdown");
    CheckNumber(0, OverlaysIn(GetConsoleWindow()).size(), "console overlay destroyed at shutdown");
    FreePluginLibrary(&plugin);
    StopShellWindows(&shell);
}

// Each overlay is compared with what it painted last: a tab of another size
// than the console window costs no paints while nothing changes, and a tab
// that changes its size, also while the console is hidden, gets a strip of
// its new width.
void Repaints() {
    Plugin plugin = {};
    if (!LoadPluginLibrary(&plugin)) return;
    ShellWindows shell = {};
    shell.tabWidth = 1000;
    shell.tabHeight = 620;
    StartShellWindows(&shell);
    CheckNumber(0, plugin.initializePlugin(), "load with a tab of 1000 by 620");
    std::vector<HWND> inTab = OverlaysIn(shell.tab);
    CheckNumber(1, inTab.size(), "tab overlay");
    if (inTab.size() != 1) return;
    HWND strip = inTab[0];
    PumpUntil([&] { return IsWindowVisible(strip) != FALSE; }, 3000);
    Pump(1000);
    int before = OverlayPaintsDispatched();
    Pump(3000);
    CheckNumber(before, OverlayPaintsDispatched(), "no paint in 3 s of nothing changing");

    struct Resize {
        bool consoleHidden;
        int width;
    } resizes[] = {{false, 900}, {true, 800}};
    for (const Resize& r : resizes) {
        if (r.consoleHidden) RunOnWorker(HideConsole, 500);
        SetWindowPos(shell.tab, nullptr, 0, 0, r.width, 620, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        PumpUntil([&] { return PlaceIn(strip, shell.tab).right == r.width; }, 3000);
        CheckNumber(r.width, PlaceIn(strip, shell.tab).right,
                    r.consoleHidden ? "the strip follows the tab, console hidden" : "the strip follows the tab");
    }
    RunOnWorker(ShowConsole, 300);
    plugin.shutdownPlugin(0);
    FreePluginLibrary(&plugin);
    StopShellWindows(&shell);
}

void KeyAndList() {
    Plugin plugin = {};
    if (!LoadPluginLibrary(&plugin)) return;
    CheckNumber(0, plugin.initializePlugin(), "load");
    KeyRecord record = {};
    record.keyCode = 0x1001E;  // Alt-A, no hotkey of ours
    CheckNumber(0, plugin.key(&record), "key result");
    CheckNumber(0x1001E, record.keyCode, "a foreign key goes on to the shell");
    WCHAR tail[] = L"/u *.txt";
    CheckNumber(int(0xFEDCBA98u), plugin.list(tail), "list hands LIST back to the shell");
    Pump(200);
    plugin.shutdownPlugin(0);
    FreePluginLibrary(&plugin);
}


void CommandRuns() {
    ClearStoredSettings();
    Plugin plugin = {};
    if (!LoadPluginLibrary(&plugin)) return;
    CheckNumber(0, plugin.initializePlugin(), "load");
    CheckNumber(0, RunCommand(plugin, L""), "report");
    CheckText(DefaultReport, StandInOutput(), "default report");

    struct Case {
        LPCWSTR tail;
        int result;
        LPCWSTR err;
    } cases[] = {
        {L"/A:63", 1, L"Tickrail plugin: Alpha must be 64 - 255: 63\r\n"},
        {L"/a:1x", 1, L"Tickrail plugin: Bad alpha value: \"/A:1X\"\r\n"},
        {L"/K6:F5", 1, L"Tickrail plugin: Expected colon or digit 1 - 5: \"/K6:F5\"\r\n    /K6:F5\r\n      \u2191\r\n"},
        {L"/D /R", 1, L"Tickrail plugin: Can\u2019t combine /D and /R\r\n"},
        {L"/I:80=Bogus", 1, L"Tickrail plugin: Bad color name: \"BOGUS\"\r\n    /I:80=BOGUS\r\n          \u2191\r\n"},
        {L"foo", 1, L"Tickrail plugin: Syntax error: \"FOO\"\r\n"},
        {L"/P:B /W:2,3 /Q", 0, L""},
    };
    for (const Case& c : cases) {
        CheckNumber(c.result, RunCommand(plugin, c.tail), Utf8(c.tail).c_str());
        CheckText(c.err, StandInError(), Utf8(c.tail).c_str());
    }
    // Messages that quote a long argument come whole: Wine's formatter, like
    // the shell's, takes at most 1024 characters at a time.
    std::wstring letters(1001, L'X');
    std::wstring longTail = L"/B:" + letters;
    CheckNumber(1, RunCommand(plugin, longTail.c_str()), "long colour name");
    CheckText(L"Tickrail plugin: Bad color name: \"" + longTail + L"\"\r\n    " + longTail + L"\r\n       \u2191\r\n",
              StandInError(), "long colour name message");
    std::wstring endsAtTheLastPosition(8191, L'Y');
    CheckNumber(1, RunCommand(plugin, (endsAtTheLastPosition + L" ").c_str()), "argument at the buffer's end");
    CheckText(L"Tickrail plugin: Syntax error: \"" + endsAtTheLastPosition + L"\"\r\n", StandInError(),
              "argument at the buffer's end, quoted whole");

    CheckNumber(0, RunCommand(plugin, L"/?"), "help");
    CheckText(ExpectedHelpText(), StandInOutput(), "help text written");
    CheckNumber(0, RunCommand(plugin, L"/L"), "hotkey list");
    int lines = 0;
    for (LPCWSTR p = StandInOutput(); *p; p++) lines += *p == L'\n';
    CheckNumber(72, lines, "one line per key of the version 24 table");

    // The strip moved to the bottom by /P:B above.
    PumpUntil([] {
        std::vector<HWND> strips = OverlaysIn(GetConsoleWindow());
        return strips.size() == 1 && PlaceIn(strips[0], GetConsoleWindow()).top == 383;
    }, 3000);
    std::vector<HWND> overlays = OverlaysIn(GetConsoleWindow());
    if (overlays.size() == 1) CheckNumber(383, PlaceIn(overlays[0], GetConsoleWindow()).top, "strip at the bottom");
    plugin.shutdownPlugin(0);
    FreePluginLibrary(&plugin);
}

void RegistryRoundTrip() {
    ClearStoredSettings();
    Plugin plugin = {};
    if (!LoadPluginLibrary(&plugin)) return;
    CheckNumber(0, plugin.initializePlugin(), "load");
    CheckNumber(0, RunCommand(plugin, L"/A:100 /I:80=RED /K2:ctrl-f1 /M2:9 /S"), "save to HKCU");
    CheckText(L"\r\nSettings saved to the registry (HKCU\\Software\\OrvexPlugins\\Tickrail).\r\n",
              std::wstring(StandInOutput()).substr(std::wstring(StandInOutput()).rfind(L"\r\n\r\nSettings") + 2),
              "save message");
    struct Stored {
        LPCWSTR name;
        DWORD value;
    } stored[] = {{L"Hotkey", 0x10088}, {L"Alpha", 100}, {L"Alt Columns Count", 1}, {L"Alt Column #1", 80},
                  {L"Alt Columns Color", 0x0000FF}, {L"Hotkey #2", 0x1005E}, {L"Hotkey Mode #2", 9},
                  {L"Hook LIST", 1}, {L"Position", 0}};
    for (const Stored& v : stored) {
        DWORD value = 0xBAD;
        Check(StoredDword(HKEY_CURRENT_USER, v.name, &value), Utf8(v.name).c_str(), "not stored as a DWORD");
        CheckNumber(v.value, value, Utf8(v.name).c_str());
    }
    DWORD value;
    Check(!StoredDword(HKEY_CURRENT_USER, L"Pen Width 2", &value), "no Pen Width 2 when both widths agree");
    Check(!StoredDword(HKEY_CURRENT_USER, L"Tickrail Color 00", &value), "no default tickrail colour");
    Check(!StoredDword(HKEY_CURRENT_USER, L"Hotkey #3", &value), "no empty slot");

    CheckNumber(0, RunCommand(plugin, L"/U:N /Z:Y"), "start-up settings");
    Check(StoredDword(HKEY_CURRENT_USER, L"Hook LIST", &value) && value == 0, "Hook LIST 0 stored");
    Check(StoredDword(HKEY_CURRENT_USER, L"Hidden at Startup", &value) && value == 1, "Hidden at Startup 1 stored");
    CheckNumber(0, RunCommand(plugin, L"/S! /Q"), "save to HKLM");
    Check(StoredDword(HKEY_LOCAL_MACHINE, L"Alpha", &value) && value == 100, "HKLM holds the settings");
    plugin.shutdownPlugin(0);
    FreePluginLibrary(&plugin);

    // The next load takes them, without LIST and hidden at start-up.
    if (!LoadPluginLibrary(&plugin)) return;
    CheckNumber(0, plugin.initializePlugin(), "load from the registry");
    CheckText(L"tickrail,*key", plugin.getPluginInfo()->functions, "LIST not offered");
    CheckNumber(0, RunCommand(plugin, L"/Q /R"), "restore");
    CheckNumber(0, RunCommand(plugin, L""), "report");
    std::wstring report = StandInOutput();
    Check(report.find(L"/E : 0 \t\t(No)") != std::wstring::npos, "hidden at start-up", Visible(report));
    Check(report.find(L"/I : Red \tat 80\r\n") != std::wstring::npos, "column mark restored", Visible(report));
    Check(report.find(L"/K2: Ctrl-F1") != std::wstring::npos, "second hotkey restored", Visible(report));
    Pump(300);
    std::vector<HWND> overlays = OverlaysIn(GetConsoleWindow());
    Check(overlays.size() == 1 && !IsWindowVisible(overlays[0]), "strip hidden at start-up");
    plugin.shutdownPlugin(0);
    FreePluginLibrary(&plugin);

    // A key that cannot be written: its parent is volatile.
    ClearStoredSettings();
    HKEY parent;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\OrvexPlugins", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                    nullptr, &parent, nullptr);
    RegCloseKey(parent);
    if (!LoadPluginLibrary(&plugin)) return;
    CheckNumber(0, plugin.initializePlugin(), "load");
    CheckNumber(2, RunCommand(plugin, L"/S /Q"), "save under a volatile key fails");
    CheckText(L"\r\n", StandInOutput(), "a blank line on standard output");
    CheckText(L"Tickrail plugin: Error saving settings to the registry (HKCU\\Software\\OrvexPlugins\\Tickrail) :\r\n" +
                  SystemText(1021) + L"\r\n",
              StandInError(), "save failure");
    plugin.shutdownPlugin(0);
    FreePluginLibrary(&plugin);
    ClearStoredSettings();
}

void PressModifiers(bool down) {
    INPUT inputs[2] = {};
    WORD keys[2] = {VK_CONTROL, VK_SHIFT};
    for (int i = 0; i < 2; i++) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = keys[i];
        inputs[i].ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    }
    SendInput(2, inputs, sizeof(INPUT));
    PumpUntil([down] {
        return ((GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0) == down && ((GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0) == down;
    }, 2000);
}

void HotkeyCycle() {
    ClearStoredSettings();
    Plugin plugin = {};
    if (!LoadPluginLibrary(&plugin)) return;
    CheckNumber(0, plugin.initializePlugin(), "load");
    std::vector<HWND> overlays = OverlaysIn(GetConsoleWindow());
    CheckNumber(1, overlays.size(), "console overlay");
    if (overlays.size() != 1) return;
    HWND strip = overlays[0];
    auto top = [strip] { return PlaceIn(strip, GetConsoleWindow()).top; };
    PumpUntil([strip] { return IsWindowVisible(strip) != FALSE; }, 3000);

    // Shift-F12 with mode 1: Top, Bottom, hidden, Top.
    const struct {
        bool visible;
        LONG top;
    } expected[] = {{true, 383}, {false, 383}, {true, 0}};
    for (const auto& e : expected) {
        KeyRecord record = {};
        record.keyCode = 0x10088;
        CheckNumber(0, plugin.key(&record), "key result");
        CheckNumber(0, record.keyCode, "hotkey swallowed");
        PumpUntil([&] { return (IsWindowVisible(strip) != FALSE) == e.visible && (!e.visible || top() == e.top); },
                  2000);
        Check((IsWindowVisible(strip) != FALSE) == e.visible, "strip shown or hidden by the hotkey");
        if (e.visible) CheckNumber(e.top, top(), "strip edge after the hotkey");
    }

    // Ctrl and Shift held, as the system sees them, make Shift-F1 Ctrl-Shift-F1.
    CheckNumber(0, RunCommand(plugin, L"/K2:ctrl-shift-f1 /M2:10 /Q"), "second hotkey");
    PressModifiers(true);
    Check((GetAsyncKeyState(VK_CONTROL) & 0x8000) && (GetAsyncKeyState(VK_SHIFT) & 0x8000),
          "the system sees Ctrl and Shift held");
    KeyRecord shifted = {};
    shifted.keyCode = 0x10054;
    plugin.key(&shifted);
    PressModifiers(false);
    CheckNumber(0, shifted.keyCode, "Ctrl-Shift-F1 swallowed");
    PumpUntil([strip] { return !IsWindowVisible(strip); }, 2000);
    Check(!IsWindowVisible(strip), "mode 10 hides the strip");

    // LIST moves the strip down three rows with /U; a call without a key
    // puts it back.
    CheckNumber(0, RunCommand(plugin, L"/E:Y /Q"), "show");
    WCHAR tail[] = L"/u *.txt";
    CheckNumber(int(0xFEDCBA98u), plugin.list(tail), "list hands LIST back to the shell");
    PumpUntil([&] { return top() == 48; }, 2000);
    CheckNumber(48, top(), "three rows down during LIST");
    KeyRecord none = {};
    plugin.key(&none);
    PumpUntil([&] { return top() == 0; }, 2000);
    CheckNumber(0, top(), "back after LIST");
    plugin.shutdownPlugin(0);
    FreePluginLibrary(&plugin);
}

struct Group {
    const char* name;
    void (*run)();
};

const Group Groups[] = {
    {"load", LoadAndUnload},     {"version", VersionGate}, {"failures", StartupFailures},
    {"usage", UsageAndHelp},     {"tab", TabOverlay},      {"hidden", HiddenConsole},
    {"keys", KeyAndList},        {"command", CommandRuns}, {"registry", RegistryRoundTrip},
    {"hotkeys", HotkeyCycle},    {"soak", Soak},           {"resource", VersionResource},
    {"repaints", Repaints},
};

}  // namespace

int main(int argc, char** argv) {
    StartReport();
    if (argc != 2) {
        Report("usage: harness GROUP\n");
        return 2;
    }
    const Group* group = nullptr;
    for (const Group& g : Groups)
        if (strcmp(g.name, argv[1]) == 0) group = &g;
    if (!group) {
        Report(std::string("unknown group ") + argv[1] + "\n");
        return 2;
    }
    // A console of our own, with a real console window.
    FreeConsole();
    if (!AllocConsole() || !GetConsoleWindow()) {
        Report("no console window: Wine needs an X display\n0 passed, 1 failed\n");
        return 1;
    }
    group->run();
    return FinishReport(group->name);
}
