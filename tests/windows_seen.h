// What the cases, and the Wine demo, see of the plug-in's windows, asked of
// Windows by its own functions.
#pragma once

#include "platform.h"

#include <string>
#include <vector>

// The plug-in's window class for this process, and its overlays among the
// descendants of `parent`.
std::wstring OverlayClassName();
std::vector<HWND> OverlaysIn(HWND parent);
// Where `window` lies in its parent's client area.
RECT PlaceIn(HWND window);
struct Layered {
    COLORREF key;
    BYTE alpha;
    DWORD flags;
    bool set;
};
Layered LayeredOf(HWND window);
