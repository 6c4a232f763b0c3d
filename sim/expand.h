// The shell's variable references as the plug-in uses them: "%name" (letters,
// digits, "_" and "$") and "%[name]". Shared by the simulated shell and the
// stand-in shell library of the end-to-end tests.
#pragma once

#include <string>

// Replaces each reference by lookup(name); an unknown name gives "".
template <typename Lookup>
std::wstring ExpandReferences(const wchar_t* text, Lookup lookup) {
    auto isNameChar = [](wchar_t c) {
        return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'_' ||
               c == L'$';
    };
    std::wstring result;
    for (const wchar_t* p = text; *p;) {
        if (*p != L'%') {
            result += *p++;
            continue;
        }
        std::wstring name;
        if (p[1] == L'[') {
            const wchar_t* close = p + 2;
            while (*close && *close != L']') close++;
            if (!*close) {
                result += *p++;
                continue;
            }
            name.assign(p + 2, close);
            p = close + 1;
        } else {
            for (p++; isNameChar(*p); p++) name += *p;
        }
        result += lookup(name);
    }
    return result;
}
