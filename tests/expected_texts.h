// Texts that the plug-in writes, and the names it uses, shared by the tests
// against the simulated Windows and the end-to-end tests under Wine.
#pragma once

#include <cstddef>
#include <string>

#include "plugin/version.h"

// The version comes from version.h; the rest of each text is the plug-in's.
#define VERSION_TEXT TICKRAIL_VERSION_TEXT
const wchar_t LoadMessage[] = L"Tickrail v" VERSION_TEXT " loaded; hotkey is Shift-F12.\r\n";
const wchar_t ReportHeading[] = L"\r\nTickrail v" VERSION_TEXT " options:";
const wchar_t SettingsKey[] = L"Software\\OrvexPlugins\\Tickrail";
// The help text, piece by piece; the usage text is all from the second
// piece on.
const wchar_t* const HelpPieces[] = {
    L"View and set tickrail options.\n\n",
    L"TICKRAIL /A: /B: /C: /D /E: /H: /K: /L /M: /P: /Q /R /S /U: /W: /X: /Z: \r\n\n",
    L"\t/A:\tset the tickrail\u2019s alpha transparency (alpha mode)  \n",
    L"\t/B:\tset the tickrail\u2019s background color (alpha mode)  \n",
    L"\t/C:\tset the tickrail color (color-key mode)\n",
    L"\t/D\trestore default plugin settings\n",
    L"\t/E:\tenable or disable (show or hide) the tickrail\n",
    L"\t/H:\tset the color of the hash marks (alpha mode)\n",
    L"\t/K:\tset the hotkey\n",
    L"\t/L\tlist all supported hotkeys\n",
    L"\t/M:\tset the hotkey mode\n",
    L"\t/P:\tset the tickrail\u2019s position\n",
    L"\t/Q\tquietly\n",
    L"\t/R\trestore saved settings from the registry\n",
    L"\t/S\tsave the current settings to the registry\n",
    L"\t/U:\tintercept the LIST command\n",
    L"\t/W:\tset the width of the hash marks\n",
    L"\t/X:\tset the tickrail\u2019s transparency mode\n",
    L"\t/Z:\tset whether the tickrail is hidden at startup\n\n",
    L"TICKRAIL with no options displays the plugin\u2019s current settings.  \n",
};

inline std::wstring ExpectedHelpText(size_t firstPiece = 0) {
    std::wstring text;
    for (size_t i = firstPiece; i < sizeof HelpPieces / sizeof HelpPieces[0]; i++) text += HelpPieces[i];
    return text;
}
inline std::wstring ExpectedUsageText() { return ExpectedHelpText(1); }

// A user's error as the plug-in writes it: the prefix and the message, then,
// where one character is at fault, the argument with an arrow under the
// character at `offset`.
inline std::wstring ErrorText(const std::wstring& message) { return L"Tickrail plugin: " + message; }
inline std::wstring MarkerText(const std::wstring& arg, size_t offset) {
    return L"    " + arg + L"\r\n    " + std::wstring(offset, L' ') + L"\u2191\r\n";
}
inline std::wstring ErrorOutput(const std::wstring& message, const std::wstring& arg, size_t offset) {
    return ErrorText(message) + MarkerText(arg, offset);
}

// TICKRAIL without options after the defaults, in colour-key mode on a
// console whose background is colour 0.
const wchar_t DefaultReport[] =
    L"\r\nTickrail v" VERSION_TEXT " options:\r\n\n"
    L"    Tickrail hotkey #1  . . . . . /K1: Shift-F12\r\n"
    L"    Hotkey mode  #1  . . . . . /M1: 1 \t\t(Top/Bottom/Disable)\r\n"
    L"    Transparency mode  . . . . /X : 0 \t\t(Color key)\r\n"
    L"    Tickrail color  . . . . . . . /C : DeepSkyBlue \t(0,191,255)\r\n"
    L"    Hash marks width . . . . . /W : 1\r\n"
    L"    Tickrail position . . . . . . /P : 0 \t\t(Top)\r\n"
    L"    Currently enabled  . . . . /E : 1 \t\t(Yes)\r\n"
    L"    Hidden at startup  . . . . /Z : 0 *\t\t(No)\r\n"
    L"    Intercept LIST . . . . . . /U : 1 *\t\t(Yes)\r\n"
    L"\r\n"
    L"    * These settings take effect the next time the plugin is loaded.\r\n";
