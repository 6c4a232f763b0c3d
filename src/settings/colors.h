// Colour values: ColorRef is 0x00BBGGRR (red in the low byte); names and
// "#" text use 0xRRGGBB.
#pragma once

#include "settings.h"

const int ColorNameCount = 140;

// Packed to 4 bytes, as the key tables are: no padding after each value.
#pragma pack(push, 4)
struct ColorName {
    LPCWSTR name;
    DWORD rgb;
};
#pragma pack(pop)

extern const ColorName ColorNames[ColorNameCount];
struct ConsolePalette {
    COLORREF colors[ConsoleColorCount];
};
// The standard palette, and the console's palette for the $n colour form
// (the standard one until RefreshConsoleColors reads the console's).
extern const ConsolePalette StandardConsolePalette;
extern ConsolePalette consolePalette;
extern COLORREF* const consoleColors;

int ParseUnsignedNumber(LPCWSTR text, DWORD* value, LPCWSTR* end);
int ColorNameToRgb(LPCWSTR text);
LPCWSTR RgbToColorName(DWORD rgb);
// Turns a ColorRef into 0xRRGGBB and back.
DWORD SwapRedAndBlue(DWORD color);
// The name (or #rrggbb) that the report shows for a ColorRef.
LPCWSTR ColorRefToColorName(COLORREF color);
// The parsers below write their own message and return -1 on an error;
// `argText` is the whole argument, for the arrow under the fault.
int ParseConsoleColorIndex(LPCWSTR text, LPCWSTR argText);
int ParseRgbTriple(LPCWSTR text, LPCWSTR argText);
int ParseColorArgument(LPCWSTR arg, LPCWSTR argText);
int RefreshConsoleColors(void);

