#include "gdi.h"

#include <algorithm>
#include <map>
#include <vector>

#include "sim.h"
#include "user.h"

namespace {

enum class ObjectKind { Pen, Brush };

struct GdiObject {
    ObjectKind kind;
    COLORREF color;
    int width;
    int selectedIn;  // device contexts it is selected into
};

struct DeviceContext {
    HWND window;
    COLORREF bkColor;
    int bkMode;
    HGDIOBJ pen, brush;
    POINT position;
};

struct Surface {
    int width, height;
    std::vector<COLORREF> pixels;
};

// Stock objects that every device context starts with.
const uintptr_t StockPen = 0x900001;
const uintptr_t StockBrush = 0x900002;

struct GdiState {
    std::map<uintptr_t, GdiObject> objects;
    std::map<uintptr_t, DeviceContext> dcs;
    std::map<uintptr_t, Surface> surfaces;
    uintptr_t nextHandle = 0x910000;
};

GdiState* state = new GdiState;

DeviceContext* FindDc(HDC dc) {
    auto found = state->dcs.find(reinterpret_cast<uintptr_t>(dc));
    return found == state->dcs.end() ? nullptr : &found->second;
}

GdiObject* FindObject(HGDIOBJ object) {
    auto found = state->objects.find(reinterpret_cast<uintptr_t>(object));
    return found == state->objects.end() ? nullptr : &found->second;
}

HGDIOBJ NewObject(ObjectKind kind, COLORREF color, int width) {
    uintptr_t handle = state->nextHandle++;
    state->objects[handle] = {kind, color & 0xFFFFFF, width, 0};
    return reinterpret_cast<HGDIOBJ>(handle);
}

// Pixels beyond this are not kept: a window larger than any screen is
// drawn only as far as a screen could show it.
const LONG MaxSurfaceSide = 8192;

// The window's pixels, as large as the window is now: a window's device
// context always covers its current client area.
Surface& SurfaceOf(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    client.right = std::max(LONG(0), std::min(client.right, MaxSurfaceSide));
    client.bottom = std::max(LONG(0), std::min(client.bottom, MaxSurfaceSide));
    Surface& surface = state->surfaces[reinterpret_cast<uintptr_t>(window)];
    if (surface.width != client.right || surface.height != client.bottom) {
        surface.width = client.right;
        surface.height = client.bottom;
        surface.pixels.assign(size_t(client.right) * size_t(client.bottom), sim::Unpainted);
    }
    return surface;
}

void Plot(Surface& surface, int x, int y, COLORREF color) {
    if (x < 0 || y < 0 || x >= surface.width || y >= surface.height) return;
    surface.pixels[size_t(y) * size_t(surface.width) + size_t(x)] = color;
}

}  // namespace

HDC GetDC(HWND window) {
    if (!IsWindow(window)) return nullptr;
    uintptr_t handle = state->nextHandle++;
    state->dcs[handle] = {window, 0xFFFFFF, OPAQUE, reinterpret_cast<HGDIOBJ>(StockPen),
                          reinterpret_cast<HGDIOBJ>(StockBrush), {0, 0}};
    return reinterpret_cast<HDC>(handle);
}

int ReleaseDC(HWND, HDC dc) {
    DeviceContext* context = FindDc(dc);
    if (!context) return 0;
    for (HGDIOBJ object : {context->pen, context->brush})
        if (GdiObject* o = FindObject(object)) o->selectedIn--;
    state->dcs.erase(reinterpret_cast<uintptr_t>(dc));
    return 1;
}

HPEN CreatePen(int style, int width, COLORREF color) {
    if (style != PS_SOLID) return nullptr;
    return static_cast<HPEN>(NewObject(ObjectKind::Pen, color, width));
}

HBRUSH CreateSolidBrush(COLORREF color) {
    return static_cast<HBRUSH>(NewObject(ObjectKind::Brush, color, 0));
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    DeviceContext* context = FindDc(dc);
    uintptr_t value = reinterpret_cast<uintptr_t>(object);
    GdiObject* o = FindObject(object);
    if (!context || (!o && value != StockPen && value != StockBrush)) return nullptr;
    bool isPen = o ? o->kind == ObjectKind::Pen : value == StockPen;
    HGDIOBJ& slot = isPen ? context->pen : context->brush;
    HGDIOBJ previous = slot;
    if (GdiObject* old = FindObject(previous)) old->selectedIn--;
    slot = object;
    if (o) o->selectedIn++;
    return previous;
}

