// Colour values: the named colours, the console palette, and the parsers
// for the command's colour forms (name, #rrggbb, r,g,b and $index).
#include "colors.h"

#include <cstddef>

#include "plugin/plugin.h"
#include "plugin/text.h"

// Names and values as CSS gives them, in alphabetical order; values are
// 0xRRGGBB. Where two names share a value the first one names it.
const ColorName ColorNames[ColorNameCount] = {
    {L"AliceBlue", 0xF0F8FF},
    {L"AntiqueWhite", 0xFAEBD7},
    {L"Aqua", 0x00FFFF},
    {L"Aquamarine", 0x7FFFD4},
    {L"Azure", 0xF0FFFF},
    {L"Beige", 0xF5F5DC},
    {L"Bisque", 0xFFE4C4},
    {L"Black", 0x000000},
    {L"BlanchedAlmond", 0xFFEBCD},
    {L"Blue", 0x0000FF},
    {L"BlueViolet", 0x8A2BE2},
    {L"Brown", 0xA52A2A},
    {L"BurlyWood", 0xDEB887},
    {L"CadetBlue", 0x5F9EA0},
    {L"Chartreuse", 0x7FFF00},
    {L"Chocolate", 0xD2691E},
    {L"Coral", 0xFF7F50},
    {L"CornflowerBlue", 0x6495ED},
    {L"Cornsilk", 0xFFF8DC},
    {L"Crimson", 0xDC143C},
    {L"Cyan", 0x00FFFF},
    {L"DarkBlue", 0x00008B},
    {L"DarkCyan", 0x008B8B},
    {L"DarkGoldenrod", 0xB8860B},
    {L"DarkGray", 0xA9A9A9},
    {L"DarkGreen", 0x006400},
    {L"DarkKhaki", 0xBDB76B},
    {L"DarkMagenta", 0x8B008B},
    {L"DarkOliveGreen", 0x556B2F},
    {L"DarkOrange", 0xFF8C00},
    {L"DarkOrchid", 0x9932CC},
    {L"DarkRed", 0x8B0000},
    {L"DarkSalmon", 0xE9967A},
    {L"DarkSeaGreen", 0x8FBC8F},
    {L"DarkSlateBlue", 0x483D8B},
    {L"DarkSlateGray", 0x2F4F4F},
    {L"DarkTurquoise", 0x00CED1},
    {L"DarkViolet", 0x9400D3},
    {L"DeepPink", 0xFF1493},
    {L"DeepSkyBlue", 0x00BFFF},
    {L"DimGray", 0x696969},
    {L"DodgerBlue", 0x1E90FF},
    {L"FireBrick", 0xB22222},
    {L"FloralWhite", 0xFFFAF0},
    {L"ForestGreen", 0x228B22},
    {L"Fuchsia", 0xFF00FF},
    {L"Gainsboro", 0xDCDCDC},
    {L"GhostWhite", 0xF8F8FF},
    {L"Gold", 0xFFD700},
    {L"Goldenrod", 0xDAA520},
    {L"Gray", 0x808080},
    {L"Green", 0x008000},
    {L"GreenYellow", 0xADFF2F},
    {L"Honeydew", 0xF0FFF0},
    {L"Hotpink", 0xFF69B4},
    {L"IndianRed", 0xCD5C5C},
    {L"Indigo", 0x4B0082},
    {L"Ivory", 0xFFFFF0},
    {L"Khaki", 0xF0E68C},
    {L"Lavender", 0xE6E6FA},
    {L"LavenderBlush", 0xFFF0F5},
    {L"LawnGreen", 0x7CFC00},
    {L"LemonChiffon", 0xFFFACD},
    {L"LightBlue", 0xADD8E6},
    {L"LightCoral", 0xF08080},
    {L"LightCyan", 0xE0FFFF},
    {L"LightGoldenrodYellow", 0xFAFAD2},
    {L"LightGray", 0xD3D3D3},
    {L"LightGreen", 0x90EE90},
    {L"LightPink", 0xFFB6C1},
    {L"LightSalmon", 0xFFA07A},
    {L"LightSeaGreen", 0x20B2AA},
    {L"LightSkyBlue", 0x87CEFA},
    {L"LightSlateGray", 0x778899},
    {L"LightSteelBlue", 0xB0C4DE},
    {L"LightYellow", 0xFFFFE0},
    {L"Lime", 0x00FF00},
    {L"LimeGreen", 0x32CD32},
    {L"Linen", 0xFAF0E6},
    {L"Magenta", 0xFF00FF},
    {L"Maroon", 0x800000},
    {L"MediumAquaMarine", 0x66CDAA},
    {L"MediumBlue", 0x0000CD},
    {L"MediumOrchid", 0xBA55D3},
    {L"MediumPurple", 0x9370DB},
    {L"MediumSeaGreen", 0x3CB371},
    {L"MediumSlateBlue", 0x7B68EE},
    {L"MediumSpringGreen", 0x00FA9A},
    {L"MediumTurquoise", 0x48D1CC},
    {L"MediumVioletRed", 0xC71585},
    {L"MidnightBlue", 0x191970},
    {L"MintCream", 0xF5FFFA},
    {L"MistyRose", 0xFFE4E1},
    {L"Moccasin", 0xFFE4B5},
    {L"NavajoWhite", 0xFFDEAD},
    {L"Navy", 0x000080},
    {L"OldLace", 0xFDF5E6},
    {L"Olive", 0x808000},
    {L"OliveDrab", 0x6B8E23},
    {L"Orange", 0xFFA500},
    {L"OrangeRed", 0xFF4500},
    {L"Orchid", 0xDA70D6},
    {L"PaleGoldenrod", 0xEEE8AA},
    {L"PaleGreen", 0x98FB98},
    {L"PaleTurquoise", 0xAFEEEE},
    {L"PaleVioletRed", 0xDB7093},
    {L"PapayaWhip", 0xFFEFD5},
    {L"PeachPuff", 0xFFDAB9},
    {L"Peru", 0xCD853F},
    {L"Pink", 0xFFC0CB},
    {L"Plum", 0xDDA0DD},
    {L"PowderBlue", 0xB0E0E6},
    {L"Purple", 0x800080},
    {L"Red", 0xFF0000},
    {L"RosyBrown", 0xBC8F8F},
    {L"RoyalBlue", 0x4169E1},
    {L"SaddleBrown", 0x8B4513},
    {L"Salmon", 0xFA8072},
    {L"SandyBrown", 0xF4A460},
    {L"SeaGreen", 0x2E8B57},
    {L"Seashell", 0xFFF5EE},
    {L"Sienna", 0xA0522D},
    {L"Silver", 0xC0C0C0},
    {L"SkyBlue", 0x87CEEB},
    {L"SlateBlue", 0x6A5ACD},
    {L"SlateGray", 0x708090},
    {L"Snow", 0xFFFAFA},
    {L"SpringGreen", 0x00FF7F},
    {L"SteelBlue", 0x4682B4},
    {L"Tan", 0xD2B48C},
    {L"Teal", 0x008080},
    {L"Thistle", 0xD8BFD8},
    {L"Tomato", 0xFF6347},
    {L"Turquoise", 0x40E0D0},
    {L"Violet", 0xEE82EE},
    {L"Wheat", 0xF5DEB3},
    {L"White", 0xFFFFFF},
    {L"WhiteSmoke", 0xF5F5F5},
    {L"Yellow", 0xFFFF00},
    {L"YellowGreen", 0x9ACD32},
};

