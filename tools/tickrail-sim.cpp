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
#include "sim/prompt.h"

namespace {

const char UsageText[] =
    "usage: tickrail-sim [OPTION]...\n"
    "Loads the plug-in into a simulated shell and pictures its console window.\n"
    "\n"
    "  --command TAIL    run TICKRAIL with TAIL (repeatable; in order with --key and --list)\n"
    "  --key NAME        press a key named as TICKRAIL /L lists it, for example Shift-F12\n"
    "  --list TAIL       start LIST with TAIL: the strip moves down while LIST runs\n"
    "  --run LINE        type LINE at the shell's prompt (tickrail ..., list ..., plugin /u tickrail,\n"
    "                    plugin /l tickrail.dll), in order with the steps above\n"
    "  --columns N       the console's width in cells, 20 to 250 (default 80)\n"
    "  --rows N          the console's height in cells, 5 to 100 (default 25)\n"
    "  --background N    the console's background colour index, 0 to 15 (default 0)\n"
    "  --text FILE       what the console shows (default: a directory listing and a ruler)\n"
    "  --png FILE        where the picture goes (default tickrail.png; scripts/demo: build/sim/tickrail.png)\n"
    "  --strip FILE      also write the strip alone as Windows lays it over the console: an RGBA PNG\n"
    "                    the size of the picture, transparent where the text shows through\n"
    "  --transcript FILE also write what the shell printed for the steps, as UTF-8, line ends as written\n"
    "  --version V       the shell's version as %_4ver gives it (default 28.01)\n"
    "  --help            this text\n";

using sim::CellHeight;
using sim::CellWidth;

struct Step {
    enum Kind { Command, Key, List, Line } kind;
    std::string text;
};

struct Options {
    std::vector<Step> steps;
    int columns = 80, rows = 25, background = 0;
    std::string textFile, png = "tickrail.png", version = "28.01", strip, transcript;
};

void Show(const char* label, const std::wstring& text) {
    if (text.empty()) return;
    std::string utf8 = sim::Utf8Text(text);
    std::string line;
    for (const char* p = utf8.c_str();; p++) {
        if (*p == '\n' || !*p) {
            if (!line.empty() || *p) std::printf("%s%s\n", label, line.c_str());
            line.clear();
            if (!*p) break;
        } else if (*p != '\r') {
            line += *p;
        }
    }
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
        const char* const valued[] = {"--command", "--key", "--list", "--run", "--columns", "--rows",
                                      "--background", "--text", "--png", "--version", "--strip", "--transcript"};
        bool known = false;
        for (const char* name : valued) known = known || option == name;
        if (!known) return Fail("unknown option " + option);
        // No value of these options starts with "--": such a word is the next option.
        if (i + 1 >= argc || std::strncmp(argv[i + 1], "--", 2) == 0) return Fail(option + " needs a value");
        const char* value = argv[++i];
        if (option == "--command") options->steps.push_back({Step::Command, value});
        else if (option == "--key") options->steps.push_back({Step::Key, value});
        else if (option == "--list") options->steps.push_back({Step::List, value});
        else if (option == "--run") options->steps.push_back({Step::Line, value});
        else if (option == "--columns" && !ReadNumber(value, sim::MinColumns, sim::MaxColumns, &options->columns))
            return Fail("--columns takes a number from 20 to 250, not " + std::string(value));
        else if (option == "--rows" && !ReadNumber(value, sim::MinRows, sim::MaxRows, &options->rows))
            return Fail("--rows takes a number from 5 to 100, not " + std::string(value));
        else if (option == "--background" && !ReadNumber(value, 0, 15, &options->background))
            return Fail("--background takes a colour index from 0 to 15, not " + std::string(value));
        else if (option == "--text") options->textFile = value;
        else if (option == "--png") options->png = value;
        else if (option == "--version") options->version = value;
        else if (option == "--strip") options->strip = value;
        else if (option == "--transcript") options->transcript = value;
    }
    return 0;
}

bool ReadText(const std::string& file, std::vector<std::wstring>* lines) {
    std::ifstream in(file);
    if (!in) return false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines->push_back(sim::WideText(line));
    }
    return true;
}

