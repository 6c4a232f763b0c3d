// The real tickrail.dll as the shell loads it, through its exports: what
// only a real system can show. It loads and frees the library, reads its
// version resource, starts it without a console, counts the process's
// windows and handles across a long session, and hands it inputs that end
// right before a page that cannot be read.
//
// Where Wine differs: it answers 0 to GetGuiResources and
// GetProcessHandleCount, so handles are counted by probing their values.
#include <cstdint>
#include <cstring>
#include <string>

#include "expected_texts.h"
#include "real_dll.h"
#include "standin.h"
#include "test_support.h"

namespace {

class RealDll : public ::testing::Test {
protected:
    void SetUp() override { ResetPlatform(); }
    void TearDown() override { FreeLibraryOf(); }

    void LoadLibraryOf() { ASSERT_TRUE(LoadTickrailDll(&dll)) << "tickrail.dll and every export by its plain name"; }
    void FreeLibraryOf() { FreeTickrailDll(&dll); }
    int Command(LPCWSTR tail) {
        ClearOutput();
        std::wstring copy = tail;
        return dll.command(&copy[0]);
    }
    bool ClassOfDllRegistered() {
        WNDCLASSEXW info = {};
        info.cbSize = sizeof info;
        return GetClassInfoExW(dll.module, OverlayClassName().c_str(), &info) != FALSE;
    }

