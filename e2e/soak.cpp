// A long session of the real DLL in one process: a hundred loads and
// unloads, five thousand paint requests, and seeded random command tails,
// key records and LIST tails, each placed to end right before a page that
// cannot be read, so that a read past its end faults. The process's windows,
// handles and the plug-in's class are counted before and after.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "check.h"
#include "host.h"
#include "standin.h"

namespace {

const int LoadRounds = 100;
const int PaintRequests = 5000;
const int RandomTails = 1500;
const int RandomKeys = 3000;
const int RandomListTails = 500;

// Windows under Wine answer 0 to GetGuiResources and GetProcessHandleCount,
// so handles are counted by probing their values.
int OpenHandleCount() {
    int count = 0;
    for (uintptr_t value = 4; value < 0x4000; value += 4) {
        DWORD flags;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) count++;
    }
    return count;
}

BOOL CALLBACK CountDescendant(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

BOOL CALLBACK CountOwnTree(HWND window, LPARAM count) {
    DWORD process;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) return TRUE;
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(window, CountDescendant, count);
    return TRUE;
}

// The process's own windows, the ones inside the console host's window
// among them.
int OwnWindowCount() {
    int count = 0;
    EnumWindows(CountOwnTree, reinterpret_cast<LPARAM>(&count));
    EnumChildWindows(GetConsoleWindow(), CountDescendant, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Two pages, the second one unreadable: text placed at the end of the
// first has its terminator as the page's last character.
struct GuardedPage {
    BYTE* base;
    SIZE_T pageSize;
};

GuardedPage MakeGuardedPage() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    GuardedPage page = {nullptr, info.dwPageSize};
    page.base = static_cast<BYTE*>(VirtualAlloc(nullptr, 4 * page.pageSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD old;
    VirtualProtect(page.base + 3 * page.pageSize, page.pageSize, PAGE_NOACCESS, &old);
    return page;
}

// Copies `text` so that its terminator is the last character before the
// unreadable page; texts longer than the three readable pages are cut.
LPWSTR PlaceBeforeGuard(const GuardedPage& page, const std::wstring& text) {
    size_t room = 3 * page.pageSize / sizeof(WCHAR) - 1;
    size_t length = text.size() < room ? text.size() : room;
    WCHAR* end = reinterpret_cast<WCHAR*>(page.base + 3 * page.pageSize) - 1;
    WCHAR* start = end - length;
    std::memcpy(start, text.data(), length * sizeof(WCHAR));
    *end = 0;
    return start;
}

KeyRecord* PlaceRecordBeforeGuard(const GuardedPage& page, const KeyRecord& record) {
    KeyRecord* placed = reinterpret_cast<KeyRecord*>(page.base + 3 * page.pageSize - sizeof(KeyRecord));
    *placed = record;
    return placed;
}

uint32_t Next(uint32_t* seed) {
    *seed = *seed * 1664525u + 1013904223u;
    return *seed >> 8;
}

// A tail of option pieces, values and odd characters; now and then one of
// thousands of characters.
std::wstring RandomTail(uint32_t* seed) {
    static const wchar_t* const Pieces[] = {
        L"/A:", L"/B:", L"/C:", L"/E:", L"/H:", L"/I:", L"/J:", L"/K2:", L"/M:", L"/O:", L"/P:", L"/U:", L"/W:",
        L"/X:", L"/Z:", L"/Q", L"/L", L"/?", L"/D", L"Red", L"ctrl-shift-f1", L"0x", L"255,0,0", L"$12", L"*10",
        L"#0f8", L",", L"=", L";", L"\"", L" ", L"/", L":", L"\u00d7", L"\u00bd", L"\xd800", L"12", L"999999999999",
    };
    const size_t pieceCount = sizeof Pieces / sizeof Pieces[0];
    std::wstring tail;
    size_t length = Next(seed) % 16 == 0 ? Next(seed) % 9000 : Next(seed) % 60;
    while (tail.size() < length) {
        uint32_t pick = Next(seed);
        if (pick % 4 == 0) tail += wchar_t(1 + pick % 0xFFFE);
        else tail += Pieces[pick % pieceCount];
    }
    return tail;
}

}  // namespace

void Soak() {
    ClearStoredSettings();
    ShellWindows shell = {};
    StartShellWindows(&shell);
    Plugin plugin = {};
    if (!LoadPluginLibrary(&plugin)) return;
    WCHAR answer[32];  // each load finds the shell's tab window and makes its overlay
    wsprintfW(answer, L"%u", unsigned(reinterpret_cast<ULONG_PTR>(shell.main)));
    StandInSetHwndAnswer(answer);
    // A first round opens what the system keeps open afterwards.
    plugin.initializePlugin();
    Pump(300);
    plugin.shutdownPlugin(0);
    Pump(100);
    int windowsBefore = OwnWindowCount();
    int handlesBefore = OpenHandleCount();

    for (int round = 0; round < LoadRounds; round++) {
        StandInClear();
        if (plugin.initializePlugin() != 0) {
            Check(false, "every load succeeds");
            break;
        }
        Pump(round % 10 == 0 ? 250 : 20);
        plugin.shutdownPlugin(0);
    }
    CheckNumber(0, plugin.initializePlugin(), "load for the paints");
    CheckNumber(1, OverlaysIn(shell.tab).size(), "a strip in the shell's tab");
    for (int i = 0; i < PaintRequests; i++) {
        KeyRecord none = {};  // a call without a key asks for a repaint
        plugin.key(&none);
        if (i % 50 == 0) Pump(1);
    }
    Pump(300);

    GuardedPage page = MakeGuardedPage();
    Check(IsBadReadPtr(page.base + 3 * page.pageSize, 1) != FALSE, "the page after each input cannot be read");
    uint32_t seed = 1977;
    for (int i = 0; i < RandomTails; i++) {
        int result = plugin.tickrail(PlaceBeforeGuard(page, RandomTail(&seed)));
        if (result < 0 || result > 2) Check(false, "a command result of 0, 1 or 2");
        StandInClear();
        if (i % 100 == 0) Pump(1);
    }
    GuardedPage namePage = MakeGuardedPage();
    for (int i = 0; i < RandomKeys; i++) {
        KeyRecord record = {};
        record.keyCode = Next(&seed) % 2 ? int(Next(&seed)) : 0;
        if (Next(&seed) % 2) record.keyName = PlaceBeforeGuard(namePage, RandomTail(&seed).substr(0, 40));
        plugin.key(PlaceRecordBeforeGuard(page, record));
    }
    for (int i = 0; i < RandomListTails; i++) {
        int result = plugin.list(PlaceBeforeGuard(page, RandomTail(&seed)));
        if (result != int(0xFEDCBA98u)) Check(false, "LIST goes back to the shell");
    }
    Pump(300);
    plugin.shutdownPlugin(0);
    Pump(100);
    Check(true, "no read past the end of any input");

    CheckNumber(windowsBefore, OwnWindowCount(), "the process's windows after the session");
    CheckNumber(handlesBefore, OpenHandleCount(), "the process's handles after the session");
    Check(!ClassRegistered(plugin.module), "the overlay class is gone");
    VirtualFree(page.base, 0, MEM_RELEASE);
    VirtualFree(namePage.base, 0, MEM_RELEASE);
    FreePluginLibrary(&plugin);
    StopShellWindows(&shell);
    ClearStoredSettings();
}
