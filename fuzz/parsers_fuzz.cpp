// The parsers on their own, one target each (FUZZ_COLOR, FUZZ_MARKS,
// FUZZ_HOTKEY_NAME, FUZZ_SPLIT): results the parsers may give, a message
// with every failure and none without, and nothing written on a failure.
#include "fuzz_support.h"

#include <cwctype>

#include "command/command.h"
#include "hotkeys/keys.h"
#include "settings/colors.h"
#include "settings/marks.h"
#include "sim/win32.h"

namespace {

void FuzzColor(FuzzBytes* bytes) {
    FreshShell();
    std::wstring arg = TakeText(bytes, 9000);
    int color = ParseColorArgument(arg.c_str(), arg.c_str());
    Require(color == -1 || (color >= 0 && DWORD(color) <= MaxColor), "a colour or -1");
    Require((color < 0) == !sim::StdErr().empty(), "a message with every failure and none without");
    int rgb = ColorNameToRgb(arg.c_str());
    if (rgb >= 0) Require(ColorNameToRgb(RgbToColorName(DWORD(rgb))) == rgb, "a colour's name reads back as it");
}

void FuzzMarks(FuzzBytes* bytes) {
    FreshShell();
    LPCWSTR kind = TakeByte(bytes) & 1 ? L"row" : L"column";
    std::wstring arg = TakeText(bytes, 9000);
    DWORD list[MaxAltMarks];
    for (DWORD& mark : list) mark = 0xDEAD;
    DWORD count = 0xDEAD;
    COLORREF color = 0xDEAD;
    int result = ParseAltMarks(arg.c_str(), list, &count, &color, kind);
    Require(result == 0 || result == 1, "0 or 1 for an argument");
    Require((result != 0) == !sim::StdErr().empty(), "a message with every failure and none without");
    if (result == 1) {
        Require(count == 0xDEAD && color == 0xDEAD && list[0] == 0xDEAD, "a failure writes nothing");
        return;
    }
    Require(count <= DWORD(MaxAltMarks) && color <= MaxColor, "at most 16 marks and a colour");
    for (DWORD i = 0; i < count; i++) {
        Require(IsStorableMark(list[i]), "marks the registry can hold");
        Require(i == 0 || list[i - 1] < list[i], "distinct and ascending");
    }
}

void FuzzHotkeyName(FuzzBytes* bytes) {
    FreshShell();
    PluginState.useKeyTableV24 = TakeByte(bytes) & 1;
    std::wstring name = TakeText(bytes, 2000);
    int code = ParseHotkeyName(name.c_str());
    Require(code > 0 || code == 0 || code == NoKeyCode || code == KeyNotAllowed, "a code, 0, -1 or -2");
    if (code <= 0) return;
    Require(IsSupportedHotkey(code), "a parsed hotkey is supported");
    WCHAR text[TextCapacity];
    Require(HotkeyToText(code, text) == 0, "a parsed hotkey has a name");
    Require(ParseHotkeyName(text) == code, "its name parses back to it");
}

void FuzzSplit(FuzzBytes* bytes) {
    FreshShell();
    std::wstring tail = TakeText(bytes, 9000);
    int count = SplitArguments(tail.c_str());
    Require(count == ArgumentTable.count || (count == -1 && ArgumentTable.count == 0), "the count is kept");
    Require((count == -1) == !sim::StdErr().empty(), "only an overflow writes a message");
    Require(count <= MaxArguments, "at most 1024 arguments");
    const WCHAR* begin = ArgumentTable.buffer;
    const WCHAR* end = begin + MaxArgumentLength;
    for (int i = 0; i < ArgumentTable.count; i++) {
        LPCWSTR arg = ArgumentTable.args[i];
        int length = ArgumentTable.lengths[i];
        Require(arg >= begin && arg + length < end && arg[length] == 0, "each argument ends inside the buffer");
        for (int k = 0; k < length; k++) Require(arg[k] != 0 && arg[k] != L'"' && !(arg[k] >= L'a' && arg[k] <= L'z'),
                                                 "no quote, no NUL, no lower-case letter");
        Require(length == 0 || !iswspace(wint_t(arg[length - 1])), "no trailing white space");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzBytes bytes = StartBytes(data, size);
#if defined(FUZZ_COLOR)
    FuzzColor(&bytes);
#elif defined(FUZZ_MARKS)
    FuzzMarks(&bytes);
#elif defined(FUZZ_HOTKEY_NAME)
    FuzzHotkeyName(&bytes);
#elif defined(FUZZ_SPLIT)
    FuzzSplit(&bytes);
#endif
    return 0;
}
