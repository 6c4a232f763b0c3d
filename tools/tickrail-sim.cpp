// Runs the plug-in in the simulated shell the way the shell would: loads
// it, runs the TICKRAIL commands, keys and LIST given on the command line in
// their order, shows what the shell prints, and pictures the console window
// with its strip as a PNG.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "demo_text.h"
#include "hotkeys/keys.h"
#include "picture.h"
#include "plugin/plugin.h"
#include "settings/colors.h"
#include "settings/settings.h"

namespace {

const char UsageText[] =
    "usage: tickrail-sim [OPTION]...\n"
    "Loads the plug-in into a simulated shell and pictures its console window.\n"
    "\n"
    "  --command TAIL    run TICKRAIL with TAIL (repeatable; in order with --key and --list)\n"
    "  --key NAME        press a key named as TICKRAIL /L lists it, for example Shift-F12\n"
    "  --list TAIL       start LIST with TAIL: the strip moves down while LIST runs\n"
    "  --columns N       the console's width in cells, 20 to 250 (default 80)\n"
    "  --rows N          the console's height in cells, 5 to 100 (default 25)\n"
    "  --background N    the console's background colour index, 0 to 15 (default 0)\n"
    "  --text FILE       what the console shows (default: a directory listing and a ruler)\n"
    "  --png FILE        where the picture goes (default tickrail.png; scripts/demo: build/sim/tickrail.png)\n"
    "  --version V       the shell's version as %_4ver gives it (default 28.01)\n"
    "  --help            this text\n";

const int CellWidth = 8;
const int CellHeight = 16;

struct Step {
    enum Kind { Command, Key, List } kind;
    std::string text;
};

struct Options {
    std::vector<Step> steps;
    int columns = 80, rows = 25, background = 0;
    std::string textFile, png = "tickrail.png", version = "28.01";
};

std::wstring Wide(const std::string& utf8) {
    std::wstring out;
    for (size_t i = 0; i < utf8.size();) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        unsigned long code = extra ? c & (0x3F >> extra) : c;
        for (int k = 1; k <= extra && i + size_t(k) < utf8.size(); k++) code = code << 6 | (utf8[i + size_t(k)] & 0x3F);
        i += size_t(extra) + 1;
        out += code <= 0xFFFF ? wchar_t(code) : L'?';
    }
    return out;
}

void Show(const char* label, const std::wstring& text) {
    if (text.empty()) return;
    std::vector<char> utf8(text.size() * 4 + 1);
    sim::ToUtf8(text.c_str(), utf8.data(), utf8.size());
    std::string line;
    for (const char* p = utf8.data();; p++) {
        if (*p == '\n' || !*p) {
            if (!line.empty() || *p) std::printf("%s%s\n", label, line.c_str());
            line.clear();
            if (!*p) break;
        } else if (*p != '\r') {
            line += *p;
        }
    }
    sim::ClearOutput();
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "tickrail-sim: %s\ntry tickrail-sim --help\n", message.c_str());
    return 2;
}

bool ReadNumber(const char* text, int low, int high, int* value) {
    char* end;
    long number = std::strtol(text, &end, 10);
    if (!*text || *end || number < low || number > high) return false;
    *value = int(number);
    return true;
}

// Returns 0 to go on, else the exit code.
int ReadOptions(int argc, char** argv, Options* options, bool* help) {
    for (int i = 1; i < argc; i++) {
        std::string option = argv[i];
        if (option == "--help") {
            *help = true;
            return 0;
        }
        const char* const valued[] = {"--command", "--key", "--list", "--columns", "--rows",
                                      "--background", "--text", "--png", "--version"};
        bool known = false;
        for (const char* name : valued) known = known || option == name;
        if (!known) return Fail("unknown option " + option);
        // No value of these options starts with "--": such a word is the next option.
        if (i + 1 >= argc || std::strncmp(argv[i + 1], "--", 2) == 0) return Fail(option + " needs a value");
        const char* value = argv[++i];
        if (option == "--command") options->steps.push_back({Step::Command, value});
        else if (option == "--key") options->steps.push_back({Step::Key, value});
        else if (option == "--list") options->steps.push_back({Step::List, value});
        else if (option == "--columns" && !ReadNumber(value, 20, 250, &options->columns))
            return Fail("--columns takes a number from 20 to 250, not " + std::string(value));
        else if (option == "--rows" && !ReadNumber(value, 5, 100, &options->rows))
            return Fail("--rows takes a number from 5 to 100, not " + std::string(value));
        else if (option == "--background" && !ReadNumber(value, 0, 15, &options->background))
            return Fail("--background takes a colour index from 0 to 15, not " + std::string(value));
        else if (option == "--text") options->textFile = value;
        else if (option == "--png") options->png = value;
        else if (option == "--version") options->version = value;
    }
    return 0;
}

bool ReadText(const std::string& file, std::vector<std::wstring>* lines) {
    std::ifstream in(file);
    if (!in) return false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines->push_back(Wide(line));
    }
    return true;
}

