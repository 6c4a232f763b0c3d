#include "registry.h"

#include <algorithm>
#include <cwctype>
#include <map>

#include "kernel.h"
#include "sim.h"

namespace {

struct Value {
    std::wstring name;
    DWORD type;
    std::vector<BYTE> data;
};

struct Key {
    std::vector<Value> values;
};

struct OpenKey {
    std::wstring path;  // root and path, upper-cased
    bool writable;
};

struct RegistryState {
    std::map<std::wstring, Key> keys;
    std::map<uintptr_t, OpenKey> open;
    uintptr_t nextHandle = 0x4000;
};

RegistryState* state = new RegistryState;

std::wstring Upper(const std::wstring& text) {
    std::wstring upper = text;
    for (auto& c : upper) c = wchar_t(towupper(wint_t(c)));
    return upper;
}

std::wstring KeyPath(HKEY root, const std::wstring& path) {
    return (root == HKEY_CURRENT_USER ? L"HKCU\\" : root == HKEY_LOCAL_MACHINE ? L"HKLM\\" : L"?\\") + Upper(path);
}

Value* FindValue(Key& key, LPCWSTR name) {
    for (Value& v : key.values)
        if (Upper(v.name) == Upper(name ? name : L"")) return &v;
    return nullptr;
}

HKEY NewHandle(const std::wstring& path, bool writable) {
    uintptr_t handle = state->nextHandle += 4;
    state->open[handle] = {path, writable};
    return reinterpret_cast<HKEY>(handle);
}

OpenKey* FindOpen(HKEY key) {
    auto found = state->open.find(reinterpret_cast<uintptr_t>(key));
    return found == state->open.end() ? nullptr : &found->second;
}

}  // namespace

