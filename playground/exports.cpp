// What the page calls in the module: the simulated shell's prompt, its keys,
// the console's size, colour and text, the shell's version and the strip's
// layer. Text crosses as UTF-8 in the module's memory: the page writes a
// line into the buffer that page_buffer gives, and reads an answer of the
// returned length from page_answer.
#include <string>
#include <vector>

#include "plugin/plugin.h"
#include "sim/prompt.h"
#include "tools/demo_text.h"

#define PAGE_EXPORT(name) extern "C" __attribute__((export_name(#name)))

namespace {

const size_t ListingRows = 8;  // the demo's listing and ruler, without its typed line

std::string input;
std::string answer;
sim::StripLayer strip;

std::wstring Input(int length) {
    return sim::WideText(input.substr(0, size_t(length) <= input.size() ? size_t(length) : input.size()));
}

int Answer(const std::wstring& text) {
    answer = sim::Utf8Text(text);
    return int(answer.size());
}

}  // namespace

PAGE_EXPORT(page_buffer) char* PageBuffer(int size) {
    input.assign(size_t(size > 0 ? size : 0) + 1, '\0');
    return &input[0];
}

PAGE_EXPORT(page_answer) const char* PageAnswer() { return answer.c_str(); }

// A shell of `columns` by `rows` cells at the version in the buffer, its
// console showing a listing and a ruler, the plug-in loaded at its prompt.
PAGE_EXPORT(page_start) int PageStart(int columns, int rows, int background, int versionLength) {
    std::vector<std::wstring> text = DemoConsoleText(columns, {});
    text.resize(ListingRows);
    sim::StartShell(columns, rows, background, Input(versionLength), text);
    return Answer(sim::RunPromptLine(L"plugin /l tickrail.dll").printed);
}

PAGE_EXPORT(page_run) int PageRun(int length) { return Answer(sim::RunPromptLine(Input(length)).printed); }

PAGE_EXPORT(page_key) int PageKey(int length) {
    bool swallowed = false;
    return Answer(sim::PressNamedKey(Input(length), &swallowed));
}

PAGE_EXPORT(page_resize) void PageResize(int columns, int rows) { sim::ResizeConsole(columns, rows); }
PAGE_EXPORT(page_background) void PageBackground(int index) { sim::SetConsoleBackground(index); }
PAGE_EXPORT(page_version) int PageVersion(int length) { return Answer(sim::RestartShellAt(Input(length))); }

PAGE_EXPORT(page_cell_width) int PageCellWidth() { return sim::CellWidth; }
PAGE_EXPORT(page_cell_height) int PageCellHeight() { return sim::CellHeight; }
PAGE_EXPORT(page_columns) int PageColumns() { return sim::ConsoleColumns(); }
PAGE_EXPORT(page_rows) int PageRows() { return sim::ConsoleRows(); }
PAGE_EXPORT(page_ink) unsigned PageInk() { return sim::ConsoleInk(); }
PAGE_EXPORT(page_paper) unsigned PagePaper() { return sim::ConsolePaper(); }
PAGE_EXPORT(page_loaded) int PageLoaded() { return sim::PluginLoaded(); }
PAGE_EXPORT(page_list_running) int PageListRunning() { return sim::ListRunning(); }
// Whether the loaded plug-in reads the older key table, whose names the keys take.
PAGE_EXPORT(page_older_key_names) int PageOlderKeyNames() { return !PluginState.useKeyTableV24; }

// The console's rows, one per line.
PAGE_EXPORT(page_text) int PageText() {
    std::wstring text;
    for (const std::wstring& row : sim::ConsoleText()) text += row + L"\n";
    return Answer(text);
}

// The strip's layer: 1 and its place and RGBA pixels, or 0 when nothing shows.
PAGE_EXPORT(page_strip) int PageStrip() { return sim::ConsoleStripLayer(&strip); }
PAGE_EXPORT(page_strip_x) int PageStripX() { return strip.x; }
PAGE_EXPORT(page_strip_y) int PageStripY() { return strip.y; }
PAGE_EXPORT(page_strip_width) int PageStripWidth() { return strip.width; }
PAGE_EXPORT(page_strip_height) int PageStripHeight() { return strip.height; }
PAGE_EXPORT(page_strip_pixels) const unsigned char* PageStripPixels() { return strip.rgba.data(); }