// Presses a key as the shell reports it: its code without the modifier
// flags, with the modifiers of the flags held down.
void PressKey(const std::string& name) {
    int code = ParseHotkeyName(Wide(name).c_str());
    int flags = code & CtrlAltShiftFlag;
    bool ctrl = flags != 0, shift = flags == CtrlShiftFlag || flags == CtrlAltShiftFlag;
    bool alt = flags == CtrlAltFlag || flags == CtrlAltShiftFlag;
    sim::SetKeyDown(VK_CONTROL, ctrl);
    sim::SetKeyDown(VK_SHIFT, shift);
    sim::SetKeyDown(VK_MENU, alt);
    KeyRecord record = {};
    record.keyCode = code & ~CtrlAltShiftFlag;
    key(&record);
    sim::SetKeyDown(VK_CONTROL, false);
    sim::SetKeyDown(VK_SHIFT, false);
    sim::SetKeyDown(VK_MENU, false);
    std::printf("shell: key %s %s\n", name.c_str(),
                record.keyCode == 0 ? "is the plug-in's hotkey" : "goes on to the shell");
}

void RunStep(const Step& step) {
    std::wstring tail = Wide(step.text);
    switch (step.kind) {
    case Step::Command: {
        std::printf("shell> TICKRAIL %s\n", step.text.c_str());
        int result = tickrail(&tail[0]);
        Show("", sim::StdOut());
        Show("(stderr) ", sim::StdErr());
        std::printf("shell: TICKRAIL returned %d\n", result);
        break;
    }
    case Step::Key:
        PressKey(step.text);
        break;
    case Step::List: {
        std::printf("shell> LIST %s\n", step.text.c_str());
        int result = list(&tail[0]);
        Show("(stderr) ", sim::StdErr());
        std::printf("shell: LIST returned 0x%08X: the shell runs its own LIST now\n", unsigned(result));
        break;
    }
    }
    sim::RunFor(300);  // the paints that the step asked for
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    bool help = false;
    if (int exitCode = ReadOptions(argc, argv, &options, &help)) return exitCode;
    if (help) {
        std::fputs(UsageText, stdout);
        return 0;
    }
    std::vector<std::wstring> text;
    std::vector<std::wstring> typed;
    for (const Step& step : options.steps)
        if (step.kind != Step::Key) typed.push_back((step.kind == Step::List ? L"list " : L"tickrail ") + Wide(step.text));
    if (options.textFile.empty()) text = DemoConsoleText(options.columns, typed);
    else if (!ReadText(options.textFile, &text)) return Fail("cannot read " + options.textFile);

    sim::Reset();
    sim::SetVariable(L"_4ver", Wide(options.version));
    sim::SetConsoleView(options.columns, options.rows);
    sim::ResizeClient(sim::ConsoleWindow(), options.columns * CellWidth, options.rows * CellHeight);
    WORD foreground = options.background == 7 || options.background >= 10 ? 0 : 7;
    sim::SetConsoleAttributes(WORD(options.background << 4 | foreground));
    DllMain(reinterpret_cast<HINSTANCE>(uintptr_t(0x180000000)), DLL_PROCESS_ATTACH, nullptr);
    GetPluginInfo();
    int loaded = InitializePlugin();
    Show("console> ", sim::StdOut());
    Show("console (stderr)> ", sim::StdErr());
    std::printf("shell: InitializePlugin returned %d\n", loaded);
    if (loaded == 0) {
        for (const Step& step : options.steps)
            if (step.kind == Step::Key && ParseHotkeyName(Wide(step.text).c_str()) <= 0)
                return Fail("--key takes a key as TICKRAIL /L lists it, not " + step.text);
        sim::RunFor(500);  // the timer's first ticks ask for the first paint
        for (const Step& step : options.steps) RunStep(step);
    }

    Picture picture = {options.columns * CellWidth, options.rows * CellHeight, {}};
    std::string error;
    COLORREF ink = consoleColors[foreground], paper = consoleColors[options.background];
    if (!DrawConsoleText(&picture, text, CellWidth, CellHeight, ink, paper, DefaultFontFile, &error)) {
        std::fprintf(stderr, "tickrail-sim: %s\n", error.c_str());
        return 1;
    }
    if (loaded == 0) ComposeStrip(&picture, PluginState.consoleOverlay);
    if (!WritePng(options.png.c_str(), picture)) {
        std::fprintf(stderr, "tickrail-sim: cannot write %s\n", options.png.c_str());
        return 1;
    }
    std::printf("shell: the console window is pictured in %s\n", options.png.c_str());
    if (loaded != 0) return 1;

    ShutdownPlugin(0);
    sim::LiveObjects alive = sim::Alive();
    std::printf("shell: unloaded; left behind: %d windows, %d classes, %d timers, %d handles\n", alive.windows,
                alive.classes, alive.timers, alive.handles);
    return 0;
}
