// Windows base types for the simulated platform. Sizes follow 64-bit Windows
// (LONG and DWORD are 32 bits, handles and LPARAM are pointer-sized); only
// wchar_t differs, which the plug-in is written not to care about.
#pragma once

#include <cstddef>
#include <cstdarg>
#include <cstdint>
#include <cwchar>

#define WINAPI
#define CALLBACK
#define APIENTRY

typedef int BOOL;
typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int16_t SHORT;
typedef int INT;
typedef unsigned int UINT;
typedef wchar_t WCHAR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef const char* LPCSTR;
typedef void* LPVOID;
typedef void* HANDLE;
typedef intptr_t INT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t UINT_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef WORD ATOM;
typedef DWORD COLORREF;
typedef BYTE BOOLEAN;

#define DECLARE_SIM_HANDLE(name) \
    struct name##__ { int unused; }; \
    typedef struct name##__* name

DECLARE_SIM_HANDLE(HWND);
DECLARE_SIM_HANDLE(HINSTANCE);
DECLARE_SIM_HANDLE(HMONITOR);
DECLARE_SIM_HANDLE(HDC);
DECLARE_SIM_HANDLE(HKEY);
DECLARE_SIM_HANDLE(HICON);
DECLARE_SIM_HANDLE(HBRUSH);
DECLARE_SIM_HANDLE(HMENU);
DECLARE_SIM_HANDLE(HPEN);
typedef HINSTANCE HMODULE;
typedef HICON HCURSOR;
typedef void* HGDIOBJ;

typedef INT_PTR (*FARPROC)();

#define TRUE 1
#define FALSE 0
#define MAX_PATH 260

typedef struct tagRECT {
    LONG left, top, right, bottom;
} RECT, *LPRECT;

typedef struct tagPOINT {
    LONG x, y;
} POINT, *LPPOINT;

typedef struct _SECURITY_ATTRIBUTES SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

#define MAKEINTATOM(a) ((LPCWSTR)(ULONG_PTR)(WORD)(a))
