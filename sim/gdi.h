// Simulated GDI. Drawing arrives with the painting of the strip; until
// then the device context is all that is needed.
#pragma once

#include "types.h"

HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);

namespace sim {
int LiveDeviceContexts();
}  // namespace sim
