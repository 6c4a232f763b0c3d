// Texts that the plug-in writes, shared by the tests against the simulated
// Windows and the end-to-end tests under Wine.
#pragma once

// TICKRAIL without options after the defaults, in colour-key mode on a
// console whose background is colour 0.
const wchar_t DefaultReport[] =
    L"\r\nTickrail v1.0.2 options:\r\n\n"
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
