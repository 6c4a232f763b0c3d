#include "prompt.h"

#include <algorithm>

#include "console.h"
#include "gdi.h"
#include "hotkeys/keys.h"
#include "plugin/plugin.h"
#include "settings/colors.h"
#include "shell.h"
#include "sim.h"
#include "user.h"

namespace sim {

namespace {

const int HandBackToShell = int(0xFEDCBA98u);
const size_t ConsoleBufferRows = 3000;
const int TabStop = 8;
// The virtual milliseconds after each step: the timer's ticks and the
// paints the step asked for.
const DWORD SettleMs = 300;
// After a load: the timer's first ticks ask for the first paint.
const DWORD FirstPaintMs = 800;
const HINSTANCE PluginInstance = reinterpret_cast<HINSTANCE>(uintptr_t(0x10000000));
const wchar_t PluginFileName[] = L"tickrail.dll";

struct ShellSession {
    int columns = 80, rows = 25, background = 0;
    bool loaded = false, listRunning = false;
    std::vector<std::wstring> functions;  // the plug-in's, in capitals
    std::vector<std::wstring> lines;      // the console's buffer; the cursor ends the last one
};

ShellSession session;

std::wstring Upper(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'a' && c <= L'z') c = wchar_t(c - L'a' + L'A');
    return text;
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// Writes into the console as a console does: wrapping at its width, a
// carriage return to the row's start, control characters as spaces.
void Print(const std::wstring& text) {
    if (session.lines.empty()) session.lines.emplace_back();
    size_t column = session.lines.back().size();
    for (wchar_t c : text) {
        if (c == L'\r') {
            column = 0;
            continue;
        }
        if (c == L'\n') {
            session.lines.emplace_back();
            column = 0;
            continue;
        }
        int width = c == L'\t' ? TabStop - int(column) % TabStop : 1;
        if (c < L' ' || c == 0x7F) c = L' ';
        for (int i = 0; i < width; i++) {
            if (column >= size_t(session.columns)) {
                session.lines.emplace_back();
                column = 0;
            }
            std::wstring& current = session.lines.back();
            if (column < current.size()) current[column] = c;
            else current += c;
            column++;
        }
    }
    if (session.lines.size() > ConsoleBufferRows)
        session.lines.erase(session.lines.begin(), session.lines.end() - ConsoleBufferRows);
}

void Settle() { RunFor(SettleMs); }

// What was printed since the last call, taken from the shell's streams.
void TakePrinted(PromptAnswer* answer) {
    answer->printed += Printed();
    answer->out += StdOut();
    answer->err += StdErr();
    ClearOutput();
}

// The shell's own message, on its error stream.
void ShellError(PromptAnswer* answer, const std::wstring& message) {
    answer->printed += message;
    answer->err += message;
}

bool HasFunction(const wchar_t* name) {
    return session.loaded && std::find(session.functions.begin(), session.functions.end(), name) != session.functions.end();
}

// The functions the plug-in offers: "tickrail,list,*key".
void ReadFunctions(const PluginInfoRecord* info) {
    session.functions.clear();
    std::wstring list = info && info->functions ? Upper(info->functions) : L"";
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find_first_of(L",;", start);
        if (end == std::wstring::npos) end = list.size();
        if (end > start) session.functions.push_back(list.substr(start, end - start));
        start = end + 1;
    }
}

// The shell, back at its prompt after LIST, calls the plug-in without a key.
void EndList() {
    if (!session.listRunning) return;
    session.listRunning = false;
    if (!HasFunction(L"*KEY")) return;
    KeyRecord record = {};
    key(&record);
    Settle();
}

void LoadPlugin(const std::wstring& path, PromptAnswer* answer) {
    size_t slash = path.find_last_of(L"\\/:");
    std::wstring file = slash == std::wstring::npos ? path : path.substr(slash + 1);
    if (Upper(file) != Upper(PluginFileName)) return ShellError(answer, L"PLUGIN: cannot find \"" + path + L"\"\r\n");
    if (session.loaded) return ShellError(answer, L"PLUGIN: " PLUGIN_NAME L" is already loaded\r\n");
    DllMain(PluginInstance, DLL_PROCESS_ATTACH, nullptr);
    PluginInfoRecord* info = GetPluginInfo();
    answer->pluginCalled = true;
    answer->returned = InitializePlugin();
    session.loaded = answer->returned == 0;
    if (session.loaded) ReadFunctions(info);
    else DllMain(PluginInstance, DLL_PROCESS_DETACH, nullptr);
    RunFor(FirstPaintMs);
    TakePrinted(answer);
}

void UnloadPlugin(const std::wstring& name, PromptAnswer* answer) {
    if (!session.loaded || Upper(name) != Upper(PLUGIN_NAME))
        return ShellError(answer, L"PLUGIN: no plug-in named \"" + name + L"\" is loaded\r\n");
    answer->pluginCalled = true;
    answer->returned = ShutdownPlugin(0);
    DllMain(PluginInstance, DLL_PROCESS_DETACH, nullptr);
    session.loaded = false;
    session.functions.clear();
    Settle();
    TakePrinted(answer);
}

void RunPlugin(const std::wstring& tail, PromptAnswer* answer) {
    std::wstring option = Upper(tail.substr(0, 2));
    std::wstring rest = tail.size() > 2 ? tail.substr(2) : L"";
    size_t first = rest.find_first_not_of(L" \t");
    rest = first == std::wstring::npos ? L"" : rest.substr(first);
    bool alone = tail.size() == 2 || IsBlank(tail[2]);
    if (option == L"/L" && alone) return LoadPlugin(rest, answer);
    if (option == L"/U" && alone) return UnloadPlugin(rest, answer);
    ShellError(answer, L"Usage: PLUGIN /L file | /U name\r\n");
}

}  // namespace

