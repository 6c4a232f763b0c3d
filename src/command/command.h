// The TICKRAIL command: its arguments, options, report and registry actions.
#pragma once

#include "platform.h"

const int MaxArguments = 1024;
const int MaxArgumentLength = 8192;

// The arguments of the last split, upper-cased; read by the command and by
// the LIST interception.
struct ArgumentTableRecord {
    int count;
    LPWSTR args[MaxArguments];
    int lengths[MaxArguments];
    WCHAR buffer[MaxArgumentLength];
};

extern ArgumentTableRecord ArgumentTable;

int SplitArguments(LPCWSTR tail);
