// The demo's pictures: console text drawn at the console's cell size lies
// between the marks of the strip, and the picture of the real DLL under
// Wine shows the strip the end-to-end tests expect.
#include <cstdlib>
#include <string>

#include "picture.h"
#include "test_support.h"

namespace {

using Pictures = PluginTest;

const COLORREF MarkColour = 0xFFBF00;  // DeepSkyBlue, on the console's black
const COLORREF KeyColour = 0x0000FF;   // the key against it: red

COLORREF At(const Picture& picture, int x, int y) { return picture.pixels[size_t(y) * size_t(picture.width) + size_t(x)]; }

// M for the mark colour, k for the key, . for anything else, from (x, y) down.
std::string PixelRun(const Picture& picture, int x, int y, int count) {
    std::string run;
    for (int i = 0; i < count; i++) {
        COLORREF c = At(picture, x, y + i);
        run += c == MarkColour ? 'M' : c == KeyColour ? 'k' : '.';
    }
    return run;
}

TEST_F(Pictures, GlyphsLieBetweenTheMarksOfTheirCell) {
    ASSERT_EQ(0, Load());
    RunMessages(500);
    Picture picture = {640, 400, {}};
    std::string error;
    std::wstring ruler = L"1234567890123456789012345678901234567890";
    ASSERT_TRUE(DrawConsoleText(&picture, {L"", L"", ruler}, 8, 16, 0xC0C0C0, 0, DefaultFontFile, &error)) << error;
    ComposeStrip(&picture, PluginState.consoleOverlay);
    for (int column : {1, 13, 40}) {
        int left = 8 * (column - 1), right = 8 * column;  // the boundaries before and after the cell
        int inkLeft = 640, inkRight = -1;
        for (int y = 32; y < 48; y++)
            for (int x = 0; x < 640; x++)
                if (At(picture, x, y) != 0 && x >= left - 8 && x < right + 8) {
                    if (x < inkLeft && x >= left) inkLeft = x;
                    if (x > inkRight && x < right) inkRight = x;
                }
        ASSERT_LE(inkLeft, inkRight) << "column " << column << " has ink";
        EXPECT_GE(inkLeft, left) << "column " << column;
        EXPECT_LT(inkRight, right) << "column " << column;
        EXPECT_EQ(MarkColour, At(picture, right, 0)) << "a mark at the boundary after column " << column;
        if (column > 1) {
            EXPECT_EQ(MarkColour, At(picture, left, 0)) << "a mark at the boundary before " << column;
        }
    }
}

// scripts/test pictures the real DLL with scripts/demo --wine and names the
// picture in TICKRAIL_WINE_PICTURE: a tab of 80 by 25 cells of 8 by 16
// pixels inside margins of 4 and 2, the strip on top in colour-key mode.
TEST_F(Pictures, RealDllUnderWineDrawsTheStripTheEndToEndTestsExpect) {
    const char* path = std::getenv("TICKRAIL_WINE_PICTURE");
    if (!path) GTEST_SKIP() << "no picture of the real DLL (scripts/test makes one)";
    Picture picture;
    ASSERT_TRUE(ReadPng(path, &picture)) << path;
    ASSERT_EQ(644, picture.width);
    ASSERT_EQ(402, picture.height);
    EXPECT_EQ("MMMMMMMMMMMMMMk", PixelRun(picture, 4 + 10 * 8, 0, 15)) << "long mark of column 10";
    EXPECT_EQ("MMMMMMMMk", PixelRun(picture, 4 + 5 * 8, 0, 9)) << "medium mark of column 5";
    EXPECT_EQ("MMMMk", PixelRun(picture, 4 + 1 * 8, 0, 5)) << "short mark of column 1";
    EXPECT_EQ("kkkkkkkkkkkkkkkk", PixelRun(picture, 4 + 1 * 8 + 1, 0, 16)) << "the key between the marks";
    EXPECT_EQ("k.", PixelRun(picture, 20, 15, 2)) << "the strip is one cell high";
}

}  // namespace