// The classic console palette, by colour index; the console's own palette
// starts as it.
constexpr ConsolePalette StandardConsolePalette = {{
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
}};

ConsolePalette consolePalette = StandardConsolePalette;
COLORREF* const consoleColors = consolePalette.colors;

namespace {

const int MaxColorKeyLength = 20;
const DWORD MaxColorComponent = 255;

struct ComponentMessages {
    LPCWSTR missing;
    LPCWSTR bad;
    LPCWSTR outOfRange;
};

const ComponentMessages TripleMessages[3] = {
    {L"Missing red value\r\n", L"Bad red value:\r\n", L"Red value must be 0 - 255: %u\r\n"},
    {L"Missing green value\r\n", L"Bad green value:\r\n", L"Green value must be 0 - 255: %u\r\n"},
    {L"Missing blue value\r\n", L"Bad blue value:\r\n", L"Blue value must be 0 - 255: %u\r\n"},
};

// "#rrggbb" or "#rgb" running to the end of the text; -1 otherwise.
int ParseHashColor(LPCWSTR text) {
    LPCWSTR first = text + 1;
    LPCWSTR end;
    DWORD value;
    // Only 3 or 6 digits count, so an overflow of longer runs does not matter.
    ConvertUnsigned(first, 16, &value, &end);
    if (*end) return -1;
    ptrdiff_t digits = end - first;
    if (digits == 6) return int(value);
    if (digits == 3) {
        DWORD r = (value >> 8) & 0xF, g = (value >> 4) & 0xF, b = value & 0xF;
        return int((r * 0x11) << 16 | (g * 0x11) << 8 | b * 0x11);
    }
    return -1;
}

// GREY reads as GRAY: an E between G, R and Y of the text itself.
bool IsGreyE(LPCWSTR text, size_t i) {
    return i >= 2 && UpperAscii(text[i]) == L'E' && UpperAscii(text[i - 2]) == L'G' &&
           UpperAscii(text[i - 1]) == L'R' && UpperAscii(text[i + 1]) == L'Y';
}

}  // namespace

