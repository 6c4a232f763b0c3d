#include "kit_win32.h"

#include <fcntl.h>
#include <io.h>
#include <stdio.h>

#include <vector>

#include "test_platform.h"

namespace {

const char SavedFileHeader[] = "Tickrail test kit: saved settings keys, version 1\n";

// ---- The settings' keys, saved and put back ----

struct SavedValue {
    std::wstring key;  // below the settings' key; empty for the key itself
    std::wstring name;
    DWORD type;
    std::vector<BYTE> data;
};

struct SavedRoot {
    HKEY root;
    bool parentPresent, keyPresent;
    std::vector<std::wstring> keys;  // the settings' key and its subkeys, parents first
    std::vector<SavedValue> values;
};

const char* RootName(HKEY root) { return root == HKEY_LOCAL_MACHINE ? "HKLM" : "HKCU"; }

std::wstring Below(const std::wstring& key) { return key.empty() ? SettingsPath : SettingsPath + (L"\\" + key); }

void CaptureKey(HKEY root, const std::wstring& relative, SavedRoot* saved) {
    HKEY key;
    if (RegOpenKeyExW(root, Below(relative).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    saved->keys.push_back(relative);
    DWORD subkeys = 0, longestKey = 0, values = 0, longestName = 0, longestData = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, &longestKey, nullptr, &values, &longestName,
                     &longestData, nullptr, nullptr);
    for (DWORD i = 0; i < values; i++) {
        std::vector<WCHAR> name(longestName + 1);
        SavedValue value = {relative, L"", 0, std::vector<BYTE>(longestData + 1)};
        DWORD nameLength = DWORD(name.size()), dataLength = DWORD(value.data.size());
        if (RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &value.type, value.data.data(), &dataLength) !=
            ERROR_SUCCESS)
            continue;
        value.name.assign(name.data(), nameLength);
        value.data.resize(dataLength);
        saved->values.push_back(value);
    }
    std::vector<std::wstring> children;
    for (DWORD i = 0; i < subkeys; i++) {
        std::vector<WCHAR> name(longestKey + 1);
        DWORD length = DWORD(name.size());
        if (RegEnumKeyExW(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
            children.emplace_back(name.data(), length);
    }
    RegCloseKey(key);
    for (const std::wstring& child : children) CaptureKey(root, relative.empty() ? child : relative + L"\\" + child, saved);
}

SavedRoot Capture(HKEY root) {
    SavedRoot saved = {root, KeyExists(root, SettingsParentPath), false, {}, {}};
    CaptureKey(root, L"", &saved);
    saved.keyPresent = !saved.keys.empty();
    return saved;
}

void Put(std::string* out, const void* bytes, size_t size) { out->append(static_cast<const char*>(bytes), size); }
void PutNumber(std::string* out, DWORD number) { Put(out, &number, sizeof number); }
void PutText(std::string* out, const std::wstring& text) {
    PutNumber(out, DWORD(text.size()));
    Put(out, text.data(), text.size() * sizeof(WCHAR));
}

std::string Serialized(const std::vector<SavedRoot>& roots) {
    std::string out = SavedFileHeader;
    PutNumber(&out, DWORD(roots.size()));
    for (const SavedRoot& saved : roots) {
        PutNumber(&out, saved.root == HKEY_LOCAL_MACHINE);
        PutNumber(&out, saved.parentPresent);
        PutNumber(&out, DWORD(saved.keys.size()));
        for (const std::wstring& key : saved.keys) PutText(&out, key);
        PutNumber(&out, DWORD(saved.values.size()));
        for (const SavedValue& value : saved.values) {
            PutText(&out, value.key);
            PutText(&out, value.name);
            PutNumber(&out, value.type);
            PutNumber(&out, DWORD(value.data.size()));
            Put(&out, value.data.data(), value.data.size());
        }
    }
    return out;
}

// Reads what Serialized wrote; false for a file cut short or of another kind.
struct Reader {
    const std::string& in;
    size_t at;
    bool Take(void* bytes, size_t size) {
        if (in.size() - at < size) return false;
        memcpy(bytes, in.data() + at, size);
        at += size;
        return true;
    }
    bool Number(DWORD* number) { return Take(number, sizeof *number); }
    bool Text(std::wstring* text) {
        DWORD length;
        if (!Number(&length) || (in.size() - at) / sizeof(WCHAR) < length) return false;
        text->resize(length);
        return Take(&(*text)[0], length * sizeof(WCHAR));
    }
};

bool Parse(const std::string& in, std::vector<SavedRoot>* roots) {
    if (in.compare(0, sizeof SavedFileHeader - 1, SavedFileHeader) != 0) return false;
    Reader reader = {in, sizeof SavedFileHeader - 1};
    DWORD count, machine, parent, keys, values;
    if (!reader.Number(&count) || count > 2) return false;
    for (DWORD r = 0; r < count; r++) {
        if (!reader.Number(&machine) || !reader.Number(&parent) || !reader.Number(&keys) || keys > 4096) return false;
        SavedRoot saved = {machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, parent != 0, keys != 0, {}, {}};
        saved.keys.resize(keys);
        for (std::wstring& key : saved.keys)
            if (!reader.Text(&key)) return false;
        if (!reader.Number(&values)) return false;
        for (DWORD v = 0; v < values; v++) {
            SavedValue value;
            DWORD size;
            if (!reader.Text(&value.key) || !reader.Text(&value.name) || !reader.Number(&value.type) ||
                !reader.Number(&size) || in.size() - reader.at < size)
                return false;
            value.data.resize(size);
            reader.Take(value.data.data(), size);
            saved.values.push_back(value);
        }
        roots->push_back(saved);
    }
    return reader.at == in.size();
}

bool ReadWhole(const std::wstring& file, std::string* bytes) {
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    char buffer[4096];
    DWORD read;
    while (ReadFile(handle, buffer, sizeof buffer, &read, nullptr) && read) bytes->append(buffer, read);
    CloseHandle(handle);
    return true;
}

// Written whole to a file beside it, then moved over it: a run killed while
// saving leaves the earlier save, never half of one.
bool WriteWhole(const std::wstring& file, const std::string& bytes) {
    std::wstring partial = file + L".partial";
    HANDLE handle = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool whole = WriteFile(handle, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size() &&
                 FlushFileBuffers(handle);
    CloseHandle(handle);
    return whole && MoveFileExW(partial.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

bool IsEmptyKey(HKEY root, LPCWSTR path) {
    HKEY key;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD subkeys = 1, values = 1;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(key);
    return subkeys == 0 && values == 0;
}

void PutBack(const SavedRoot& saved) {
    RegDeleteTreeW(saved.root, SettingsPath);
    for (const std::wstring& relative : saved.keys) {
        HKEY key;
        if (RegCreateKeyExW(saved.root, Below(relative).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) ==
            ERROR_SUCCESS)
            RegCloseKey(key);
    }
    for (const SavedValue& value : saved.values) {
        HKEY key;
        if (RegOpenKeyExW(saved.root, Below(value.key).c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) continue;
        RegSetValueExW(key, value.name.c_str(), 0, value.type, value.data.data(), DWORD(value.data.size()));
        RegCloseKey(key);
    }
    // A parent that the cases made goes again, unless another plug-in has
    // put something there since.
    if (!saved.parentPresent && IsEmptyKey(saved.root, SettingsParentPath))
        RegDeleteKeyW(saved.root, SettingsParentPath);
}

std::string Describe(const std::vector<SavedRoot>& roots) {
    std::string text;
    for (const SavedRoot& saved : roots) {
        char line[160];
        if (saved.keyPresent)
            snprintf(line, sizeof line, "%s%s\\Software\\OrvexPlugins\\Tickrail (%u values, %u subkeys)", text.empty() ? "" : ", ",
                     RootName(saved.root), unsigned(saved.values.size()), unsigned(saved.keys.size() - 1));
        else
            snprintf(line, sizeof line, "%s%s\\Software\\OrvexPlugins\\Tickrail (absent)", text.empty() ? "" : ", ",
                     RootName(saved.root));
        text += line;
    }
    return text;
}

// ---- The machine ----

std::string WindowsVersion() {
    typedef LONG(WINAPI * GetVersionProc)(OSVERSIONINFOW*);
    typedef const char*(CDECL * WineVersionProc)(void);
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    // Windows' own numbers: GetVersionEx answers 6.2 to a program without a
    // manifest that names the later versions.
    GetVersionProc getVersion =
        reinterpret_cast<GetVersionProc>(reinterpret_cast<void (*)(void)>(GetProcAddress(ntdll, "RtlGetVersion")));
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!getVersion || getVersion(&info) != 0) return "Windows: version unknown\n";
    char line[200];
    snprintf(line, sizeof line, "Windows: %lu.%lu build %lu%s%s", info.dwMajorVersion, info.dwMinorVersion,
             info.dwBuildNumber, info.szCSDVersion[0] ? " " : "", Narrow(info.szCSDVersion).c_str());
    std::string text = line;
    WineVersionProc wine =
        reinterpret_cast<WineVersionProc>(reinterpret_cast<void (*)(void)>(GetProcAddress(ntdll, "wine_get_version")));
    if (UnderWine()) text += std::string(" (Wine ") + wine() + ")";
    return text + "\n";
}

std::wstring ClassOf(HWND window) {
    WCHAR name[128] = L"";
    GetClassNameW(window, name, 128);
    return name;
}

std::string ConsoleReport() {
    HWND console = GetConsoleWindow();
    if (!console) return "Console host: none (no console window)\n";
    std::string text = UnderPseudoConsole() ? "Console host: pseudo console" : "Console host: classic console window";
    text += " (window class " + Narrow(ClassOf(console)) + ")";
    CONSOLE_FONT_INFO font = {};
    HANDLE output = CreateFileW(L"conout$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    if (GetConsoleScreenBufferInfo(output, &info) && GetCurrentConsoleFont(output, FALSE, &font)) {
        char line[160];
        snprintf(line, sizeof line, ", %d by %d cells of %d by %d pixels",
                 info.srWindow.Right - info.srWindow.Left + 1, info.srWindow.Bottom - info.srWindow.Top + 1,
                 font.dwFontSize.X, font.dwFontSize.Y);
        text += line;
    }
    CloseHandle(output);
    return text + "\n";
}

typedef HRESULT(WINAPI* MonitorDpiProc)(HMONITOR, int, UINT*, UINT*);
MonitorDpiProc monitorDpi;

BOOL CALLBACK DescribeMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM param) {
    std::string* text = reinterpret_cast<std::string*>(param);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    UINT dpiX = 0, dpiY = 0;
    const int EffectiveDpi = 0;
    char dpi[64] = "DPI unknown (before Windows 8.1)";
    if (monitorDpi && monitorDpi(monitor, EffectiveDpi, &dpiX, &dpiY) == S_OK)
        snprintf(dpi, sizeof dpi, "%u DPI (%u%%)", dpiX, dpiX * 100 / 96);
    char line[200];
    const RECT& r = info.rcMonitor;
    snprintf(line, sizeof line, "Monitor: %ld by %ld pixels at (%ld, %ld), %s%s\n", r.right - r.left, r.bottom - r.top,
             r.left, r.top, dpi, info.dwFlags & MONITORINFOF_PRIMARY ? ", primary" : "");
    *text += line;
    return TRUE;
}

std::string MonitorReport() {
    HMODULE shcore = LoadLibraryW(L"shcore.dll");
    monitorDpi = shcore ? reinterpret_cast<MonitorDpiProc>(
                              reinterpret_cast<void (*)(void)>(GetProcAddress(shcore, "GetDpiForMonitor")))
                        : nullptr;
    std::string text;
    EnumDisplayMonitors(nullptr, nullptr, DescribeMonitor, reinterpret_cast<LPARAM>(&text));
    if (shcore) FreeLibrary(shcore);
    return text;
}

std::string AwarenessReport() {
    typedef HANDLE(WINAPI * ContextProc)(void);
    typedef int(WINAPI * AwarenessProc)(HANDLE);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    ContextProc context = reinterpret_cast<ContextProc>(
        reinterpret_cast<void (*)(void)>(GetProcAddress(user32, "GetThreadDpiAwarenessContext")));
    AwarenessProc awareness = reinterpret_cast<AwarenessProc>(
        reinterpret_cast<void (*)(void)>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
    const char* const names[] = {"unaware", "system aware", "per-monitor aware"};
    if (context && awareness) {
        int level = awareness(context());
        if (level >= 0 && level <= 2) return std::string("DPI awareness of the process: ") + names[level] + "\n";
    }
    return std::string("DPI awareness of the process: ") + (IsProcessDPIAware() ? "system aware" : "unaware") +
           " (before Windows 10 1607)\n";
}

// ---- The log ----

HANDLE logFile = INVALID_HANDLE_VALUE;
HANDLE echoOutput;
HANDLE teeThread;
HANDLE pipeRead;

void WriteBoth(const char* bytes, DWORD size) {
    DWORD written;
    WriteFile(logFile, bytes, size, &written, nullptr);
    if (echoOutput && echoOutput != INVALID_HANDLE_VALUE) WriteFile(echoOutput, bytes, size, &written, nullptr);
}

DWORD WINAPI CopyToLog(LPVOID) {
    char buffer[4096];
    DWORD read;
    while (ReadFile(pipeRead, buffer, sizeof buffer, &read, nullptr) && read) WriteBoth(buffer, read);
    return 0;
}

}  // namespace

std::string SaveSettingsKeys(const std::wstring& file) {
    std::vector<SavedRoot> roots = {Capture(HKEY_CURRENT_USER)};
    if (MachineSettingsWritable()) roots.push_back(Capture(HKEY_LOCAL_MACHINE));
    if (!WriteWhole(file, Serialized(roots))) return "Settings keys: cannot save them to " + Narrow(file) + "\n";
    std::string text = "Settings keys saved: " + Describe(roots) + ", to " + Narrow(file) + "\n";
    if (!MachineSettingsWritable())
        text += "HKLM: not writable by this process; the cases that write it are skipped (run as administrator "
                "to include them)\n";
    if (!MachineSettingsWritable() && KeyExists(HKEY_LOCAL_MACHINE, SettingsPath))
        text += "HKLM\\Software\\OrvexPlugins\\Tickrail holds settings that this process cannot clear: the cases "
                "that load without the user's settings read them, and may fail\n";
    return text;
}

std::string RestoreSettingsKeys(const std::wstring& file) {
    std::string bytes;
    if (!ReadWhole(file, &bytes)) return "";
    std::vector<SavedRoot> roots;
    if (!Parse(bytes, &roots)) return "Settings keys: " + Narrow(file) + " is damaged; nothing put back, file kept\n";
    for (const SavedRoot& saved : roots) PutBack(saved);
    std::vector<SavedRoot> now;
    for (const SavedRoot& saved : roots) now.push_back(Capture(saved.root));
    if (Serialized(now) != bytes) return "Settings keys: put back, but they differ from " + Narrow(file) + "; file kept\n";
    DeleteFileW(file.c_str());
    return "Settings keys put back as they were: " + Describe(roots) + "\n";
}

bool UnderWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

bool UnderPseudoConsole() {
    HWND console = GetConsoleWindow();
    return console && ClassOf(console) == L"PseudoConsoleWindow";
}

void SizeConsoleForCases() {
    const SHORT Columns = 80, Rows = 25;
    HANDLE output = CreateFileW(L"conout$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    if (GetConsoleScreenBufferInfo(output, &info) &&
        (info.srWindow.Right - info.srWindow.Left + 1 != Columns || info.srWindow.Bottom - info.srWindow.Top + 1 != Rows)) {
        // The window may not outgrow the buffer, nor the buffer shrink below the window.
        SMALL_RECT tiny = {0, 0, 0, 0};
        SetConsoleWindowInfo(output, TRUE, &tiny);
        COORD buffer = {Columns, info.dwSize.Y > Rows ? info.dwSize.Y : Rows};
        SetConsoleScreenBufferSize(output, buffer);
        SMALL_RECT window = {0, 0, Columns - 1, Rows - 1};
        SetConsoleWindowInfo(output, TRUE, &window);
    }
    CloseHandle(output);
}

std::string MachineReport() { return WindowsVersion() + ConsoleReport() + MonitorReport() + AwarenessReport(); }

bool StartLog(const std::wstring& file) {
    logFile = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    HANDLE pipeWrite;
    if (logFile == INVALID_HANDLE_VALUE || !CreatePipe(&pipeRead, &pipeWrite, nullptr, 0)) return false;
    // Where the program's output went: a copy, as the redirection closes it.
    HANDLE output = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stdout)));
    if (!DuplicateHandle(GetCurrentProcess(), output, GetCurrentProcess(), &echoOutput, 0, FALSE,
                         DUPLICATE_SAME_ACCESS))
        echoOutput = nullptr;
    fflush(stdout);
    fflush(stderr);
    int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(pipeWrite), _O_TEXT);
    _dup2(descriptor, _fileno(stdout));
    _dup2(descriptor, _fileno(stderr));
    _close(descriptor);
    setvbuf(stdout, nullptr, _IONBF, 0);
    teeThread = CreateThread(nullptr, 0, CopyToLog, nullptr, 0, nullptr);
    return teeThread != nullptr;
}

void EndLog(const std::string& lastLine) {
    fflush(stdout);
    fflush(stderr);
    // The pipe ends when its last writer closes.
    _close(_fileno(stdout));
    _close(_fileno(stderr));
    WaitForSingleObject(teeThread, INFINITE);
    CloseHandle(teeThread);
    CloseHandle(pipeRead);
    std::string line = lastLine + "\r\n";
    WriteBoth(line.data(), DWORD(line.size()));
    CloseHandle(logFile);
}