// An object still selected into a device context is not deleted, so a
// paint that forgets to deselect leaves it counted as alive.
BOOL DeleteObject(HGDIOBJ object) {
    GdiObject* o = FindObject(object);
    if (!o || o->selectedIn > 0) return FALSE;
    state->objects.erase(reinterpret_cast<uintptr_t>(object));
    return TRUE;
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
    DeviceContext* context = FindDc(dc);
    if (!context) return CLR_INVALID;
    COLORREF previous = context->bkColor;
    context->bkColor = color;
    return previous;
}

int SetBkMode(HDC dc, int mode) {
    DeviceContext* context = FindDc(dc);
    if (!context) return 0;
    int previous = context->bkMode;
    context->bkMode = mode;
    return previous;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    DeviceContext* context = FindDc(dc);
    GdiObject* o = FindObject(brush);
    if (!context || !o || o->kind != ObjectKind::Brush) return 0;
    Surface& surface = SurfaceOf(context->window);
    // Clipped to the window, as the system clips.
    int top = std::max(0, int(rect->top)), bottom = std::min(surface.height, int(rect->bottom));
    int left = std::max(0, int(rect->left)), right = std::min(surface.width, int(rect->right));
    for (int y = top; y < bottom; y++)
        for (int x = left; x < right; x++) Plot(surface, x, y, o->color);
    return 1;
}

BOOL MoveToEx(HDC dc, int x, int y, LPPOINT previous) {
    DeviceContext* context = FindDc(dc);
    if (!context) return FALSE;
    if (previous) *previous = context->position;
    context->position = {x, y};
    return TRUE;
}

// Lines along an axis, as the strip's marks are: the end point is not drawn,
// and a pen of width w covers w pixels across the line, centred on it.
BOOL LineTo(HDC dc, int x, int y) {
    DeviceContext* context = FindDc(dc);
    if (!context) return FALSE;
    GdiObject* pen = FindObject(context->pen);
    COLORREF color = pen ? pen->color : 0;
    int width = pen && pen->width > 1 ? pen->width : 1;
    Surface& surface = SurfaceOf(context->window);
    POINT from = context->position;
    int low = -(width - 1) / 2, high = width / 2;
    // Only the part inside the window is walked; the end point is left out.
    auto clip = [](int from, int to, int size, int* first, int* last) {
        int step = to >= from ? 1 : -1;
        int end = to - step;
        *first = std::max(0, std::min(from, end));
        *last = std::min(size - 1, std::max(from, end));
        return from != to;
    };
    int first, last;
    if (from.x == x) {
        if (clip(from.y, y, surface.height, &first, &last))
            for (int yy = first; yy <= last; yy++)
                for (int d = low; d <= high; d++) Plot(surface, x + d, yy, color);
    } else if (from.y == y) {
        if (clip(from.x, x, surface.width, &first, &last))
            for (int xx = first; xx <= last; xx++)
                for (int d = low; d <= high; d++) Plot(surface, xx, y + d, color);
    } else {
        return FALSE;  // the plug-in draws no slanted lines
    }
    context->position = {x, y};
    return TRUE;
}

COLORREF GetPixel(HDC dc, int x, int y) {
    DeviceContext* context = FindDc(dc);
    if (!context) return CLR_INVALID;
    COLORREF pixel = sim::Pixel(context->window, x, y);
    return pixel == sim::Unpainted ? CLR_INVALID : pixel;
}

namespace sim {

COLORREF Pixel(HWND window, int x, int y) {
    auto found = state->surfaces.find(reinterpret_cast<uintptr_t>(window));
    if (found == state->surfaces.end()) return Unpainted;
    const Surface& surface = found->second;
    if (x < 0 || y < 0 || x >= surface.width || y >= surface.height) return Unpainted;
    return surface.pixels[size_t(y) * size_t(surface.width) + size_t(x)];
}

int LiveDeviceContexts() { return int(state->dcs.size()); }
int LiveGdiObjects() { return int(state->objects.size()); }

void ResetGdi() { *state = GdiState(); }

}  // namespace sim
