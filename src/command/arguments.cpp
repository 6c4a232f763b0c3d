// Cutting a command tail into upper-cased arguments: white space separates,
// double quotes group, and options written together (/A:128/B:RED) part.
#include "command.h"
#include "plugin/plugin.h"
#include "plugin/text.h"

ArgumentTableRecord ArgumentTable;

namespace {

const int LastWritePosition = MaxArgumentLength - 1;

struct Splitter {
    int b;      // write position in the buffer
    int argc;   // arguments completed
    int n;      // length of the open argument; 0 when none is open
    bool inQuotes;
    bool pathAfterDrive;  // inside X:// a "/" starts no new option

    void Complete() {
        argc++;
        b++;
        // An argument that ends at the last position leaves b past the
        // buffer; the next store then reports the overflow.
        if (b < MaxArgumentLength) ArgumentTable.buffer[b] = 0;
        n = 0;
        pathAfterDrive = false;
    }

    // Returns false on an overflow of the buffer, after its message.
    bool Store(WCHAR ch) {
        if (b >= LastWritePosition) {
            PrintError(L"Buffer overflow: b = %d, MAX_ARG_LEN = %d \r\n", b, MaxArgumentLength);
            return false;
        }
        if (argc >= MaxArguments) return true;  // the surplus is dropped
        if (n == 0) ArgumentTable.args[argc] = &ArgumentTable.buffer[b];
        ArgumentTable.buffer[b++] = UpperAscii(ch);
        ArgumentTable.buffer[b] = 0;
        ArgumentTable.lengths[argc] = ++n;
        return true;
    }
};

}  // namespace

int SplitArguments(LPCWSTR tail) {
    if (!tail) return -1;
    ArgumentTable.count = 0;
    for (int i = 0; i < MaxArguments; i++) {
        ArgumentTable.lengths[i] = 0;
        ArgumentTable.args[i] = nullptr;
    }
    ArgumentTable.buffer[0] = 0;

    Splitter s = {0, 0, 0, false, false};
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
            if (s.n > 0) s.Complete();
            continue;
        }
        if (ch == L':' && s.n > 0 && p > tail && IsAsciiLetter(p[-1]) && p[1] == L'/' && p[2] == L'/')
            s.pathAfterDrive = true;
        if (ch == L'/' && !s.inQuotes && !s.pathAfterDrive && s.n >= 2 && s.argc < MaxArguments &&
            ArgumentTable.args[s.argc][0] == L'/') {
            s.argc++;
            s.b++;
            s.n = 0;
        }
        if (!s.Store(ch)) {
            ArgumentTable.count = 0;
            return -1;
        }
    }

    for (int i = 0; i < s.argc && i < MaxArguments; i++) {
        LPWSTR arg = ArgumentTable.args[i];
        while (ArgumentTable.lengths[i] > 0 && IsWhiteSpace(arg[ArgumentTable.lengths[i] - 1]))
            arg[--ArgumentTable.lengths[i]] = 0;
    }
    ArgumentTable.count = s.argc;
    return s.argc;
}
