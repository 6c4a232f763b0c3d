// Test interface of the simulated platform: reset, failure injection and
// the count of what is alive. Each area's own set-up and inspection calls
// are declared in its header.
#pragma once

#include "types.h"

namespace sim {

enum class Call {
    CreateFile,
    RegisterClass,
    CreateWindow,
    SetParent,
    SetLayeredAttributes,
    // Not a failing call: the next move of a layered window into a child
    // place drops its layered style, as Windows does for a program that
    // does not declare Windows 8.
    LayeredChild,
    RegOpenKey,
    RegCreateKey,
    RegSetValue,
    Count
};

// Makes a later call of `call` fail with `error`: the first `successesBefore`
// calls still succeed, the next one fails, and later ones succeed again.
void FailCall(Call call, DWORD error, int successesBefore = 0);
// For the simulated functions: true (and the error to set) when this call
// is to fail.
bool TakeFailure(Call call, DWORD* error);

struct LiveObjects {
    int windows;   // windows other than the desktop, console and test windows
    int classes;
    int timers;
    int handles;
    int registryKeys;
};
LiveObjects Alive();

// Brings every area back to its start state: a desktop window, a visible
// console window of 640 by 400 pixels showing 80 by 25 cells, the standard
// palette, an empty variable table, version 28, no shell main window.
void Reset();

void ResetKernel();
void ResetUser();
void ResetConsole();
void ResetShell();
void ResetGdi();
void ResetRegistry();

}  // namespace sim
