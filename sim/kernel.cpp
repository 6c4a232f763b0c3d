#include "kernel.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

#include "console.h"
#include "shell.h"
#include "sim.h"

namespace {

// Where the system's libraries lie; within 32 bits, so that the same values
// serve where pointers are 32-bit.
const uintptr_t Kernel32Value = 0x76f80000;
const uintptr_t User32Value = 0x76f90000;
const uintptr_t FirstFileHandle = 0x1000;
const int MaxFileHandles = 64;

struct KernelState {
    DWORD lastError;
    DWORD processId;
    DWORD clock;
    int sleepCalls;
    bool hasSetProcessDPIAware;
    bool hasScreenBufferInfoEx;
    int dpiAwareCalls;
    bool fileHandleOpen[MaxFileHandles];
    DWORD fileHandleAccess[MaxFileHandles];
};

KernelState state;

struct SystemMessage {
    DWORD id;
    const wchar_t* text;
};

// Texts as the system keeps them: with their line breaks, some with blanks.
const SystemMessage SystemMessages[] = {
    {ERROR_FILE_NOT_FOUND, L"The system cannot find the file specified.\r\n"},
    {ERROR_ACCESS_DENIED, L"Access is denied.\r\n"},
    {ERROR_INVALID_HANDLE, L"The handle is invalid.\r\n"},
    {ERROR_NOT_ENOUGH_MEMORY, L"Not enough memory resources are available to process this command.\r\n"},
    {ERROR_INVALID_PARAMETER, L"The parameter is incorrect.\r\n"},
    {ERROR_INVALID_WINDOW_HANDLE, L"Invalid window handle.\r\n"},
    {ERROR_CANNOT_FIND_WND_CLASS, L"Cannot find window class.\r\n"},
    {ERROR_CLASS_ALREADY_EXISTS, L"Class already exists.\r\n"},
    {ERROR_CLASS_HAS_WINDOWS, L"Class still has open windows.\r\n"},
    {1021, L"Cannot create a stable subkey under a volatile parent key.\r\n"},
    {1450, L"Insufficient system resources exist to complete\r\nthe requested service.  \t\r\n"},
    {4000, L" \t\r\n"},  // a text of white space only
};

HMODULE Kernel32Module() { return reinterpret_cast<HMODULE>(Kernel32Value); }
HMODULE User32Module() { return reinterpret_cast<HMODULE>(User32Value); }

bool EqualsIgnoreCase(LPCWSTR a, LPCWSTR b) {
    for (;; ++a, ++b) {
        wchar_t ca = *a >= L'A' && *a <= L'Z' ? *a + 32 : *a;
        wchar_t cb = *b >= L'A' && *b <= L'Z' ? *b + 32 : *b;
        if (ca != cb) return false;
        if (ca == 0) return true;
    }
}

}  // namespace

HMODULE GetModuleHandleW(LPCWSTR moduleName) {
    if (moduleName && EqualsIgnoreCase(moduleName, L"kernel32.dll")) return Kernel32Module();
    if (moduleName && EqualsIgnoreCase(moduleName, L"user32.dll")) return User32Module();
    state.lastError = ERROR_FILE_NOT_FOUND;
    return nullptr;
}

BOOL SetProcessDPIAware(void) {
    state.dpiAwareCalls++;
    return TRUE;
}


FARPROC GetProcAddress(HMODULE module, LPCSTR procName) {
    if (module == User32Module() && state.hasSetProcessDPIAware &&
        std::strcmp(procName, "SetProcessDPIAware") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&SetProcessDPIAware));
    if (module == Kernel32Module() && state.hasScreenBufferInfoEx &&
        std::strcmp(procName, "GetConsoleScreenBufferInfoEx") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&GetConsoleScreenBufferInfoEx));
    state.lastError = 127;  // ERROR_PROC_NOT_FOUND
    return nullptr;
}

DWORD GetLastError(void) { return state.lastError; }
void SetLastError(DWORD error) { state.lastError = error; }
DWORD GetCurrentProcessId(void) { return state.processId; }

void Sleep(DWORD milliseconds) {
    state.sleepCalls++;
    sim::AdvanceClock(milliseconds);
}

HANDLE GetStdHandle(DWORD which) {
    if (which == STD_OUTPUT_HANDLE) return sim::StdOutputHandle();
    if (which == STD_ERROR_HANDLE) return sim::StdErrorHandle();
    return reinterpret_cast<HANDLE>(uintptr_t(0x10));
}

HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD disposition,
                   DWORD, HANDLE) {
    DWORD error;
    if (sim::TakeFailure(sim::Call::CreateFile, &error)) {
        state.lastError = error;
        return INVALID_HANDLE_VALUE;
    }
    // Only the console's screen buffer exists in this world.
    if (!name || !EqualsIgnoreCase(name, L"conout$") || disposition != OPEN_EXISTING ||
        (access & ~(GENERIC_READ | GENERIC_WRITE)) != 0) {
        state.lastError = ERROR_FILE_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    for (int i = 0; i < MaxFileHandles; i++) {
        if (!state.fileHandleOpen[i]) {
            state.fileHandleOpen[i] = true;
            state.fileHandleAccess[i] = access;
            state.lastError = 0;
            return reinterpret_cast<HANDLE>(FirstFileHandle + 4 * i);
        }
    }
    state.lastError = 4;  // ERROR_TOO_MANY_OPEN_FILES
    return INVALID_HANDLE_VALUE;
}

namespace sim {
bool IsConsoleHandle(HANDLE handle, DWORD access) {
    uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    if (value < FirstFileHandle || (value - FirstFileHandle) % 4 != 0) return false;
    uintptr_t index = (value - FirstFileHandle) / 4;
    return index < MaxFileHandles && state.fileHandleOpen[index] &&
           (state.fileHandleAccess[index] & access) == access;
}
}  // namespace sim

BOOL CloseHandle(HANDLE handle) {
    if (!sim::IsConsoleHandle(handle)) {
        state.lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    state.fileHandleOpen[(reinterpret_cast<uintptr_t>(handle) - FirstFileHandle) / 4] = false;
    return TRUE;
}

DWORD GetFileAttributesW(LPCWSTR fileName) {
    char path[4096];
    sim::ToUtf8(fileName, path, sizeof path);
    struct stat info;
    if (stat(path, &info) != 0) {
        state.lastError = ERROR_FILE_NOT_FOUND;
        return INVALID_FILE_ATTRIBUTES;
    }
    if (S_ISDIR(info.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) return FILE_ATTRIBUTE_DEVICE;
    return FILE_ATTRIBUTE_ARCHIVE;
}

DWORD FormatMessageW(DWORD flags, const void*, DWORD messageId, DWORD language, LPWSTR buffer, DWORD size,
                     va_list*) {
    const wchar_t* text = nullptr;
    for (const SystemMessage& message : SystemMessages)
        if (message.id == messageId) text = message.text;
    // The messages are in one language, found by the default search order
    // (language 0) only.
    if (!(flags & FORMAT_MESSAGE_FROM_SYSTEM) || !text || language != 0) {
        state.lastError = ERROR_MR_MID_NOT_FOUND;
        return 0;
    }
    std::wstring result;
    for (const wchar_t* p = text; *p; p++) {
        // With a maximum width the system joins the lines: each line break
        // becomes one blank.
        if ((flags & FORMAT_MESSAGE_MAX_WIDTH_MASK) && p[0] == L'\r' && p[1] == L'\n') {
            result += L' ';
            p++;
        } else {
            result += *p;
        }
    }
    if (result.size() + 1 > size) {
        state.lastError = 122;  // ERROR_INSUFFICIENT_BUFFER
        return 0;
    }
    std::wcscpy(buffer, result.c_str());
    return DWORD(result.size());
}

namespace {

std::wstring Trim(const std::wstring& text) {
    size_t first = text.find_first_not_of(L" \t\r");
    if (first == std::wstring::npos) return L"";
    size_t last = text.find_last_not_of(L" \t\r");
    return text.substr(first, last - first + 1);
}

bool SameName(const std::wstring& a, LPCWSTR b) { return EqualsIgnoreCase(a.c_str(), b); }

}  // namespace

// Reads an ASCII or UTF-8 INI file; section and key names ignore case,
// values are trimmed and lose one pair of enclosing quotes.
DWORD GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR defaultText, LPWSTR out,
                               DWORD size, LPCWSTR fileName) {
    std::wstring value = defaultText ? defaultText : L"";
    char path[4096];
    sim::ToUtf8(fileName, path, sizeof path);
    if (FILE* file = std::fopen(path, "rb")) {
        std::wstring currentSection;
        char line[4096];
        bool found = false;
        while (!found && std::fgets(line, sizeof line, file)) {
            wchar_t wide[4096];
            size_t n = 0;
            for (const char* p = line; *p && *p != '\n' && n + 1 < 4096; p++)
                wide[n++] = static_cast<unsigned char>(*p);
            wide[n] = 0;
            std::wstring text = Trim(wide);
            if (text.empty() || text[0] == L';') continue;
            if (text[0] == L'[') {
                size_t close = text.find(L']');
                currentSection = Trim(text.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1));
                continue;
            }
            size_t equals = text.find(L'=');
            if (equals == std::wstring::npos || !SameName(currentSection, section)) continue;
            if (SameName(Trim(text.substr(0, equals)), key)) {
                value = Trim(text.substr(equals + 1));
                if (value.size() >= 2 && (value[0] == L'"' || value[0] == L'\'') &&
                    value.back() == value[0])
                    value = value.substr(1, value.size() - 2);
                found = true;
            }
        }
        std::fclose(file);
    }
    if (size == 0) return 0;
    if (value.size() > size - 1) value.resize(size - 1);
    std::wcscpy(out, value.c_str());
    return DWORD(value.size());
}

namespace sim {

void SetHasSetProcessDPIAware(bool present) { state.hasSetProcessDPIAware = present; }
void SetHasConsoleScreenBufferInfoEx(bool present) { state.hasScreenBufferInfoEx = present; }
int SetProcessDPIAwareCalls() { return state.dpiAwareCalls; }
DWORD Now() { return state.clock; }
int SleepCalls() { return state.sleepCalls; }

void AdvanceClock(DWORD milliseconds) {
    state.clock += milliseconds;
    ShellAct();
}

HANDLE StdOutputHandle() { return reinterpret_cast<HANDLE>(uintptr_t(0x14)); }
HANDLE StdErrorHandle() { return reinterpret_cast<HANDLE>(uintptr_t(0x18)); }

int OpenHandles() {
    int count = 0;
    for (bool open : state.fileHandleOpen) count += open;
    return count;
}

std::wstring WideText(const std::string& utf8) {
    std::wstring out;
    for (size_t i = 0; i < utf8.size();) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        int extra = c >= 0xF0 && c < 0xF8 ? 3 : c >= 0xE0 && c < 0xF0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : 0;
        unsigned long code = extra ? c & (0x3F >> extra) : c;
        size_t k = 1;
        for (; k <= size_t(extra) && i + k < utf8.size() && (utf8[i + k] & 0xC0) == 0x80; k++)
            code = code << 6 | (utf8[i + k] & 0x3F);
        bool whole = k == size_t(extra) + 1;
        // A broken sequence, or a byte that starts none, stands for itself as U+FFFD.
        if (!whole || (extra == 0 && c >= 0x80) || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) code = 0xFFFD;
        i += whole ? k : std::max<size_t>(1, k);
        if (code >= 0x10000) {
            out += wchar_t(0xD800 + ((code - 0x10000) >> 10));
            out += wchar_t(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            out += wchar_t(code);
        }
    }
    return out;
}

std::string Utf8Text(const std::wstring& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        unsigned long c = static_cast<unsigned long>(text[i]) & 0xFFFF;
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && (text[i + 1] & 0xFC00) == 0xDC00)
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<unsigned long>(text[++i]) & 0x3FF);
        else if (c >= 0xD800 && c < 0xE000)
            c = 0xFFFD;  // half of a pair
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | c >> 6);
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | c >> 12);
            out += char(0x80 | (c >> 6 & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | c >> 18);
            out += char(0x80 | (c >> 12 & 0x3F));
            out += char(0x80 | (c >> 6 & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

void ToUtf8(LPCWSTR text, char* out, size_t size) {
    if (!size) return;
    std::string utf8 = Utf8Text(text ? text : L"");
    size_t n = std::min(utf8.size(), size - 1);
    while (n < utf8.size() && n > 0 && (utf8[n] & 0xC0) == 0x80) n--;
    std::memcpy(out, utf8.data(), n);
    out[n] = 0;
}

void ResetKernel() {
    state = KernelState();
    state.processId = 0x1A2C;
    state.clock = 1000;
    state.hasSetProcessDPIAware = true;
    state.hasScreenBufferInfoEx = true;
}

}  // namespace sim

LPWSTR lstrcpyW(LPWSTR destination, LPCWSTR source) { return std::wcscpy(destination, source); }

LPWSTR lstrcpynW(LPWSTR destination, LPCWSTR source, int capacity) {
    if (capacity <= 0) return destination;
    int i = 0;
    for (; i < capacity - 1 && source[i]; i++) destination[i] = source[i];
    destination[i] = 0;
    return destination;
}

int lstrlenW(LPCWSTR text) { return text ? int(std::wcslen(text)) : 0; }

LPWSTR lstrcatW(LPWSTR destination, LPCWSTR source) { return std::wcscat(destination, source); }
