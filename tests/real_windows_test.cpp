// What only a real Windows can judge, run by the test kit there and skipped
// under Wine with the reason: Wine applies neither the colour key nor the
// alpha of a layered child window, so the strip over the shell's tab shows
// opaque there, and what the screen shows cannot be checked.
#include "kit_win32.h"
#include "test_support.h"

namespace {

const COLORREF TabBackground = 0xFFFFFF;  // the stand-in shell's windows are white
const COLORREF NavyAt200OverWhite = RGB(55, 55, 155);
const int Tolerance = 4;  // rounding of the blend, which Windows does not document

class OnlyOnRealWindows : public PluginTest {
protected:
    void SetUp() override {
        if (UnderWine())
            GTEST_SKIP() << "only a real Windows can judge: Wine applies no colour key nor alpha to child windows";
        PluginTest::SetUp();
    }
    // The colour that the screen shows at (x, y) of `window`'s client area:
    // the strip as the desktop composes it over the tab window.
    COLORREF ScreenPixel(HWND window, int x, int y) {
        POINT point = {x, y};
        ClientToScreen(window, &point);
        HDC screen = GetDC(nullptr);
        COLORREF pixel = GetPixel(screen, point.x, point.y);
        ReleaseDC(nullptr, screen);
        return pixel;
    }
};

bool Near(COLORREF expected, COLORREF got) {
    return abs(GetRValue(expected) - GetRValue(got)) <= Tolerance &&
           abs(GetGValue(expected) - GetGValue(got)) <= Tolerance &&
           abs(GetBValue(expected) - GetBValue(got)) <= Tolerance;
}

// A fill pixel between the first marks, where no mark is drawn: the colour
// key shows the tab window through it, alpha blends the strip's background
// with the tab window's white.
TEST_F(OnlyOnRealWindows, StripFillAsTheScreenShowsIt) {
    struct Case {
        const wchar_t* tail;
        COLORREF shown;
    } cases[] = {
        {L"/X:C /Q", TabBackground},
        {L"/X:A /B:Navy /A:200 /Q", NavyAt200OverWhite},
    };
    for (const Case& c : cases) {
        Reload();
        MakeShellWindows();
        ASSERT_EQ(0, Load());
        std::wstring tail = c.tail;
        ASSERT_EQ(0, tickrail(&tail[0]));
        BringToFront(mainWindow);
        ASSERT_TRUE(RunMessagesUntil([] { return PluginState.tabOverlay && IsWindowVisible(PluginState.tabOverlay); }));
        RunMessages(500);  // painted and composed
        COLORREF shown = ScreenPixel(PluginState.tabOverlay, 3, 3);
        EXPECT_TRUE(Near(c.shown, shown)) << Narrow(c.tail) << std::hex << ": expected 0x" << c.shown << ", the screen shows 0x"
                                          << shown;
    }
}

}  // namespace