void StartShell(int columns, int rows, int background, const std::wstring& version,
                const std::vector<std::wstring>& text) {
    if (session.loaded) {
        ShutdownPlugin(0);
        DllMain(PluginInstance, DLL_PROCESS_DETACH, nullptr);
    }
    session = ShellSession();
    Reset();
    SetVariable(L"_4ver", version);
    ResizeConsole(columns, rows);
    SetConsoleBackground(background);
    session.lines = text;
    session.lines.emplace_back();
    Print(PromptText);
}

PromptAnswer RunPromptLine(const std::wstring& line) {
    EndList();
    Print(line + L"\r\n");
    ClearOutput();
    PromptAnswer answer = {L"", L"", L"", false, 0};
    size_t start = line.find_first_not_of(L" \t");
    if (start != std::wstring::npos) {
        size_t end = line.find_first_of(L" \t", start);
        std::wstring name = line.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        size_t tailStart = end == std::wstring::npos ? line.size() : line.find_first_not_of(L" \t", end);
        std::wstring tail = tailStart == std::wstring::npos ? L"" : line.substr(tailStart);
        std::wstring command = Upper(name);
        if (command == L"PLUGIN") {
            RunPlugin(tail, &answer);
        } else if (HasFunction(command.c_str()) && (command == L"TICKRAIL" || command == L"LIST")) {
            std::vector<wchar_t> buffer(tail.begin(), tail.end());
            buffer.push_back(0);
            answer.pluginCalled = true;
            answer.returned = command == L"LIST" ? list(buffer.data()) : tickrail(buffer.data());
            Settle();
            TakePrinted(&answer);
            // The shell runs its own LIST after the plug-in's.
            session.listRunning = command == L"LIST" && answer.returned == HandBackToShell;
        } else if (command == L"LIST") {
            session.listRunning = true;
        } else {
            ShellError(&answer, L"Unknown command \"" + name + L"\"\r\n");
        }
    }
    Print(answer.printed);
    Print(PromptText);
    return answer;
}

std::wstring PressNamedKey(const std::wstring& name, bool* swallowed) {
    *swallowed = false;
    ClearOutput();
    PromptAnswer answer = {L"", L"", L"", false, 0};
    if (session.listRunning) {
        if (Upper(name) == L"ESC") EndList();
        TakePrinted(&answer);
        Print(answer.printed);
        return answer.printed;
    }
    if (!HasFunction(L"*KEY")) return L"";
    int code = ParseHotkeyName(name.c_str());
    bool byName = PluginState.useKeyTableV24;
    if (code <= 0 && !byName) return L"";  // no code for it in the older table
    int flags = code > 0 ? code & CtrlAltShiftFlag : 0;
    bool ctrl = flags != 0, shift = flags == CtrlShiftFlag || flags == CtrlAltShiftFlag;
    bool alt = flags == CtrlAltFlag || flags == CtrlAltShiftFlag;
    SetKeyDown(VK_CONTROL, ctrl);
    SetKeyDown(VK_SHIFT, shift);
    SetKeyDown(VK_MENU, alt);
    std::vector<wchar_t> keyName(name.begin(), name.end());
    keyName.push_back(0);
    KeyRecord record = {};
    if (byName) record.keyName = keyName.data();
    else record.keyCode = code & ~CtrlAltShiftFlag;
    key(&record);
    SetKeyDown(VK_CONTROL, false);
    SetKeyDown(VK_SHIFT, false);
    SetKeyDown(VK_MENU, false);
    *swallowed = byName ? keyName[0] == 0 : record.keyCode == 0;
    Settle();
    TakePrinted(&answer);
    Print(answer.printed);
    return answer.printed;
}

