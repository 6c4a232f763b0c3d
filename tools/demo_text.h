// What the demo's console shows unless it is given a text of its own: a
// short directory listing, a ruler numbered by tens, and what was typed at
// the prompt then (the plug-in's load when nothing). Shared by the simulated
// demo and the picture of the real DLL under Wine.
#pragma once

#include <string>
#include <vector>

inline std::vector<std::wstring> DemoConsoleText(int columns, std::vector<std::wstring> typed) {
    std::vector<std::wstring> lines = {L"C:\\work> dir /b", L"build", L"docs", L"src", L"README.md",
                                       L"C:\\work> type ruler.txt"};
    std::wstring tens, units;
    for (int column = 1; column <= columns; column++) {
        tens += column % 10 == 0 ? wchar_t(L'0' + column / 10 % 10) : L' ';
        units += wchar_t(L'0' + column % 10);
    }
    lines.push_back(tens);
    lines.push_back(units);
    if (typed.empty()) typed.push_back(L"plugin /l tickrail.dll");
    for (const std::wstring& line : typed) lines.push_back(L"C:\\work> " + line);
    return lines;
}
