// The facts the user's guide quotes, held against the plug-in itself: the
// default beside every option and the colour-key colours against the
// defaults record, and every message the guide quotes against the message
// texts in the plug-in's source. The guide's examples run in
// docs_examples.sh.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "hotkeys/keys.h"
#include "plugin/version.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "test_platform.h"

namespace {

std::string Utf8(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        unsigned u = unsigned(c);
        if (u < 0x80) {
            out += char(u);
        } else if (u < 0x800) {
            out += char(0xC0 | (u >> 6));
            out += char(0x80 | (u & 0x3F));
        } else {
            out += char(0xE0 | (u >> 12));
            out += char(0x80 | ((u >> 6) & 0x3F));
            out += char(0x80 | (u & 0x3F));
        }
    }
    return out;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

const std::vector<std::string>& Guide() {
    static const std::vector<std::string> lines = Lines(ReadFile(TestFile("docs/guide.md")));
    return lines;
}

// The lines under the heading `heading` up to the next heading of its level
// or above.
std::vector<std::string> Section(const std::string& heading) {
    std::vector<std::string> section;
    size_t level = heading.find(' ');
    bool inside = false;
    for (const std::string& line : Guide()) {
        if (inside && line.compare(0, level + 1, std::string(level, '#') + " ") == 0) break;
        if (inside && line.size() > level && line[0] == '#' && line.find_first_not_of('#') < level) break;
        if (inside) section.push_back(line);
        if (line == heading) inside = true;
    }
    return section;
}

std::vector<std::string> Cells(const std::string& row) {
    std::vector<std::string> cells;
    if (row.empty() || row[0] != '|') return cells;
    std::istringstream in(row.substr(1));
    for (std::string cell; std::getline(in, cell, '|');) cells.push_back(cell);
    return cells;
}

std::vector<std::string> CodeSpans(const std::string& text) {
    std::vector<std::string> spans;
    for (size_t open = text.find('`'); open != std::string::npos; open = text.find('`', open)) {
        size_t close = text.find('`', open + 1);
        if (close == std::string::npos) break;
        spans.push_back(text.substr(open + 1, close - open - 1));
        open = close + 1;
    }
    return spans;
}

std::string Joined(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items) out += (out.empty() ? "" : ", ") + item;
    return "[" + out + "]";
}

std::string ColorText(COLORREF color) { return Utf8(ColorRefToColorName(color)); }
std::string YesNo(DWORD value) { return value ? "Y" : "N"; }

TEST(Guide, TheDefaultOfEveryOptionIsTheDefaultsRecords) {
    const SettingsRecord& d = DefaultSettings;
    WCHAR hotkey[64];
    HotkeyToText(d.hotkeys[0], hotkey);
    const std::string none = d.altColumnsCount == 0 ? "none" : "?";
    const std::map<std::string, std::vector<std::string>> expected = {
        {"/A", {std::to_string(d.alpha)}},
        {"/B", {ColorText(d.backgroundColor)}},
        {"/C", {ColorText(d.tickrailColors[0])}},
        {"/E", {YesNo(d.enabled)}},
        {"/H", {ColorText(d.hashColor)}},
        {"/I", {none, ColorText(d.altColumnsColor)}},
        {"/J", {d.altRowsCount == 0 ? "none" : "?", ColorText(d.altRowsColor)}},
        {"/K", {Utf8(hotkey)}},
        {"/M", {std::to_string(d.hotkeyModes[0]), std::to_string(d.hotkeyModes[1])}},
        {"/O", {std::to_string(d.rowOffset)}},
        {"/P", {std::string(1, "TBLR"[d.position])}},
        {"/U", {YesNo(d.hookList)}},
        {"/W", {std::to_string(d.penWidth)}},
        {"/X", {std::string(1, "CA"[d.transparencyMode])}},
        {"/Z", {YesNo(d.hiddenAtStartup)}},
    };
    std::map<std::string, std::vector<std::string>> quoted;
    for (const std::string& line : Section("### Options")) {
        if (line.compare(0, 3, "| `") != 0) continue;
        std::vector<std::string> cells = Cells(line);
        ASSERT_GE(cells.size(), 3u) << line;
        std::vector<std::string> option = CodeSpans(cells[0]);
        ASSERT_EQ(1u, option.size()) << line;
        quoted[option[0]] = CodeSpans(cells[2]);
    }
    for (const auto& [option, values] : expected) {
        ASSERT_TRUE(quoted.count(option)) << "the guide's table of options has no row for " << option;
        EXPECT_EQ(Joined(values), Joined(quoted[option])) << "default of " << option;
        quoted.erase(option);
    }
    for (const auto& [option, values] : quoted) EXPECT_TRUE(values.empty()) << option << " has no default";

    // Defaults the guide's prose names, with the words around them.
    std::string guide;
    for (const std::string& line : Guide()) guide += " " + line.substr(line.find_first_not_of(' ') == std::string::npos ? line.size() : line.find_first_not_of(' '));
    const std::string prose[] = {
        "Slot 1 holds " + Utf8(hotkey) + " with mode " + std::to_string(d.hotkeyModes[0]) + " unless",
        "(`/A`, " + std::to_string(d.alpha) + " unless you change it)",
        "(`/B`, " + ColorText(d.backgroundColor) + ")",
        "(`/H`, " + ColorText(d.hashColor) + ")",
        ColorText(d.tickrailColors[0]) + " on a black or navy background",
        ColorText(d.tickrailColors[0]) + " on black (colour 0) or navy (colour 1)",
        "line with the file version, " TICKRAIL_FILE_VERSION_TEXT ", and",  // as TICKRAIL /?? shows it
    };
    EXPECT_EQ(d.tickrailColors[0], d.tickrailColors[1]);
    for (const std::string& words : prose) EXPECT_NE(std::string::npos, guide.find(words)) << words;
}

