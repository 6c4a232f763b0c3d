// Runs the plug-in in the simulated shell the way the shell would: loads
// it, lets the console run for a while, shows what the shell printed, and
// renders the console window with its strip as a PNG picture.
//
//   tickrail-sim [--version V] [--run MS] [--position top|bottom|left|right]
//                [--alpha] [--png FILE]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "plugin/plugin.h"
#include "settings/colors.h"
#include "settings/settings.h"

namespace {

const int ConsoleWidth = 640;
const int ConsoleHeight = 400;

void Show(const char* label, const std::wstring& text) {
    if (text.empty()) return;
    std::printf("%s", label);
    char line[8192];
    sim::ToUtf8(text.c_str(), line, sizeof line);
    std::string plain;
    for (const char* p = line; *p; p++)
        if (*p != '\r') plain += *p;
    std::printf("%s", plain.c_str());
}

// ---------------------------------------------------------------------------
// A PNG writer: RGB, 8 bits, the image data in stored (uncompressed)
// deflate blocks, which every reader accepts.

uint32_t Crc(const unsigned char* data, size_t size, uint32_t crc = 0xFFFFFFFFu) {
    for (size_t i = 0; i < size; i++) {
        crc ^= data[i];
        for (int k = 0; k < 8; k++) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return crc;
}

void PutBigEndian(std::vector<unsigned char>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back((unsigned char)(value >> shift));
}

void PutChunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data) {
    PutBigEndian(out, uint32_t(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian(out, Crc(&out[start], out.size() - start) ^ 0xFFFFFFFFu);
}

bool WritePng(const char* path, int width, int height, const std::vector<COLORREF>& pixels) {
    std::vector<unsigned char> raw;
    for (int y = 0; y < height; y++) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < width; x++) {
            COLORREF c = pixels[size_t(y) * size_t(width) + size_t(x)];
            raw.push_back((unsigned char)(c & 0xFF));
            raw.push_back((unsigned char)(c >> 8 & 0xFF));
            raw.push_back((unsigned char)(c >> 16 & 0xFF));
        }
    }
    std::vector<unsigned char> z = {0x78, 0x01};
    const size_t MaxStored = 65535;
    for (size_t at = 0; at < raw.size(); at += MaxStored) {
        size_t n = raw.size() - at < MaxStored ? raw.size() - at : MaxStored;
        z.push_back(at + n == raw.size() ? 1 : 0);
        z.push_back((unsigned char)(n & 0xFF));
        z.push_back((unsigned char)(n >> 8));
        z.push_back((unsigned char)(~n & 0xFF));
        z.push_back((unsigned char)((~n >> 8) & 0xFF));
        z.insert(z.end(), raw.begin() + long(at), raw.begin() + long(at + n));
    }
    uint32_t a = 1, b = 0;
    for (unsigned char byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(z, b << 16 | a);

    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    PutBigEndian(header, uint32_t(width));
    PutBigEndian(header, uint32_t(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", z);
    PutChunk(png, "IEND", {});
    FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    bool ok = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    return std::fclose(file) == 0 && ok;
}

// ---------------------------------------------------------------------------
// The console window as a user sees it: text in cells, and the strip laid
// over it with its colour key or its opacity.

COLORREF Blend(COLORREF under, COLORREF over, int alpha) {
    COLORREF out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        int u = int(under >> shift & 0xFF), o = int(over >> shift & 0xFF);
        out |= COLORREF((o * alpha + u * (255 - alpha)) / 255) << shift;
    }
    return out;
}

std::vector<COLORREF> RenderConsole() {
    WORD attributes = 0x07;
    COLORREF background = consoleColors[attributes >> 4 & 0xF];
    COLORREF text = consoleColors[attributes & 0xF];
    std::vector<COLORREF> image(size_t(ConsoleWidth) * ConsoleHeight, background);
    // A few lines of "text": a block in most cells of the first rows.
    const char* lines[] = {"C:\\work> dir /b", "build", "README.md", "src", "C:\\work> tickrail"};
    for (int row = 0; row < 5; row++) {
        for (int col = 0; lines[row][col]; col++) {
            if (lines[row][col] == ' ') continue;
            for (int y = row * 16 + 3; y < row * 16 + 13; y++)
                for (int x = col * 8 + 1; x < col * 8 + 7; x++) image[size_t(y) * ConsoleWidth + size_t(x)] = text;
        }
    }
    HWND strip = PluginState.consoleOverlay;
    if (!strip || !IsWindowVisible(strip)) return image;
    RECT place = sim::WindowRect(strip);
    sim::LayeredAttributes layered = sim::Layered(strip);
    for (int y = place.top; y < place.bottom; y++) {
        for (int x = place.left; x < place.right; x++) {
            if (x < 0 || y < 0 || x >= ConsoleWidth || y >= ConsoleHeight) continue;
            COLORREF pixel = sim::Pixel(strip, x - place.left, y - place.top);
            if (pixel == sim::Unpainted) continue;
            COLORREF& under = image[size_t(y) * ConsoleWidth + size_t(x)];
            if (layered.flags & LWA_COLORKEY) {
                if (pixel != layered.key) under = pixel;
            } else {
                under = Blend(under, pixel, layered.alpha);
            }
        }
    }
    return image;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: tickrail-sim [--version V] [--run MS] [--position top|bottom|left|right] [--alpha] "
                 "[--png FILE]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::wstring version = L"28.01";
    DWORD runMs = 500;
    DWORD position = PositionTop;
    bool alpha = false;
    const char* pngPath = nullptr;
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--version" && hasValue) {
            std::string v = argv[++i];
            version.assign(v.begin(), v.end());
        } else if (arg == "--run" && hasValue) {
            runMs = DWORD(std::atoi(argv[++i]));
        } else if (arg == "--position" && hasValue) {
            std::string p = argv[++i];
            const char* names[] = {"top", "bottom", "left", "right"};
            position = 4;
            for (DWORD k = 0; k < 4; k++)
                if (p == names[k]) position = k;
            if (position == 4) return Usage();
        } else if (arg == "--alpha") {
            alpha = true;
        } else if (arg == "--png" && hasValue) {
            pngPath = argv[++i];
        } else {
            return Usage();
        }
    }

    sim::Reset();
    sim::SetVariable(L"_4ver", version);
    // The shell's main window shows the console in a tab, whose title follows
    // the console's title after 30 ms.
    HWND mainWindow = sim::CreateTestWindow(nullptr, L"TakeCommandMain", L"Take Command", 1000, 700);
    HWND tab = sim::CreateTestWindow(mainWindow, L"TabPage", L"Take Command", 660, 420);
    sim::SetHwndAnswer(std::to_wstring(reinterpret_cast<uintptr_t>(mainWindow)));
    sim::SetTabFollowsConsoleTitle(tab, 30);
    DllMain(reinterpret_cast<HINSTANCE>(uintptr_t(0x180000000)), DLL_PROCESS_ATTACH, nullptr);

    PluginInfoRecord* info = GetPluginInfo();
    char entries[256];
    sim::ToUtf8(info->functions, entries, sizeof entries);
    std::printf("shell: plug-in offers \"%s\"\n", entries);

    int loaded = InitializePlugin();
    Show("console> ", sim::StdOut());
    Show("console (stderr)> ", sim::StdErr());
    std::printf("shell: InitializePlugin returned %d\n", loaded);
    if (loaded != 0) return 1;
    std::printf("shell: tab window %s after %d enumerations; overlays: console %s, tab %s\n",
                PluginState.tabWindow == tab ? "found" : "not found", sim::EnumerationCalls(),
                PluginState.consoleOverlay ? "yes" : "no", PluginState.tabOverlay ? "yes" : "no");

    Settings.position = position;
    Settings.transparencyMode = alpha ? 1 : 0;
    sim::RunFor(runMs);
    RECT strip = sim::WindowRect(PluginState.consoleOverlay);
    std::printf("shell: after %u ms the console strip is %s, at %d,%d size %dx%d; console %ux%u cells\n",
                unsigned(runMs), IsWindowVisible(PluginState.consoleOverlay) ? "shown" : "hidden",
                int(strip.left), int(strip.top), int(strip.right - strip.left), int(strip.bottom - strip.top),
                unsigned(PluginState.columns), unsigned(PluginState.rows));
    if (pngPath) {
        if (!WritePng(pngPath, ConsoleWidth, ConsoleHeight, RenderConsole())) {
            std::fprintf(stderr, "cannot write %s\n", pngPath);
            return 1;
        }
        std::printf("shell: the console window is pictured in %s\n", pngPath);
    }

    ShutdownPlugin(0);
    sim::LiveObjects alive = sim::Alive();
    std::printf("shell: unloaded; left behind: %d windows, %d classes, %d timers, %d handles\n", alive.windows,
                alive.classes, alive.timers, alive.handles);
    return 0;
}