bool PluginLoaded() { return session.loaded; }
bool ListRunning() { return session.listRunning; }

void ResizeConsole(int columns, int rows) {
    session.columns = std::min(std::max(columns, MinColumns), MaxColumns);
    session.rows = std::min(std::max(rows, MinRows), MaxRows);
    columns = session.columns;
    rows = session.rows;
    SetConsoleView(columns, rows);
    ResizeClient(ConsoleWindow(), columns * CellWidth, rows * CellHeight);
    Settle();
}

void SetConsoleBackground(int index) {
    session.background = index & 15;
    WORD foreground = session.background == 7 || session.background >= 10 ? 0 : 7;
    SetConsoleAttributes(WORD(session.background << 4 | foreground));
    Settle();
}

std::wstring RestartShellAt(const std::wstring& version) {
    SetVariable(L"_4ver", version);
    if (!session.loaded) return L"";
    std::wstring printed = RunPromptLine(L"plugin /u " PLUGIN_NAME).printed;
    return printed + RunPromptLine(L"plugin /l tickrail.dll").printed;
}

int ConsoleColumns() { return session.columns; }
int ConsoleRows() { return session.rows; }

std::vector<std::wstring> ConsoleText() {
    size_t first = session.lines.size() > size_t(session.rows) ? session.lines.size() - size_t(session.rows) : 0;
    std::vector<std::wstring> shown(session.lines.begin() + long(first), session.lines.end());
    for (std::wstring& row : shown)
        if (row.size() > size_t(session.columns)) row.resize(size_t(session.columns));
    shown.resize(size_t(session.rows));
    return shown;
}

COLORREF ConsoleInk() {
    return StandardConsolePalette.colors[session.background == 7 || session.background >= 10 ? 0 : 7];
}
COLORREF ConsolePaper() { return StandardConsolePalette.colors[session.background]; }

bool ComposeStripLayer(HWND strip, int width, int height, StripLayer* layer) {
    *layer = StripLayer{0, 0, 0, 0, {}};
    if (!strip || !IsWindowVisible(strip)) return false;
    RECT place = WindowRect(strip);
    int left = std::max(0, int(place.left)), top = std::max(0, int(place.top));
    int right = std::min(width, int(place.right)), bottom = std::min(height, int(place.bottom));
    if (left >= right || top >= bottom) return false;
    LayeredAttributes layered = Layered(strip);
    // Windows shows a layered window only once it has its attributes.
    int alpha = !layered.set ? 0 : layered.flags & LWA_ALPHA ? layered.alpha : 255;
    *layer = StripLayer{left, top, right - left, bottom - top, {}};
    layer->rgba.resize(size_t(layer->width) * size_t(layer->height) * 4);
    bool shows = false;
    unsigned char* out = layer->rgba.data();
    for (int y = top; y < bottom; y++) {
        for (int x = left; x < right; x++, out += 4) {
            COLORREF pixel = Pixel(strip, x - place.left, y - place.top);
            bool through = pixel == Unpainted || ((layered.flags & LWA_COLORKEY) && pixel == layered.key);
            out[0] = static_cast<unsigned char>(pixel & 0xFF);
            out[1] = static_cast<unsigned char>(pixel >> 8 & 0xFF);
            out[2] = static_cast<unsigned char>(pixel >> 16 & 0xFF);
            out[3] = static_cast<unsigned char>(through ? 0 : alpha);
            if (through) out[0] = out[1] = out[2] = 0;
            shows = shows || out[3] != 0;
        }
    }
    if (!shows) *layer = StripLayer{0, 0, 0, 0, {}};
    return shows;
}

bool ConsoleStripLayer(StripLayer* layer) {
    HWND strip = session.loaded ? PluginState.consoleOverlay : nullptr;
    return ComposeStripLayer(strip, session.columns * CellWidth, session.rows * CellHeight, layer);
}

}  // namespace sim
