// Cutting a command tail into upper-cased arguments: white space separates,
// double quotes group, and options written together (/A:128/B:RED) part.
#include "command.h"
#include "plugin/plugin.h"
#include "plugin/text.h"

ArgumentTableRecord ArgumentTable;

namespace {

const int LastWritePosition = MaxArgumentLength - 1;

// The entries of the table that the last call wrote; only those need
// clearing, the rest are still clear.
int entriesInUse;

struct SplitState {
    int b;      // write position in the buffer
    int argc;   // arguments completed
    int n;      // length of the open argument; 0 when none is open
    bool inQuotes;
    bool pathAfterDrive;  // inside X:// a "/" starts no new option
};

void CompleteArgument(SplitState* s) {
    s->argc++;
    s->b++;
    // An argument that ends at the last position leaves b past the buffer;
    // the next store then reports the overflow.
    if (s->b < MaxArgumentLength) ArgumentTable.buffer[s->b] = 0;
    s->n = 0;
    s->pathAfterDrive = false;
}

// Returns false on an overflow of the buffer, after its message.
bool StoreCharacter(SplitState* s, WCHAR ch) {
    if (s->b >= LastWritePosition) {
        PrintError(L"Buffer overflow: b = %d, MAX_ARG_LEN = %d \r\n", s->b, MaxArgumentLength);
        return false;
    }
    if (s->argc >= MaxArguments) return true;  // the surplus is dropped
    if (s->n == 0) ArgumentTable.args[s->argc] = &ArgumentTable.buffer[s->b];
    ArgumentTable.buffer[s->b++] = UpperAscii(ch);
    ArgumentTable.buffer[s->b] = 0;
    ArgumentTable.lengths[s->argc] = ++s->n;
    return true;
}

// An open argument (n > 0) stands before p, so p[-1] is in the tail.
bool StartsPathAfterDrive(const SplitState& s, LPCWSTR p) {
    return s.n > 0 && IsAsciiLetter(p[-1]) && p[1] == L'/' && p[2] == L'/';
}

// An argument is open only while there is room for it (argc < MaxArguments).
bool StartsNewOption(const SplitState& s) {
    return !s.inQuotes && !s.pathAfterDrive && s.n >= 2 && ArgumentTable.args[s.argc][0] == L'/';
}

}  // namespace

int SplitArguments(LPCWSTR tail) {
    if (!tail) return -1;
    ArgumentTable.count = 0;
    for (int i = 0; i < entriesInUse; i++) {
        ArgumentTable.lengths[i] = 0;
        ArgumentTable.args[i] = nullptr;
    }
    ArgumentTable.buffer[0] = 0;

    SplitState s = {0, 0, 0, false, false};
    bool overflow = false;
    for (LPCWSTR p = tail;; p++) {
        WCHAR ch = *p;
        if (ch == L'"') {
            s.inQuotes = !s.inQuotes;
            continue;
        }
        if (ch == 0) {
            if (s.n > 0) s.argc++;
            break;
        }
        if (IsWhiteSpace(ch) && !s.inQuotes) {
            if (s.n > 0) CompleteArgument(&s);
            continue;
        }
        if (ch == L':' && StartsPathAfterDrive(s, p)) s.pathAfterDrive = true;
        if (ch == L'/' && StartsNewOption(s)) {
            s.argc++;
            s.b++;
            s.n = 0;
        }
        if (!StoreCharacter(&s, ch)) {
            overflow = true;
            break;
        }
    }
    entriesInUse = s.argc < MaxArguments ? s.argc + 1 : MaxArguments;
    if (overflow) return -1;

    for (int i = 0; i < s.argc; i++) {
        LPWSTR arg = ArgumentTable.args[i];
        while (ArgumentTable.lengths[i] > 0 && IsWhiteSpace(arg[ArgumentTable.lengths[i] - 1]))
            arg[--ArgumentTable.lengths[i]] = 0;
    }
    ArgumentTable.count = s.argc;
    return s.argc;
}
