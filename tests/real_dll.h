// The real tickrail.dll and its exports, found by the plain names the shell
// looks for: the one load sequence of the cases and of the Wine demo.
#pragma once

#include "plugin/plugin.h"

struct TickrailDll {
    HMODULE module;
    decltype(&GetPluginInfo) getPluginInfo;
    decltype(&InitializePlugin) initializePlugin;
    decltype(&ShutdownPlugin) shutdownPlugin;
    decltype(&Usage) usage;
    decltype(&Help) help;
    decltype(&tickrail) command;
    decltype(&list) list;
    decltype(&key) key;
};

// Loads the library from one folder above the running program (the test
// programs and the stand-in TakeCmd.dll live in a folder of their own);
// false when it or any export is missing.
bool LoadTickrailDll(TickrailDll* dll);
void FreeTickrailDll(TickrailDll* dll);
