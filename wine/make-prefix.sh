#!/usr/bin/env bash
# A fresh Wine prefix for the cases: made once per run, told to take the
# monitors the X display sets up (two, side by side) rather than ask XRandR.
set -euo pipefail
wine wineboot --init >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /t REG_SZ /d N /f >/dev/null 2>&1
wineserver -w
