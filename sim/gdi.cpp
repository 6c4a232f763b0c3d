#include "gdi.h"

#include "sim.h"
#include "user.h"

namespace {
int liveDcs;
}

HDC GetDC(HWND window) {
    if (!IsWindow(window)) return nullptr;
    liveDcs++;
    return reinterpret_cast<HDC>(window);
}

int ReleaseDC(HWND, HDC dc) {
    if (!dc) return 0;
    liveDcs--;
    return 1;
}

namespace sim {
int LiveDeviceContexts() { return liveDcs; }
void ResetGdi() { liveDcs = 0; }
}  // namespace sim