TEST(Guide, TheColourKeyColoursAreTheDefaults) {
    int rows = 0;
    for (const std::string& line : Section("### Colour-key colours")) {
        std::vector<std::string> cells = Cells(line);
        if (cells.size() < 2 || cells[0].size() < 2 || !isdigit(static_cast<unsigned char>(cells[0][1]))) continue;
        int background = std::stoi(cells[0]);
        ASSERT_EQ(rows, background) << line;
        EXPECT_EQ(Joined({ColorText(DefaultTickrailColors[background])}), Joined(CodeSpans(cells[1]))) << line;
        rows++;
    }
    EXPECT_EQ(ConsoleColorCount, rows);
}

// The wide string literals of the plug-in's source, one line of each as a
// pattern: a %s stands for any text, a number conversion for a number.
std::vector<std::regex> MessagePatterns() {
    std::vector<std::regex> patterns;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(TestFile("src"))) {
        if (entry.path().extension() != ".cpp") continue;
        std::string source = ReadFile(entry.path());
        for (size_t at = source.find("L\""); at != std::string::npos; at = source.find("L\"", at)) {
            std::string pattern;
            size_t i = at + 2;
            for (; i < source.size() && source[i] != '"'; i++) {
                char c = source[i];
                if (c == '\\') {
                    char e = source[++i];
                    if (e == 'r') continue;
                    if (e == 'n' || e == 't') {
                        pattern += e == 'n' ? "\n" : "\t";
                    } else if (e == 'u') {
                        pattern += Utf8(std::wstring(1, wchar_t(std::stoi(source.substr(i + 1, 4), nullptr, 16))));
                        i += 4;
                    } else {
                        pattern += "\\" + std::string(1, e);
                    }
                } else if (c == '%') {
                    size_t end = source.find_first_not_of("0123456789", i + 1);
                    pattern += source[end] == 's' ? ".+" : source[end] == 'x' ? "[0-9a-f]+" : "-?[0-9]+";
                    i = end;
                } else if (std::string("^$.|?*+()[]{}").find(c) != std::string::npos) {
                    pattern += "\\" + std::string(1, c);
                } else {
                    pattern += c;
                }
            }
            at = i + 1;
            for (std::string line : Lines(pattern)) {
                while (!line.empty() && line.back() == ' ') line.pop_back();
                // A line of conversions alone ("%s%u") would match any message.
                std::string words = std::regex_replace(line, std::regex("\\.\\+|-\\?\\[0-9\\]\\+|\\[0-9a-f\\]\\+"), "");
                if (std::count_if(words.begin(), words.end(), isalpha) >= 4) patterns.emplace_back(line);
            }
        }
    }
    return patterns;
}

TEST(Guide, EveryMessageItQuotesIsOneThePluginWrites) {
    std::vector<std::string> messages;
    for (const std::string& line : Section("## Messages"))
        if (line.compare(0, 3, "| `") == 0) {
            for (const std::string& span : CodeSpans(Cells(line)[0])) messages.push_back(span);
        }
    // Lines shown as the shell shows them, where no example runs them.
    const std::string prefix = "Tickrail plugin: ";
    for (const std::string& line : Guide()) {
        size_t start = line.find_first_not_of(' ');
        if (start < 4 || start == std::string::npos) continue;
        std::string text = line.substr(start);
        if (text.compare(0, prefix.size(), prefix) == 0) messages.push_back(text.substr(prefix.size()));
        if (text.compare(0, 10, "Tickrail v") == 0 || text.compare(0, 11, "Plugin not ") == 0) messages.push_back(text);
    }
    ASSERT_GT(messages.size(), 60u);
    std::vector<std::regex> patterns = MessagePatterns();
    for (const std::string& message : messages) {
        bool written = false;
        for (const std::regex& pattern : patterns) written = written || std::regex_match(message, pattern);
        EXPECT_TRUE(written) << "the plug-in writes no message like \"" << message << "\"";
    }
}

}  // namespace
