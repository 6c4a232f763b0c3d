// Painting: where the strip lies for each edge, which pixels each mark
// covers, the colour key and alpha modes, alternate-colour marks, and that
// a paint releases everything it made.
#include <string>

#include "settings/marks.h"
#include "test_support.h"

namespace {

const COLORREF DeepSkyBlue = 0xFFBF00;  // the mark colour on console background 0
const COLORREF KeyForDeepSkyBlue = 0x0000FF;
const COLORREF Lime = 0x00FF00;

class Painting : public PluginTest {
protected:
    // Loads, sets what the case needs (the load starts from the defaults)
    // and paints.
    template <typename Change>
    void LoadAndPaint(Change change) {
        UseReadableStrip();
        ASSERT_EQ(0, Load());
        if (!TICKRAIL_SIMULATED) {
            ASSERT_NE(nullptr, PluginState.tabOverlay);
            OverlayData* tab = reinterpret_cast<OverlayData*>(GetWindowLongPtrW(Strip(), GWLP_USERDATA));
            tab->hMargin = tab->vMargin = 0;
        }
        change();
        Repaint();
    }
    void LoadAndPaint() {
        LoadAndPaint([] {});
    }
    void Repaint() {
        RepaintOverlays();
        RunMessages(0);
    }
    // The strip whose pixels the case reads: the console overlay in the
    // simulation; on a real system, which draws the console overlay into the
    // console host's window where it cannot be read back, the tab overlay
    // in a tab of the console's size, without margins.
    void UseReadableStrip() {
        if (!TICKRAIL_SIMULATED) MakeShellWindows();
        ResizeShellWindow(TICKRAIL_SIMULATED ? GetConsoleWindow() : tabWindow, clientWidth, 400);
    }
    int clientWidth = 640;  // of the strip's parent, for its 80 columns
    HWND Strip() { return TICKRAIL_SIMULATED ? PluginState.consoleOverlay : PluginState.tabOverlay; }
    // The colours along a line of `strip`'s pixels, from (x, y) in steps of (dx, dy).
    static std::vector<COLORREF> Run(HWND strip, int x, int y, int dx, int dy, int count) {
        std::vector<COLORREF> colors;
        for (int i = 0; i < count; i++) colors.push_back(PixelOf(strip, x + i * dx, y + i * dy));
        return colors;
    }
    // `marked` pixels of the mark colour, then one of the key.
    static std::vector<COLORREF> Mark(int marked, COLORREF mark, COLORREF key) {
        std::vector<COLORREF> colors(size_t(marked), mark);
        colors.push_back(key);
        return colors;
    }
};

TEST_F(Painting, StripAndMarksForEachEdge) {
    struct MarkCheck {
        int x, y, dx, dy;  // the first pixel of the mark and the direction it grows
        int length;        // pixels of the mark before the first of the key
    };
    struct Case {
        DWORD position;
        RECT place;
        MarkCheck longMark, mediumMark, shortMark, lastMark;  // the last: of column 79 or row 24
    } cases[] = {
        {0, {0, 0, 640, 16}, {80, 0, 0, 1, 14}, {40, 0, 0, 1, 8}, {8, 0, 0, 1, 4}, {632, 0, 0, 1, 4}},
        {4, {0, 0, 640, 16}, {80, 0, 0, 1, 14}, {40, 0, 0, 1, 8}, {8, 0, 0, 1, 4}, {632, 0, 0, 1, 4}},
        {1, {0, 383, 640, 399}, {80, 15, 0, -1, 14}, {40, 15, 0, -1, 8}, {8, 15, 0, -1, 4}, {632, 15, 0, -1, 4}},
        {2, {0, 0, 16, 400}, {0, 160, 1, 0, 14}, {0, 80, 1, 0, 8}, {0, 16, 1, 0, 4}, {0, 384, 1, 0, 4}},
        {3, {623, 0, 639, 400}, {15, 160, -1, 0, 13}, {15, 80, -1, 0, 7}, {15, 16, -1, 0, 3}, {15, 384, -1, 0, 3}},
    };
    for (const Case& c : cases) {
        Reload();
        LoadAndPaint([&] { Settings.position = c.position; });
        RECT place = PlaceIn(Strip());
        EXPECT_EQ(c.place.left, place.left) << "position " << c.position;
        EXPECT_EQ(c.place.top, place.top) << "position " << c.position;
        EXPECT_EQ(c.place.right, place.right) << "position " << c.position;
        EXPECT_EQ(c.place.bottom, place.bottom) << "position " << c.position;
        EXPECT_TRUE(IsWindowVisible(Strip()));
        EXPECT_EQ(Strip(), GetWindow(GetAncestor(Strip(), GA_PARENT), GW_CHILD)) << "on top of its siblings";
        for (const MarkCheck& m : {c.longMark, c.mediumMark, c.shortMark, c.lastMark})
            EXPECT_EQ(Mark(m.length, DeepSkyBlue, KeyForDeepSkyBlue), Run(Strip(), m.x, m.y, m.dx, m.dy, m.length + 1))
                << "position " << c.position << " mark at " << m.x << "," << m.y;
        Layered layered = LayeredOf(Strip());
        EXPECT_EQ(KeyForDeepSkyBlue, layered.key);
        EXPECT_EQ(DWORD(LWA_COLORKEY), layered.flags);
#if TICKRAIL_SIMULATED  // GDI objects are counted only in the simulation
        EXPECT_EQ(0, sim::LiveGdiObjects()) << "every pen and brush deleted";
        EXPECT_EQ(0, sim::LiveDeviceContexts());
#endif
    }
}

// Between the marks only the key. A client area wider than its cells shows
// the mark after the last one, at x = 640, here in the alternate colour by
// a single mark, by a repeat, and then not at all.
TEST_F(Painting, MarksLieOnTheCellBoundaries) {
    clientWidth = 645;
    LoadAndPaint([] {
        Settings.altColumnsCount = 1;
        Settings.altColumnsColor = Lime;
    });
    const DWORD marks[] = {80, RepeatMarkFlag + 80, 79};
    for (DWORD mark : marks) {
        Settings.altColumns[0] = mark;
        Repaint();
        for (int x = 0; x < 645; x++) {
            bool alternate = x == 8 * int(mark & 0xFF);
            COLORREF expected = alternate ? Lime : (x % 8 == 0 && x > 0) ? DeepSkyBlue : KeyForDeepSkyBlue;
            ASSERT_EQ(expected, PixelOf(Strip(), x, 2)) << "x " << x << ", mark " << mark;
        }
    }
}

TEST_F(Painting, KeyColourLiesAwayFromTheMarkColour) {
    struct Case {
        WORD attributes;  // background index in bits 4-7
        COLORREF mark;
        COLORREF key;
    } cases[] = {
        {0x07, 0xFFBF00, 0x0000FF},  // DeepSkyBlue: pure red key
        {0x40, 0x507FFF, 0xFFFF00},  // Coral: green and blue
        {0xE0, 0x008CFF, 0xFF0000},  // DarkOrange: pure blue key
        {0x50, 0xFFFFFF, 0x000000},  // White
        {0x60, 0x000000, 0xFFFFFF},  // Black
        {0x70, 0x4F4F2F, 0xFFFFFF},  // DarkSlateGray
    };
    for (const Case& c : cases) {
        Reload();
        SetConsoleColors(c.attributes);
        LoadAndPaint();
        EXPECT_EQ(c.key, LayeredOf(Strip()).key) << std::hex << "attributes 0x" << c.attributes;
        EXPECT_EQ(c.key, PixelOf(Strip(), 3, 3)) << std::hex << "attributes 0x" << c.attributes;
        EXPECT_EQ(c.mark, PixelOf(Strip(), 80, 0)) << std::hex << "attributes 0x" << c.attributes;
    }
}

TEST_F(Painting, AlternateMarks) {
    struct Case {
        const char* what;
        DWORD transparencyMode;
        std::vector<DWORD> marks;
        COLORREF altColor;
        DWORD penWidth2;
        COLORREF at80, at160, at40;  // pixels of columns 10, 20 and 5
        COLORREF background;
        WORD attributes;  // of the console, when not 0
    } cases[] = {
        {"single column", 0, {10}, Lime, 1, Lime, DeepSkyBlue, DeepSkyBlue, KeyForDeepSkyBlue},
        {"every 10th", 0, {RepeatMarkFlag + 10}, Lime, 1, Lime, Lime, DeepSkyBlue, KeyForDeepSkyBlue},
        {"every 5th and 20", 0, {20, RepeatMarkFlag + 5}, Lime, 1, Lime, Lime, Lime, KeyForDeepSkyBlue},
        {"alternate colour equals the key", 0, {10}, 0x0000FF, 1, 0x0000FF, DeepSkyBlue, DeepSkyBlue, 0x0300FF},
        {"alternate like the marks", 0, {10}, DeepSkyBlue, 1, DeepSkyBlue, DeepSkyBlue, DeepSkyBlue,
         KeyForDeepSkyBlue},
        {"alpha", 1, {10}, Lime, 1, Lime, 0x000000, 0x000000, 0xE6E0B0},
        {"alpha, alternate like the background", 1, {10}, 0xE6E0B0, 1, 0x000000, 0x000000, 0x000000, 0xE6E0B0},
        {"alpha, alternate like the marks", 1, {10}, 0x000000, 1, 0x000000, 0x000000, 0x000000, 0xE6E0B0},
        {"like the marks but wider", 0, {10}, DeepSkyBlue, 3, DeepSkyBlue, DeepSkyBlue, DeepSkyBlue, KeyForDeepSkyBlue},
        {"alpha, like the marks but wider", 1, {10}, 0x000000, 3, 0x000000, 0x000000, 0x000000, 0xE6E0B0},
        {"alternate colour equals a blue key", 0, {10}, 0xFF0000, 1, 0xFF0000, 0x008CFF, 0x008CFF, 0xFC0000, 0xE0},
    };
    for (const auto& c : cases) {
        Reload();
        if (c.attributes) SetConsoleColors(c.attributes);
        LoadAndPaint([&] {
            Settings.transparencyMode = c.transparencyMode;
            Settings.altColumnsCount = DWORD(c.marks.size());
            for (size_t i = 0; i < c.marks.size(); i++) Settings.altColumns[i] = c.marks[i];
            Settings.altColumnsColor = c.altColor;
            Settings.penWidth2 = c.penWidth2;
        });
        EXPECT_EQ(c.at80, PixelOf(Strip(), 80, 1)) << c.what;
        EXPECT_EQ(c.at160, PixelOf(Strip(), 160, 1)) << c.what;
        EXPECT_EQ(c.at40, PixelOf(Strip(), 40, 1)) << c.what;
        EXPECT_EQ(c.background, PixelOf(Strip(), 3, 1)) << c.what;
        EXPECT_EQ(c.penWidth2 > 1 ? c.at80 : c.background, PixelOf(Strip(), 81, 1)) << c.what << ": the pen's width";
#if TICKRAIL_SIMULATED
        EXPECT_EQ(0, sim::LiveGdiObjects()) << c.what;
#endif
    }
}

// Which marks a list selects: a single mark its own number, a repeat every
// multiple of its distance, a distance of 0 none; in any order, as a list
// loaded from the registry may be, and with repeats that cover each other.
TEST_F(Painting, AlternateMarksSelectTheirNumbers) {
    const DWORD Every = RepeatMarkFlag;
    struct Case {
        std::vector<DWORD> marks;
        std::vector<int> selected, plain;  // column numbers
    } cases[] = {
        {{Every + 10}, {10, 20, 30, 70}, {5, 11, 79}},
        {{1, 10}, {1, 10}, {9, 11, 20}},
        {{Every}, {}, {1, 5, 10}},
        {{Every + 2, Every + 4}, {2, 4, 6, 78}, {1, 7, 79}},
        {{Every + 4, Every + 2}, {2, 4, 6}, {3, 5}},
        {{4, Every + 4}, {4, 8, 12}, {2, 6}},
        {{Every + 79, 3}, {3, 79}, {2, 4, 78}},
        {{Every + 100, 2000}, {}, {10, 50, 79}},  // beyond the console's 80 columns
    };
    for (const Case& c : cases) {
        Reload();
        LoadAndPaint([&] {
            Settings.altColumnsCount = DWORD(c.marks.size());
            for (size_t i = 0; i < c.marks.size(); i++) Settings.altColumns[i] = c.marks[i];
            // Past the count: no mark, single or repeat.
            Settings.altColumns[c.marks.size()] = c.marks.size() % 2 ? 11 : RepeatMarkFlag + 11;
            Settings.altColumnsColor = Lime;
        });
        std::string list = testing::PrintToString(c.marks);
        for (int column : c.selected) EXPECT_EQ(Lime, PixelOf(Strip(), 8 * column, 1)) << list << " column " << column;
        for (int column : c.plain)
            EXPECT_EQ(DeepSkyBlue, PixelOf(Strip(), 8 * column, 1)) << list << " column " << column;
    }
}

TEST_F(Painting, AlphaModeUsesTheChosenColoursAndOpacity) {
    LoadAndPaint([] {
        Settings.transparencyMode = 1;
        Settings.alpha = 200;
        Settings.backgroundColor = 0x202020;
        Settings.hashColor = 0x00FFFF;
    });
    Layered layered = LayeredOf(Strip());
    EXPECT_EQ(DWORD(LWA_ALPHA), layered.flags);
    EXPECT_EQ(0u, layered.key);
    EXPECT_EQ(200, layered.alpha);
    EXPECT_EQ(0x202020u, PixelOf(Strip(), 3, 3));
    EXPECT_EQ(0x00FFFFu, PixelOf(Strip(), 80, 3));
}

TEST_F(Painting, WidePensCoverPixelsAcrossTheMark) {
    LoadAndPaint([] { Settings.penWidth = 3; });
    EXPECT_EQ((std::vector<COLORREF>{KeyForDeepSkyBlue, DeepSkyBlue, DeepSkyBlue, DeepSkyBlue, KeyForDeepSkyBlue}),
              Run(Strip(), 78, 1, 1, 0, 5));
}

TEST_F(Painting, DisabledStripIsPlacedFilledAndHidden) {
    LoadAndPaint([] { Settings.enabled = 0; });
    EXPECT_FALSE(IsWindowVisible(Strip()));
    EXPECT_EQ(640, PlaceIn(Strip()).right);
#if TICKRAIL_SIMULATED  // a real system keeps no pixels of a hidden window
    for (int x = 0; x < 640; x++) ASSERT_EQ(KeyForDeepSkyBlue, PixelOf(Strip(), x, 1)) << "x " << x;
#endif
    Settings.enabled = 1;
    Repaint();
    EXPECT_TRUE(IsWindowVisible(Strip()));
#if TICKRAIL_SIMULATED  // a real system cannot be made to refuse one call
    sim::FailCall(sim::Call::SetLayeredAttributes, ERROR_INVALID_PARAMETER);
    Repaint();
    EXPECT_FALSE(IsWindowVisible(Strip())) << "hidden, not opaque over the text, while transparency is refused";
    EXPECT_EQ(0, sim::LiveDeviceContexts());
    Repaint();
    EXPECT_TRUE(IsWindowVisible(Strip()));
#endif
}

TEST_F(Painting, RowOffsetMovesTheStripDown) {
    struct Case {
        DWORD position, rowOffset;
        RECT place;
    } cases[] = {
        {0, 1, {0, 16, 640, 32}}, {0, 3, {0, 48, 640, 64}},   {1, 3, {0, 383, 640, 399}},
        {2, 1, {0, 16, 16, 400}}, {3, 3, {623, 48, 639, 400}},
    };
    for (const Case& c : cases) {
        Reload();
        LoadAndPaint();
        Settings.position = c.position;
        Settings.rowOffset = c.rowOffset;
        Repaint();
        RECT place = PlaceIn(Strip());
        EXPECT_EQ(c.place.top, place.top) << "position " << c.position << " offset " << c.rowOffset;
        EXPECT_EQ(c.place.bottom, place.bottom) << "position " << c.position << " offset " << c.rowOffset;
        EXPECT_EQ(c.place.right, place.right) << "position " << c.position << " offset " << c.rowOffset;
    }
    // Side strips count their rows from the strip's own top, and mark them
    // from the row list.
    for (DWORD position : {2, 3}) {
        Reload();
        LoadAndPaint([&] {
            Settings.position = position;
            Settings.rowOffset = 1;
            Settings.altRowsCount = Settings.altColumnsCount = 1;
            Settings.altRows[0] = 2;
            Settings.altColumns[0] = 1;
            Settings.altRowsColor = Lime;
        });
        EXPECT_EQ(DeepSkyBlue, PixelOf(Strip(), 15 * (position - 2), 16)) << "position " << position;
        EXPECT_EQ(Lime, PixelOf(Strip(), 15 * (position - 2), 32)) << "position " << position;
    }
}

#if TICKRAIL_SIMULATED
// Simulation only: scroll bars of chosen sizes (a real system's have its
// own metrics). A hidden bar keeps its size; the text area loses only the
// shown ones. The row offset counts from the top margin.
TEST_F(Painting, TabOverlayKeepsItsMarginsAndLosesTheScrollBars) {
    struct Case {
        bool vShown, hShown;  // bars of 17 and 20 pixels
        DWORD position, rowOffset;
        RECT place;
        POINT mark, key;  // the first mark's pixel and the key's just before it
    } cases[] = {
        {false, false, 0, 0, {0, 0, 677, 16}, {12, 0}, {11, 0}},  // cell (677 - 4) / 80 = 8 by (420 - 2) / 25 = 16
        {true, false, 0, 0, {0, 0, 660, 16}, {12, 0}, {11, 0}},
        {true, true, 0, 0, {0, 0, 660, 15}, {12, 0}, {11, 0}},    // (400 - 2) / 25 = 15
        {false, false, 0, 1, {0, 18, 677, 34}, {12, 0}, {11, 0}},
        {false, false, 2, 3, {0, 50, 16, 420}, {0, 18}, {0, 17}},  // rows counted from the strip's top
    };
    for (const Case& c : cases) {
        Reload();
        MakeShellWindows();
        sim::ResizeClient(tabWindow, 677, 420);
        HWND view = MakeShellWindow(tabWindow, L"AfxFrameOrView140u", L"", 677, 420);
        sim::SetScrollBar(view, OBJID_VSCROLL, 17, c.vShown);
        sim::SetScrollBar(view, OBJID_HSCROLL, 20, c.hShown);
        ASSERT_EQ(0, Load());
        OverlayData* record = reinterpret_cast<OverlayData*>(GetWindowLongPtrW(PluginState.tabOverlay, GWLP_USERDATA));
        record->hMargin = 4;
        record->vMargin = 2;
        Settings.position = c.position;
        Settings.rowOffset = c.rowOffset;
        Repaint();
        RECT place = PlaceIn(PluginState.tabOverlay);
        std::string what = testing::PrintToString(std::vector<int>{c.vShown, c.hShown, int(c.position), int(c.rowOffset)});
        EXPECT_EQ(c.place.top, place.top) << what;
        EXPECT_EQ(c.place.right, place.right) << what;
        EXPECT_EQ(c.place.bottom, place.bottom) << what;
        EXPECT_EQ(DeepSkyBlue, PixelOf(PluginState.tabOverlay, c.mark.x, c.mark.y)) << what;
        EXPECT_EQ(KeyForDeepSkyBlue, PixelOf(PluginState.tabOverlay, c.key.x, c.key.y)) << what;
    }
}
#endif

// The tab's cells lie inside the shell's margins, 4 and 2 pixels unless its
// INI file says otherwise: a tab of 640 by 400 holds 80 by 25 cells of 7 by
// 15, and a tab smaller than its margins is painted without harm.
TEST_F(Painting, TabStripCountsItsCellsInsideTheShellsMargins) {
    MakeShellWindows();
    ResizeShellWindow(tabWindow, 640, 400);
    ASSERT_EQ(0, Load());
    Repaint();
    HWND strip = PluginState.tabOverlay;
    RECT place = PlaceIn(strip);
    EXPECT_EQ(0, place.top);
    EXPECT_EQ(640, place.right);
    EXPECT_EQ(15, place.bottom);
    EXPECT_EQ(Mark(13, DeepSkyBlue, KeyForDeepSkyBlue), Run(strip, 4 + 10 * 7, 0, 0, 1, 14)) << "column 10";
    EXPECT_EQ(Mark(7, DeepSkyBlue, KeyForDeepSkyBlue), Run(strip, 4 + 5 * 7, 0, 0, 1, 8)) << "column 5";
    EXPECT_EQ(Mark(3, DeepSkyBlue, KeyForDeepSkyBlue), Run(strip, 4 + 7, 0, 0, 1, 4)) << "column 1";
    EXPECT_EQ(std::vector<COLORREF>(3, KeyForDeepSkyBlue), Run(strip, 4 + 8, 0, 0, 1, 3)) << "between the marks";

    ResizeShellWindow(tabWindow, 2, 1);
    Repaint();
    EXPECT_LE(2, PaintsDispatched(strip)) << "the tiny tab painted too";
#if TICKRAIL_SIMULATED
    EXPECT_EQ(2, PaintsDispatched(strip));
    EXPECT_EQ(0, sim::LiveGdiObjects());
    EXPECT_EQ(0, sim::LiveDeviceContexts());
#endif
}

}  // namespace
