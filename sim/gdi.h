// Simulated GDI: device contexts of windows, solid pens and brushes, the
// background colour and mode, filled rectangles and lines, drawn into a
// pixel surface per window that tests read back.
#pragma once

#include "types.h"

#define PS_SOLID 0
#define TRANSPARENT 1
#define OPAQUE 2
#define CLR_INVALID 0xFFFFFFFF

HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
HPEN CreatePen(int style, int width, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL DeleteObject(HGDIOBJ object);
COLORREF SetBkColor(HDC dc, COLORREF color);
int SetBkMode(HDC dc, int mode);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL MoveToEx(HDC dc, int x, int y, LPPOINT previous);
BOOL LineTo(HDC dc, int x, int y);
COLORREF GetPixel(HDC dc, int x, int y);  // CLR_INVALID outside what was drawn

namespace sim {

// The pixels of a window: as large as its client area at the last drawing,
// `Unpainted` where nothing was drawn since it was created or resized.
const COLORREF Unpainted = 0xFF000000;
COLORREF Pixel(HWND window, int x, int y);
int LiveDeviceContexts();
int LiveGdiObjects();

}  // namespace sim
