#include "shell.h"

#include <map>

#include "expand.h"
#include "format.h"
#include "kernel.h"
#include "sim.h"
#include "user.h"
#include "takecmd.h"

namespace {

// Like wsprintfW, the shell formats at most 1024 characters in one call;
// longer text must come in pieces.
const size_t FormatCapacity = 1025;

struct ShellState {
    std::wstring out, err, printed;
    std::map<std::wstring, std::wstring> variables;
    std::wstring hwndAnswer;
    HWND tab = nullptr;
    int tabDelay = -1;
    std::wstring lastConsoleTitle;
    DWORD consoleTitleChangedAt = 0;
    bool tabPending = false;
};

ShellState* state = new ShellState;

std::wstring& Stream(HANDLE handle) {
    return handle == sim::StdErrorHandle() ? state->err : state->out;
}

}  // namespace

extern "C" int Printf(LPCWSTR format, ...) {
    WCHAR text[FormatCapacity];
    va_list args;
    va_start(args, format);
    int n = sim::FormatWide(text, FormatCapacity, format, args);
    va_end(args);
    state->out += text;
    state->printed += text;
    return n;
}

extern "C" int Qprintf(HANDLE handle, LPCWSTR format, ...) {
    WCHAR text[FormatCapacity];
    va_list args;
    va_start(args, format);
    int n = sim::FormatWide(text, FormatCapacity, format, args);
    va_end(args);
    Stream(handle) += text;
    state->printed += text;
    return n;
}

extern "C" int QPuts(LPCWSTR text) {
    state->out += text;
    state->printed += text;
    return 0;
}

extern "C" void CrLf(void) {
    state->out += L"\r\n";
    state->printed += L"\r\n";
}

// The plug-in always passes 1 as the second argument; the simulation
// expands only then.
extern "C" int ExpandVariables(LPWSTR buffer, int recurse) {
    if (recurse != 1) return 1;
    std::wstring result = ExpandReferences(buffer, [](const std::wstring& name) {
        auto found = state->variables.find(name);
        return found == state->variables.end() ? std::wstring() : found->second;
    });
    std::wcscpy(buffer, result.c_str());
    return 0;
}

extern "C" int TakeCommandIPC(LPCWSTR command, LPWSTR buffer) {
    if (std::wstring(command) != L"HWND") return 1;
    std::wcscpy(buffer, state->hwndAnswer.c_str());
    return 0;
}

namespace sim {

const std::wstring& StdOut() { return state->out; }
const std::wstring& StdErr() { return state->err; }
const std::wstring& Printed() { return state->printed; }
void ClearOutput() {
    state->out.clear();
    state->err.clear();
    state->printed.clear();
}
void SetVariable(const std::wstring& name, const std::wstring& value) { state->variables[name] = value; }
void SetHwndAnswer(const std::wstring& answer) { state->hwndAnswer = answer; }

void SetTabFollowsConsoleTitle(HWND tab, int delayMs) {
    state->tab = tab;
    state->tabDelay = delayMs;
}

void ShellAct() {
    if (!state->tab || state->tabDelay < 0) return;
    WCHAR title[1024];
    GetWindowTextW(ConsoleWindow(), title, 1024);
    if (state->lastConsoleTitle != title) {
        state->lastConsoleTitle = title;
        state->consoleTitleChangedAt = Now();
        state->tabPending = true;
    }
    if (state->tabPending && Now() - state->consoleTitleChangedAt >= DWORD(state->tabDelay)) {
        state->tabPending = false;
        SetTitleQuietly(state->tab, title);
    }
}

void ResetShell() {
    *state = ShellState();
    state->variables[L"_4ver"] = L"28.01";
    state->variables[L"_batch"] = L"0";
    state->variables[L"_transient"] = L"0";
    state->variables[L"_pipe"] = L"0";
}

}  // namespace sim