    TickrailDll dll = {};
};

TEST_F(RealDll, LoadsStartsStopsAndStartsAgain) {
    for (int round = 1; round <= 2; round++) {
        SCOPED_TRACE(round);
        ResetPlatform();  // a fresh library meets a shell in its start state
        ASSERT_NO_FATAL_FAILURE(LoadLibraryOf());
        PluginInfoRecord* info = dll.getPluginInfo();
        EXPECT_EQ(info, dll.getPluginInfo()) << "the same record twice";
        EXPECT_STREQ(L"" TICKRAIL_NAME, info->name);
        EXPECT_STREQ(L"" TICKRAIL_DESCRIPTION, info->description);
        EXPECT_STREQ(StartFunctionList, info->functions);
        EXPECT_EQ(TICKRAIL_VERSION_MAJOR, info->majorVersion);
        EXPECT_EQ(TICKRAIL_VERSION_MINOR, info->minorVersion);
        EXPECT_EQ(TICKRAIL_VERSION_BUILD, info->build);

        EXPECT_EQ(0, dll.initializePlugin());
        EXPECT_EQ(LoadMessage, StdOutText());
        EXPECT_EQ(L"", StdErrText());
        EXPECT_TRUE(ClassOfDllRegistered());
        std::vector<HWND> overlays = OverlaysIn(GetConsoleWindow());
        ASSERT_EQ(1u, overlays.size());
        HWND overlay = overlays[0];
        WCHAR title[64] = L"";
        GetWindowTextW(overlay, title, 64);
        EXPECT_STREQ(OVERLAY_TITLE, title);
        EXPECT_EQ(0x08080020u, DWORD(GetWindowLongPtrW(overlay, GWL_EXSTYLE)) & ~DWORD(WS_EX_TOPMOST));
        EXPECT_TRUE(GetWindowLongPtrW(overlay, GWL_STYLE) & WS_CHILD);
        EXPECT_FALSE(IsWindowVisible(overlay)) << "invisible right after the load";
        Layered layered = LayeredOf(overlay);
        EXPECT_TRUE(layered.set);
        EXPECT_EQ(128, layered.alpha);
        EXPECT_EQ(DWORD(LWA_ALPHA), layered.flags);
        EXPECT_EQ(GetConsoleWindow(), GetAncestor(overlay, GA_PARENT));
        EXPECT_TRUE(RunMessagesUntil([&] { return IsWindowVisible(overlay) != FALSE; })) << "the timer paints it";
        EXPECT_EQ(1u, OverlaysIn(GetConsoleWindow()).size());

        EXPECT_EQ(0, dll.shutdownPlugin(0));
        EXPECT_EQ(0u, OverlaysIn(GetConsoleWindow()).size());
        EXPECT_FALSE(ClassOfDllRegistered());
        RunMessages(300);  // no timer may fire into a stopped plug-in
        EXPECT_FALSE(QuitSeen());

        // The shell may start the plug-in again in the library it kept.
        EXPECT_EQ(0, dll.initializePlugin());
        std::vector<HWND> again = OverlaysIn(GetConsoleWindow());
        ASSERT_EQ(1u, again.size());
        EXPECT_TRUE(RunMessagesUntil([&] { return IsWindowVisible(again[0]) != FALSE; }));
        dll.shutdownPlugin(0);
        FreeLibraryOf();
    }
}

// What Windows shows in the DLL's properties.
TEST_F(RealDll, VersionResourceNamesTheVersion) {
    ASSERT_NO_FATAL_FAILURE(LoadLibraryOf());
    WCHAR path[MAX_PATH];
    GetModuleFileNameW(dll.module, path, MAX_PATH);
    DWORD ignored;
    DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    ASSERT_GT(size, 0u) << "the DLL has version information";
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed);
    EXPECT_EQ(DWORD(TICKRAIL_VERSION_MAJOR << 16 | TICKRAIL_VERSION_MINOR), fixed->dwFileVersionMS);
    EXPECT_EQ(DWORD(TICKRAIL_VERSION_BUILD << 16 | TICKRAIL_VERSION_REVISION), fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
    EXPECT_EQ(DWORD(TICKRAIL_VERSION_BUILD << 16), fixed->dwProductVersionLS);
    // The file version is the one TICKRAIL /?? shows.
    WCHAR fileVersion[32];
    wsprintfW(fileVersion, L"%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
              HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
    WCHAR tail[] = L"/??";
    ClearOutput();
    EXPECT_EQ(0, dll.command(tail));
    EXPECT_NE(std::wstring::npos, StdOutText().find(L"  " + std::wstring(fileVersion) + L" (x64)\r\n"));
    EXPECT_EQ(DWORD(VFT_DLL), fixed->dwFileType);
    struct Text {
        LPCWSTR name;
        LPCWSTR expected;
    } texts[] = {
        {L"FileVersion", fileVersion},
        {L"ProductVersion", L"" TICKRAIL_VERSION_TEXT},
        {L"ProductName", L"" TICKRAIL_NAME},
        {L"FileDescription", L"" TICKRAIL_DESCRIPTION},
        {L"CompanyName", L"" TICKRAIL_AUTHOR},
        {L"LegalCopyright", L"Copyright (c) 2026 The Tickrail developers; MIT licence"},
        {L"OriginalFilename", L"tickrail.dll"},
        {L"InternalName", L"tickrail"},
    };
    for (const Text& t : texts) {
        std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + t.name;
        LPWSTR value = nullptr;
        bool found = VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) && value;
        EXPECT_EQ(std::wstring(t.expected), found ? value : L"(none)") << Narrow(t.name);
    }
}

TEST_F(RealDll, StartupWithoutAConsoleFailsAndLeavesNothing) {
    ASSERT_NO_FATAL_FAILURE(LoadLibraryOf());
    dll.getPluginInfo();
    FreeConsole();
    int result = dll.initializePlugin();
    std::wstring error = StdErrText();
    AllocConsole();
    EXPECT_EQ(1, result);
    const std::wstring head = L"Tickrail plugin: Failed to open console buffer:\r\n  ";
    const std::wstring tail = L"\r\nPlugin not loaded.\r\n";
    EXPECT_EQ(head, error.substr(0, head.size()));
    EXPECT_GT(error.size(), head.size() + tail.size()) << "the system's reason";
    EXPECT_EQ(tail, error.substr(error.size() - std::min(error.size(), tail.size())));
    EXPECT_FALSE(ClassOfDllRegistered());
    EXPECT_EQ(L"", StdOutText());
}

// The shell's other calls, through the exports.
TEST_F(RealDll, ExportsAnswerTheShell) {
    ASSERT_NO_FATAL_FAILURE(LoadLibraryOf());
    ASSERT_EQ(0, dll.initializePlugin());
    KeyRecord record = {};
    record.keyCode = 0x1001E;  // Alt-A, no hotkey of ours
    EXPECT_EQ(0, dll.key(&record));
    EXPECT_EQ(0x1001E, record.keyCode) << "a foreign key goes on to the shell";
    WCHAR tail[] = L"/u *.txt";
    EXPECT_EQ(int(0xFEDCBA98u), dll.list(tail)) << "LIST goes back to the shell";
    EXPECT_EQ(0, Command(L""));
    EXPECT_EQ(DefaultReport, StdOutText());
    EXPECT_EQ(1, Command(L"/A:63"));
    EXPECT_EQ(L"Tickrail plugin: Alpha must be 64 - 255: 63\r\n", StdErrText());
    WCHAR out[TextCapacity];
    WCHAR name[] = L"TickRail";
    EXPECT_EQ(1, dll.usage(name, out));
    EXPECT_EQ(ExpectedUsageText(), out);
    dll.shutdownPlugin(0);
}

// ---------------------------------------------------------------------------
// A long session: a hundred loads and unloads, five thousand paint
// requests, and seeded random command tails, key records and LIST tails.

const int LoadRounds = 100;
const int PaintRequests = 5000;
const int RandomTails = 1500;
const int RandomKeys = 3000;
const int RandomListTails = 500;

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

TEST_F(RealDll, SoakLeavesNoWindowHandleOrClassBehind) {
    HWND main = MakeShellWindow(nullptr, L"TakeCommandMain", L"Take Command", 1000, 700);
    HWND tab = MakeShellWindow(main, L"TabPage", L"Take Command", 640, 400);
    SetHwndAnswer(main);  // each load finds the shell's tab window and makes its overlay
    FollowConsoleTitle(tab, 0);
    ASSERT_NO_FATAL_FAILURE(LoadLibraryOf());
    // A first round opens what the system keeps open afterwards.
    dll.initializePlugin();
    RunMessages(300);
    dll.shutdownPlugin(0);
    RunMessages(100);
    int windowsBefore = OwnWindowCount();
    int handlesBefore = OpenHandleCount();

    for (int round = 0; round < LoadRounds; round++) {
        ClearOutput();
        ASSERT_EQ(0, dll.initializePlugin()) << "load " << round;
        RunMessages(round % 10 == 0 ? 250 : 20);
        dll.shutdownPlugin(0);
    }
    ASSERT_EQ(0, dll.initializePlugin());
    EXPECT_EQ(1u, OverlaysIn(tab).size()) << "a strip in the shell's tab";
    for (int i = 0; i < PaintRequests; i++) {
        KeyRecord none = {};  // a call without a key asks for a repaint
        dll.key(&none);
        if (i % 50 == 0) RunMessages(1);
    }
    RunMessages(300);

    GuardedPage page = MakeGuardedPage();
    EXPECT_TRUE(IsBadReadPtr(page.base + 3 * page.pageSize, 1)) << "the page after each input cannot be read";
    uint32_t seed = 1977;
    for (int i = 0; i < RandomTails; i++) {
        int result = dll.command(PlaceBeforeGuard(page, RandomTail(&seed)));
        ASSERT_TRUE(result >= 0 && result <= 2) << "a command result of 0, 1 or 2";
        ClearOutput();
        if (i % 100 == 0) RunMessages(1);
    }
    GuardedPage namePage = MakeGuardedPage();
    for (int i = 0; i < RandomKeys; i++) {
        KeyRecord record = {};
        record.keyCode = Next(&seed) % 2 ? int(Next(&seed)) : 0;
        if (Next(&seed) % 2) record.keyName = PlaceBeforeGuard(namePage, RandomTail(&seed).substr(0, 40));
        dll.key(PlaceRecordBeforeGuard(page, record));
    }
    for (int i = 0; i < RandomListTails; i++)
        ASSERT_EQ(int(0xFEDCBA98u), dll.list(PlaceBeforeGuard(page, RandomTail(&seed)))) << "LIST goes back";
    RunMessages(300);
    dll.shutdownPlugin(0);
    RunMessages(100);

    EXPECT_EQ(windowsBefore, OwnWindowCount()) << "the process's windows after the session";
    EXPECT_EQ(handlesBefore, OpenHandleCount()) << "the process's handles after the session";
    EXPECT_FALSE(ClassOfDllRegistered()) << "the overlay class is gone";
    VirtualFree(page.base, 0, MEM_RELEASE);
    VirtualFree(namePage.base, 0, MEM_RELEASE);
}

}  // namespace