int ParseUnsignedNumber(LPCWSTR text, DWORD* value, LPCWSTR* end) {
    LPCWSTR digits;
    int base;
    if (text[0] == L'0' && (text[1] == L'x' || text[1] == L'X') && IsHexDigit(text[2])) {
        digits = text + 2;
        base = 16;
    } else if (IsDecimalDigit(text[0])) {
        digits = text;
        base = 10;
    } else {
        return -1;
    }
    DWORD number;
    LPCWSTR after;
    if (!ConvertUnsigned(digits, base, &number, &after)) return -1;
    if (!end && *after) return -1;
    *value = number;
    if (end) *end = after;
    return 0;
}

int ColorNameToRgb(LPCWSTR text) {
    if (text[0] == L'#') {
        int value = ParseHashColor(text);
        if (value >= 0) return value;
    }
    WCHAR key[MaxColorKeyLength + 1];
    int length = 0;
    for (size_t i = 0; text[i]; i++) {
        WCHAR c = UpperAscii(text[i]);
        if (IsWhiteSpace(c) || c == L'-' || c == L'_') continue;
        if (IsGreyE(text, i)) c = L'A';
        if (length < MaxColorKeyLength) key[length++] = c;
    }
    key[length] = 0;  // an empty key names nothing
    for (const ColorName& color : ColorNames)
        if (EqualsIgnoreAsciiCase(color.name, key)) return int(color.rgb);
    return -1;
}

DWORD SwapRedAndBlue(DWORD color) { return (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF); }

LPCWSTR ColorRefToColorName(COLORREF color) { return RgbToColorName(SwapRedAndBlue(color)); }

LPCWSTR RgbToColorName(DWORD rgb) {
    for (const ColorName& color : ColorNames)
        if (color.rgb == rgb) return color.name;
    static WCHAR hashText[16];
    wsprintfW(hashText, L"#%06x", rgb);
    return hashText;
}

int ParseConsoleColorIndex(LPCWSTR text, LPCWSTR argText) {
    LPCWSTR number = text + 1;
    DWORD index;
    if (ParseUnsignedNumber(number, &index, nullptr) != 0)
        return ReportArgumentError(argText, number, L"Bad console color index: \"%s\"\r\n", text);
    if (index >= DWORD(ConsoleColorCount))
        return ReportArgumentError(argText, number, L"Console color index must be 0 - 15: %u\r\n", index);
    return int(consoleColors[index]);
}

int ParseRgbTriple(LPCWSTR text, LPCWSTR argText) {
    DWORD components[3];
    LPCWSTR start = text;
    for (int k = 0; k < 3; k++) {
        const ComponentMessages& messages = TripleMessages[k];
        if (*start == L',' || *start == 0) return ReportArgumentError(argText, start, messages.missing);
        LPCWSTR end;
        if (ParseUnsignedNumber(start, &components[k], &end) != 0) return ReportArgumentError(argText, start, messages.bad);
        if (components[k] > MaxColorComponent)
            return ReportArgumentError(argText, start, messages.outOfRange, components[k]);
        if (k < 2) {
            if (*end != L',') return ReportArgumentError(argText, end, L"Expected a comma:\r\n");
            start = end + 1;
        } else if (*end) {
            return ReportArgumentError(argText, end, L"Syntax error: \"%s\"\r\n", end);
        }
    }
    return int(components[0] | components[1] << 8 | components[2] << 16);
}

int ParseColorArgument(LPCWSTR arg, LPCWSTR argText) {
    LPCWSTR value = arg;
    if (*value == L'/') {
        value++;
        if (IsAsciiLetter(*value)) value++;
        if (*value == L':' || *value == L'=') value++;
    }
    if (*value == L'$') return ParseConsoleColorIndex(value, argText);
    if (wcschr(value, L',')) return ParseRgbTriple(value, argText);
    int rgb = ColorNameToRgb(value);
    if (rgb < 0) return ReportArgumentError(argText, value, L"Bad color name: \"%s\"\r\n", arg);
    return int(SwapRedAndBlue(DWORD(rgb)));
}

int RefreshConsoleColors(void) {
    consolePalette = StandardConsolePalette;
    if (!PluginState.getScreenBufferInfoEx) return 0;
    CONSOLE_SCREEN_BUFFER_INFOEX info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    // A size left at zero is what marks a failed call.
    PluginState.getScreenBufferInfoEx(PluginState.consoleOutput, &info);
    if (info.dwSize.X == 0 || info.dwSize.Y == 0) return 0;
    for (int i = 0; i < ConsoleColorCount; i++) consoleColors[i] = info.ColorTable[i];
    return 1;
}

