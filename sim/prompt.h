// The simulated shell at its prompt: a line typed there (TICKRAIL and LIST
// with their tails, PLUGIN /L and /U), a key pressed in the console, and
// the console text that the shell prints into. tickrail-sim and the page
// both run the plug-in through here, so they answer alike.
#pragma once

#include <string>
#include <vector>

#include "kernel.h"
#include "types.h"

namespace sim {

// The size of a console cell in pixels.
const int CellWidth = 8;
const int CellHeight = 16;
const wchar_t PromptText[] = L"C:\\work> ";
// The console sizes the shell takes, in cells.
const int MinColumns = 20, MaxColumns = 250, MinRows = 5, MaxRows = 100;

// A fresh simulated Windows and shell: a console of `columns` by `rows`
// cells, `background` as its background colour index (0 to 15), the shell's
// version `version` as %_4ver gives it, `text` on the console and no
// plug-in loaded.
void StartShell(int columns, int rows, int background, const std::wstring& version,
                const std::vector<std::wstring>& text);

struct PromptAnswer {
    std::wstring printed;   // what the shell printed for the line, "\r\n" and all
    std::wstring out, err;  // the same by stream
    bool pluginCalled;
    int returned;           // what the plug-in returned, when called
};
// Echoes `line` after the prompt, runs it and prints its answer into the
// console. A line typed while LIST runs first ends LIST.
PromptAnswer RunPromptLine(const std::wstring& line);

// Presses a key named as TICKRAIL /L names it, Ctrl, Alt and Shift held as
// its name says. From version 24 the shell passes the key by its name,
// before that by its code. While LIST runs, the keys are LIST's and Esc
// ends it. Returns what was printed; `swallowed` tells whether the plug-in
// took the key.
std::wstring PressNamedKey(const std::wstring& name, bool* swallowed);

bool PluginLoaded();
bool ListRunning();

// The console's size in cells (brought within the sizes above), its
// background colour index, and the
// shell's version (a loaded plug-in is unloaded and loaded again, as when
// the shell starts anew; the answers are returned).
void ResizeConsole(int columns, int rows);
void SetConsoleBackground(int index);
std::wstring RestartShellAt(const std::wstring& version);

int ConsoleColumns();
int ConsoleRows();
// The rows the console shows, and its text and background colours.
std::vector<std::wstring> ConsoleText();
COLORREF ConsoleInk();
COLORREF ConsolePaper();

// The strip as Windows composes the layered window `strip` over its parent's
// client area of `width` by `height` pixels: the part inside that area, in
// RGBA, with alpha 0 where the key colour (or nothing drawn) lets the text
// through, else the strip's alpha (255 without one).
struct StripLayer {
    int x, y, width, height;
    std::vector<unsigned char> rgba;
};
// False (and an empty layer) when no pixel of the strip shows.
bool ComposeStripLayer(HWND strip, int width, int height, StripLayer* layer);
// The console's own strip, over the whole console.
bool ConsoleStripLayer(StripLayer* layer);

}  // namespace sim
