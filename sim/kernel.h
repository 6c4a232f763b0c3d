// Simulated KERNEL32: modules, last error, process id, clock and Sleep,
// file handles for the console, file attributes, system message texts and
// private-profile (INI) reading.
#pragma once

#include <cstring>
#include <string>

#include "types.h"

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_MR_MID_NOT_FOUND 317L
#define ERROR_INVALID_WINDOW_HANDLE 1400L
#define ERROR_CANNOT_FIND_WND_CLASS 1407L
#define ERROR_CLASS_ALREADY_EXISTS 1410L
#define ERROR_CLASS_DOES_NOT_EXIST 1411L
#define ERROR_CLASS_HAS_WINDOWS 1412L

#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)
#define STD_INPUT_HANDLE ((DWORD)-10)
#define STD_OUTPUT_HANDLE ((DWORD)-11)
#define STD_ERROR_HANDLE ((DWORD)-12)

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x1
#define FILE_SHARE_WRITE 0x2
#define OPEN_EXISTING 3

#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define FILE_ATTRIBUTE_DIRECTORY 0x10
#define FILE_ATTRIBUTE_ARCHIVE 0x20
#define FILE_ATTRIBUTE_DEVICE 0x40

#define FORMAT_MESSAGE_IGNORE_INSERTS 0x200
#define FORMAT_MESSAGE_FROM_SYSTEM 0x1000
#define FORMAT_MESSAGE_MAX_WIDTH_MASK 0xFF

#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1

HMODULE GetModuleHandleW(LPCWSTR moduleName);
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
DWORD GetLastError(void);
void SetLastError(DWORD error);
DWORD GetCurrentProcessId(void);
void Sleep(DWORD milliseconds);
HANDLE GetStdHandle(DWORD which);
HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                   DWORD disposition, DWORD flags, HANDLE templateFile);
BOOL CloseHandle(HANDLE handle);
DWORD GetFileAttributesW(LPCWSTR fileName);
DWORD FormatMessageW(DWORD flags, const void* source, DWORD messageId, DWORD languageId,
                     LPWSTR buffer, DWORD size, va_list* arguments);
DWORD GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR defaultText,
                               LPWSTR out, DWORD size, LPCWSTR fileName);
BOOL SetProcessDPIAware(void);

namespace sim {

// Whether GetProcAddress finds the optional functions.
void SetHasSetProcessDPIAware(bool present);
void SetHasConsoleScreenBufferInfoEx(bool present);
int SetProcessDPIAwareCalls();

DWORD Now();                    // the virtual clock, in milliseconds
void AdvanceClock(DWORD milliseconds);
int SleepCalls();

HANDLE StdOutputHandle();
HANDLE StdErrorHandle();
int OpenHandles();              // handles from CreateFileW not yet closed

// Text across UTF-8 (files, the page, diagnostics) and UTF-16 code units in
// wchar_t, as the shell hands them to the plug-in; a broken sequence or half
// a pair stands as U+FFFD.
std::wstring WideText(const std::string& utf8);
std::string Utf8Text(const std::wstring& text);
// The same into a buffer of `size` bytes, cut at a character's start.
void ToUtf8(LPCWSTR text, char* out, size_t size);

}  // namespace sim

#define ZeroMemory(destination, length) memset((destination), 0, (length))
LPWSTR lstrcpyW(LPWSTR destination, LPCWSTR source);
LPWSTR lstrcpynW(LPWSTR destination, LPCWSTR source, int capacity);
int lstrlenW(LPCWSTR text);
LPWSTR lstrcatW(LPWSTR destination, LPCWSTR source);