// Reserved arguments and options the plug-in never uses must be 0, as
// Windows asks.
LSTATUS RegOpenKeyExW(HKEY root, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result) {
    DWORD error;
    if (options != 0) return ERROR_INVALID_PARAMETER;
    if (sim::TakeFailure(sim::Call::RegOpenKey, &error)) return LSTATUS(error);
    std::wstring path = KeyPath(root, subKey);
    if (!state->keys.count(path)) return ERROR_FILE_NOT_FOUND;
    *result = NewHandle(path, (access & KEY_SET_VALUE) != 0);
    return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyExW(HKEY root, LPCWSTR subKey, DWORD reserved, LPWSTR, DWORD, REGSAM access,
                        LPSECURITY_ATTRIBUTES, PHKEY result, DWORD* disposition) {
    DWORD error;
    if (reserved != 0) return ERROR_INVALID_PARAMETER;
    if (sim::TakeFailure(sim::Call::RegCreateKey, &error)) return LSTATUS(error);
    std::wstring path = KeyPath(root, subKey);
    bool existed = state->keys.count(path) != 0;
    state->keys[path];
    if (disposition) *disposition = existed ? 2 : 1;  // opened, created
    *result = NewHandle(path, (access & KEY_SET_VALUE) != 0);
    return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExW(HKEY key, LPCWSTR name, DWORD*, DWORD* type, BYTE* data, DWORD* size) {
    OpenKey* open = FindOpen(key);
    if (!open) return ERROR_INVALID_HANDLE;
    Value* value = FindValue(state->keys[open->path], name);
    if (!value) return ERROR_FILE_NOT_FOUND;
    if (type) *type = value->type;
    DWORD needed = DWORD(value->data.size());
    if (data && size && *size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (data) std::copy(value->data.begin(), value->data.end(), data);
    if (size) *size = needed;
    return ERROR_SUCCESS;
}

LSTATUS RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
    if (reserved != 0) return ERROR_INVALID_PARAMETER;
    OpenKey* open = FindOpen(key);
    if (!open) return ERROR_INVALID_HANDLE;
    if (!open->writable) return ERROR_ACCESS_DENIED;
    DWORD error;
    if (sim::TakeFailure(sim::Call::RegSetValue, &error)) return LSTATUS(error);
    Key& k = state->keys[open->path];
    Value* value = FindValue(k, name);
    if (!value) {
        k.values.push_back({name ? name : L"", type, {}});
        value = &k.values.back();
    }
    value->type = type;
    value->data.assign(data, data + size);
    return ERROR_SUCCESS;
}

LSTATUS RegDeleteValueW(HKEY key, LPCWSTR name) {
    OpenKey* open = FindOpen(key);
    if (!open) return ERROR_INVALID_HANDLE;
    if (!open->writable) return ERROR_ACCESS_DENIED;
    Key& k = state->keys[open->path];
    Value* value = FindValue(k, name);
    if (!value) return ERROR_FILE_NOT_FOUND;
    k.values.erase(k.values.begin() + (value - k.values.data()));
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key) {
    return state->open.erase(reinterpret_cast<uintptr_t>(key)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LSTATUS RegDeleteTreeW(HKEY root, LPCWSTR subKey) {
    std::wstring path = KeyPath(root, subKey);
    size_t erased = 0;
    for (auto k = state->keys.begin(); k != state->keys.end();) {
        bool inside = k->first == path || k->first.compare(0, path.size() + 1, path + L"\\") == 0;
        if (inside) erased++;
        k = inside ? state->keys.erase(k) : std::next(k);
    }
    return erased ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LSTATUS RegEnumValueW(HKEY key, DWORD index, LPWSTR name, DWORD* nameSize, DWORD*, DWORD* type, BYTE*, DWORD*) {
    OpenKey* open = FindOpen(key);
    if (!open) return ERROR_INVALID_HANDLE;
    const Key& k = state->keys[open->path];
    if (index >= k.values.size()) return ERROR_NO_MORE_ITEMS;
    const Value& value = k.values[index];
    if (value.name.size() + 1 > *nameSize) return ERROR_MORE_DATA;
    lstrcpyW(name, value.name.c_str());
    *nameSize = DWORD(value.name.size());
    if (type) *type = value.type;
    return ERROR_SUCCESS;
}

namespace sim {

void RegistrySetValue(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type,
                      const std::vector<BYTE>& data) {
    Key& k = state->keys[KeyPath(root, path)];
    if (Value* v = FindValue(k, name.c_str())) {
        v->type = type;
        v->data = data;
    } else {
        k.values.push_back({name, type, data});
    }
}

void RegistrySetDword(HKEY root, const std::wstring& path, const std::wstring& name, DWORD value) {
    RegistrySetValue(root, path, name, REG_DWORD, {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)});
}

void RegistrySetString(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& value) {
    std::vector<BYTE> bytes;
    for (wchar_t c : value) {
        bytes.push_back(BYTE(c));
        bytes.push_back(BYTE(c >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    RegistrySetValue(root, path, name, REG_SZ, bytes);
}

bool RegistryGetDword(HKEY root, const std::wstring& path, const std::wstring& name, DWORD* value) {
    auto found = state->keys.find(KeyPath(root, path));
    if (found == state->keys.end()) return false;
    Value* v = FindValue(found->second, name.c_str());
    if (!v || v->type != REG_DWORD || v->data.size() != 4) return false;
    *value = DWORD(v->data[0]) | DWORD(v->data[1]) << 8 | DWORD(v->data[2]) << 16 | DWORD(v->data[3]) << 24;
    return true;
}

std::vector<std::wstring> RegistryValueNames(HKEY root, const std::wstring& path) {
    std::vector<std::wstring> names;
    auto found = state->keys.find(KeyPath(root, path));
    if (found != state->keys.end())
        for (const Value& v : found->second.values) names.push_back(v.name);
    return names;
}

bool RegistryKeyExists(HKEY root, const std::wstring& path) { return state->keys.count(KeyPath(root, path)) != 0; }
int OpenRegistryKeys() { return int(state->open.size()); }
void ResetRegistry() { *state = RegistryState(); }

}  // namespace sim