// Runs a step at the simulated shell's prompt and shows what it printed;
// returns that, for the transcript.
std::string RunStep(const Step& step) {
    std::wstring text = sim::WideText(step.text);
    if (step.kind == Step::Key) {
        bool swallowed = false;
        std::wstring printed = sim::PressNamedKey(text, &swallowed);
        Show("", printed);
        std::printf("shell: key %s %s\n", step.text.c_str(), swallowed ? "is the plug-in's hotkey" : "goes on to the shell");
        return sim::Utf8Text(printed);
    }
    std::wstring line = step.kind == Step::Command ? L"tickrail " + text : step.kind == Step::List ? L"list " + text : text;
    std::printf("shell> %s\n", step.kind == Step::Command ? ("TICKRAIL " + step.text).c_str()
                                : step.kind == Step::List   ? ("LIST " + step.text).c_str()
                                                            : step.text.c_str());
    sim::PromptAnswer answer = sim::RunPromptLine(line);
    Show("", answer.out);
    Show("(stderr) ", answer.err);
    if (step.kind == Step::Command) std::printf("shell: TICKRAIL returned %d\n", answer.returned);
    if (step.kind == Step::List)
        std::printf("shell: LIST returned 0x%08X: the shell runs its own LIST now\n", unsigned(answer.returned));
    return sim::Utf8Text(answer.printed);
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
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
        if (step.kind != Step::Key)
            typed.push_back((step.kind == Step::List ? L"list " : step.kind == Step::Command ? L"tickrail " : L"") +
                            sim::WideText(step.text));
    if (options.textFile.empty()) text = DemoConsoleText(options.columns, typed);
    else if (!ReadText(options.textFile, &text)) return Fail("cannot read " + options.textFile);

    sim::StartShell(options.columns, options.rows, options.background, sim::WideText(options.version), {});
    sim::PromptAnswer load = sim::RunPromptLine(L"plugin /l tickrail.dll");
    int loaded = load.returned;
    Show("console> ", load.out);
    Show("console (stderr)> ", load.err);
    std::printf("shell: InitializePlugin returned %d\n", loaded);
    std::string transcript;
    if (loaded == 0) {
        for (const Step& step : options.steps)
            if (step.kind == Step::Key && ParseHotkeyName(sim::WideText(step.text).c_str()) <= 0)
                return Fail("--key takes a key as TICKRAIL /L lists it, not " + step.text);
        for (const Step& step : options.steps) transcript += RunStep(step);
    }
    if (!options.transcript.empty() && !WriteFile(options.transcript, transcript)) {
        std::fprintf(stderr, "tickrail-sim: cannot write %s\n", options.transcript.c_str());
        return 1;
    }

    Picture picture = {options.columns * CellWidth, options.rows * CellHeight, {}};
    std::string error;
    if (!DrawConsoleText(&picture, text, CellWidth, CellHeight, sim::ConsoleInk(), sim::ConsolePaper(), DefaultFontFile,
                         &error)) {
        std::fprintf(stderr, "tickrail-sim: %s\n", error.c_str());
        return 1;
    }
    sim::StripLayer strip;
    sim::ConsoleStripLayer(&strip);
    ComposeStrip(&picture, strip);
    if (!WritePng(options.png.c_str(), picture)) {
        std::fprintf(stderr, "tickrail-sim: cannot write %s\n", options.png.c_str());
        return 1;
    }
    if (!options.strip.empty() && !WriteStripPng(options.strip.c_str(), picture.width, picture.height, strip)) {
        std::fprintf(stderr, "tickrail-sim: cannot write %s\n", options.strip.c_str());
        return 1;
    }
    std::printf("shell: the console window is pictured in %s\n", options.png.c_str());
    if (loaded != 0) return 1;

    if (sim::PluginLoaded()) sim::RunPromptLine(L"plugin /u " PLUGIN_NAME);
    sim::LiveObjects alive = sim::Alive();
    std::printf("shell: unloaded; left behind: %d windows, %d classes, %d timers, %d handles\n", alive.windows,
                alive.classes, alive.timers, alive.handles);
    return 0;
}
