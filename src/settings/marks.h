// Alternate-colour marks: a column or row number 1-2000, or RepeatMarkFlag
// plus a distance 2-100 for every n-th one.
#pragma once

#include "settings.h"

const DWORD RepeatMarkFlag = 0x10000;
const DWORD MaxMarkPosition = 2000;
const DWORD MinRepeatDistance = 2;
const DWORD MaxRepeatDistance = 100;

// Parses an option such as /I:80,*10=Red into the list, count and colour.
// Returns 0, 1 after an error message (nothing written), -1 without an
// argument. `kind` is "column" or "row".
int ParseAltMarks(LPCWSTR arg, DWORD* list, DWORD* count, COLORREF* color, LPCWSTR kind);
int CompareMarks(DWORD a, DWORD b);
// Whether a stored value is a mark the parser could have made.
bool IsStorableMark(DWORD mark);
