// Alternate-colour marks: the option syntax, its messages and limits, the
// order of the stored list, and which hash marks a mark selects.
#include <string>
#include <vector>

#include "settings/marks.h"
#include "expected_texts.h"
#include "test_support.h"

namespace {

using Marks = PluginTest;

const DWORD Repeat = RepeatMarkFlag;
const COLORREF Untouched = 0x123456;

std::wstring Numbers(int first, int last) {
    std::wstring text;
    for (int n = first; n <= last; n++) text += (text.empty() ? L"" : L",") + std::to_wstring(n);
    return text;
}

TEST_F(Marks, ParseAltMarks) {
    const std::wstring sixteen = L"/I:" + Numbers(1, 16) + L"=Red";
    const std::wstring seventeen = L"/I:" + Numbers(1, 17) + L"=Red";
    const std::wstring seventeenRepeating = L"/I:" + Numbers(1, 16) + L",3=Red";
    struct Case {
        std::wstring arg;
        const wchar_t* kind;
        int result;
        std::vector<DWORD> marks;
        COLORREF color;
        const wchar_t* message;
        size_t markerOffset;
    } cases[] = {
        {L"/I:80=Red", L"column", 0, {80}, 0x0000FF},
        {L"/J:*5,1=$12", L"row", 0, {1, Repeat + 5}, 0x0000FF},
        {L"/I:*10,20,5=Blue", L"column", 0, {5, 20, Repeat + 10}, 0xFF0000},
        {L"/I:5,10=255,0,0", L"column", 0, {5, 10}, 0x0000FF},
        {L"/I:5,5,*3,*3=White", L"column", 0, {5, Repeat + 3}, 0xFFFFFF},
        {L"/I:\u00d77,0x50:Lime", L"column", 0, {80, Repeat + 7}, 0x00FF00},
        {L"/IJK:5=Red", L"column", 0, {5}, 0x0000FF},
        {L"80=Red", L"column", 0, {80}, 0x0000FF},
        {L"/I80=Red", L"column", 0, {80}, 0x0000FF},
        {L"/I:", L"column", 0, {}, 0xFFFFFF},
        {L"/I", L"column", 0, {}, 0xFFFFFF},
        {L"/I:2000,*100,*2,1=#000", L"column", 0, {1, 2000, Repeat + 2, Repeat + 100}, 0x000000},
        {sixteen, L"column", 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}, 0x0000FF},
        {seventeenRepeating, L"column", 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}, 0x0000FF},
        {seventeen, L"column", 1, {}, 0, L"Too many alt marks (16 max)\r\n", 3 + Numbers(1, 16).size() + 1},
        {L"/I:80", L"column", 1, {}, 0, L"Expected either a comma or an equals sign:\r\n", 5},
        {L"/I:80 =Red", L"column", 1, {}, 0, L"Expected either a comma or an equals sign:\r\n", 5},
        {L"/I:80=", L"column", 1, {}, 0, L"Expected a color:\r\n", 6},
        {L"/I:80,", L"column", 1, {}, 0, L"Expected a color:\r\n", 6},
        {L"/I:0=Red", L"column", 1, {}, 0, L"Column must be 1 - 2000: 0\r\n", 3},
        {L"/J:2001=Red", L"row", 1, {}, 0, L"Row must be 1 - 2000: 2001\r\n", 3},
        {L"/I:*1=Red", L"column", 1, {}, 0, L"Column repeat value must be 2 - 100: 1\r\n", 4},
        {L"/J:*101=Red", L"row", 1, {}, 0, L"Row repeat value must be 2 - 100: 101\r\n", 4},
        {L"/J:\u00d71=Red", L"row", 1, {}, 0, L"Row repeat value must be 2 - 100: 1\r\n", 4},
        {L"/I:*=Red", L"column", 1, {}, 0, L"Bad column repeat value:\r\n", 4},
        {L"/J:x=Red", L"row", 1, {}, 0, L"Bad row value:\r\n", 3},
        {L"/I:1,=Red", L"column", 1, {}, 0, L"Bad column value:\r\n", 5},
        {L"/I:99999999999=Red", L"column", 1, {}, 0, L"Bad column value:\r\n", 3},
        {L"/I:80=Bogus", L"column", 1, {}, 0, L"Bad color name: \"Bogus\"\r\n", 6},
        {L"/I:80=1,2", L"column", 1, {}, 0, L"Expected a comma:\r\n", 9},
    };
    for (const Case& c : cases) {
        ClearOutput();
        DWORD list[MaxAltMarks] = {77, 88, 99};
        DWORD count = 3;
        COLORREF color = Untouched;
        int result = ParseAltMarks(c.arg.c_str(), list, &count, &color, c.kind);
        EXPECT_EQ(c.result, result) << "argument '" << c.arg << "'";
        if (c.result == 0) {
            EXPECT_EQ(c.marks, std::vector<DWORD>(list, list + count)) << "argument '" << c.arg << "'";
            EXPECT_EQ(c.color, color) << "argument '" << c.arg << "'";
            EXPECT_EQ(L"", StdErrText()) << "argument '" << c.arg << "'";
        } else {
            EXPECT_EQ((std::vector<DWORD>{77, 88, 99}), std::vector<DWORD>(list, list + count))
                << "argument '" << c.arg << "' changed the list";
            EXPECT_EQ(Untouched, color) << "argument '" << c.arg << "'";
            EXPECT_EQ(ErrorOutput(c.message, c.arg, c.markerOffset), StdErrText()) << "argument '" << c.arg << "'";
        }
    }
    DWORD list[MaxAltMarks], count = 0;
    COLORREF color = 0;
    EXPECT_EQ(-1, ParseAltMarks(nullptr, list, &count, &color, L"column"));
}

TEST_F(Marks, OrderIsUnsigned) {
    struct Case {
        DWORD a, b;
        int order;
    } cases[] = {{1, 2, -1}, {2, 1, 1}, {5, 5, 0}, {2000, Repeat + 2, -1}, {0x80000000u, 1, 1}};
    for (const Case& c : cases) EXPECT_EQ(c.order, CompareMarks(c.a, c.b)) << c.a << " vs " << c.b;
}

}  // namespace
