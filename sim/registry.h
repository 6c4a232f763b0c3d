// Simulated ADVAPI32 registry: keys under HKCU and HKLM held in memory,
// values with their types, handles that must be closed, and failures a test
// can inject.
#pragma once

#include <string>
#include <vector>

#include "types.h"

#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)((LONG)0x80000001))
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)((LONG)0x80000002))

#define REG_NONE 0
#define REG_SZ 1
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_OPTION_NON_VOLATILE 0
#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_READ 0x20019
#define ERROR_MORE_DATA 234L
#define ERROR_NO_MORE_ITEMS 259L

typedef LONG LSTATUS;
typedef DWORD REGSAM;
typedef HKEY* PHKEY;

LSTATUS RegOpenKeyExW(HKEY root, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result);
LSTATUS RegCreateKeyExW(HKEY root, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options,
                        REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result, DWORD* disposition);
LSTATUS RegQueryValueExW(HKEY key, LPCWSTR name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size);
LSTATUS RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
LSTATUS RegDeleteValueW(HKEY key, LPCWSTR name);
LSTATUS RegCloseKey(HKEY key);
LSTATUS RegDeleteTreeW(HKEY root, LPCWSTR subKey);
LSTATUS RegEnumValueW(HKEY key, DWORD index, LPWSTR name, DWORD* nameSize, DWORD* reserved, DWORD* type,
                      BYTE* data, DWORD* dataSize);

namespace sim {

// A value of any type and size, as a hostile key might hold it.
void RegistrySetValue(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type,
                      const std::vector<BYTE>& data);
void RegistrySetDword(HKEY root, const std::wstring& path, const std::wstring& name, DWORD value);
void RegistrySetString(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& value);
bool RegistryGetDword(HKEY root, const std::wstring& path, const std::wstring& name, DWORD* value);
// The value names under a key, in the order they were first written.
std::vector<std::wstring> RegistryValueNames(HKEY root, const std::wstring& path);
bool RegistryKeyExists(HKEY root, const std::wstring& path);
int OpenRegistryKeys();

}  // namespace sim
