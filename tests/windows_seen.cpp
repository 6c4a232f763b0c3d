#include "windows_seen.h"

#include "overlay/overlay.h"

std::wstring OverlayClassName() {
    WCHAR name[64];
    wsprintfW(name, OVERLAY_CLASS_FORMAT, unsigned(GetCurrentProcessId()));
    return name;
}

namespace {

BOOL CALLBACK CollectOverlay(HWND window, LPARAM param) {
    WCHAR name[64] = L"";
    GetClassNameW(window, name, 64);
    if (OverlayClassName() == name) reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> OverlaysIn(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(parent, CollectOverlay, reinterpret_cast<LPARAM>(&found));
    return found;
}

RECT PlaceIn(HWND window) {
    RECT place = {0, 0, 0, 0};
    GetWindowRect(window, &place);
    MapWindowPoints(nullptr, GetAncestor(window, GA_PARENT), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

Layered LayeredOf(HWND window) {
    Layered layered = {0, 0, 0, false};
    layered.set = GetLayeredWindowAttributes(window, &layered.key, &layered.alpha, &layered.flags) != FALSE;
    return layered;
}

