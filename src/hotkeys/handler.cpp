// The keystroke handler and the LIST interception.
#include "overlay/overlay.h"
#include "plugin/plugin.h"
#include "settings/settings.h"

namespace {
const int HandBackToShell = int(0xFEDCBA98u);
const DWORD ListRowOffset = 1;
}  // namespace

// Hotkeys are recognised once the handler lands; every key goes on to the
// shell unchanged.
extern "C" int WINAPI key(KeyRecord*) { return 0; }

// LIST moves the strip down one row, then the shell runs its own LIST.
extern "C" int WINAPI list(LPWSTR) {
    Settings.rowOffset = ListRowOffset;
    RepaintOverlays();
    return HandBackToShell;
}
