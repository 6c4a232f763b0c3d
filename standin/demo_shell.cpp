// The real tickrail.dll pictured: a stand-in shell whose tab window shows
// console text in a monospace font, with the strip the DLL draws over it.
//
//   demo-shell PICTURE.ppm [TAIL]...
//
// Loads tickrail.dll as the shell does, runs TICKRAIL with each TAIL,
// prints what the shell prints, and writes the tab window as it is on the
// screen to PICTURE.ppm (binary RGB), for scripts/demo to turn into a PNG.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "demo_text.h"
#include "real_dll.h"
#include "standin.h"
#include "test_platform.h"
#include "windows_seen.h"

namespace {

// The tab's text cells: the console's 80 by 25 cells of 8 by 16 pixels,
// inside the shell's margins of 4 and 2 pixels.
const int CellWidth = 8, CellHeight = 16, Columns = 80, Rows = 25, MarginX = 4, MarginY = 2;
std::vector<std::wstring> typed;  // at the prompt: TICKRAIL with each tail

LRESULT CALLBACK TabProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HFONT font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier New");
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(192, 192, 192));
    std::vector<std::wstring> lines = DemoConsoleText(Columns, typed);
    for (size_t row = 0; row < lines.size(); row++)
        for (size_t column = 0; column < lines[row].size(); column++)
            TextOutW(dc, MarginX + int(column) * CellWidth, MarginY + int(row) * CellHeight, &lines[row][column], 1);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    EndPaint(window, &paint);
    return 0;
}

bool WritePpm(const char* path, HWND window) {
    RECT client;
    GetClientRect(window, &client);
    int width = client.right, height = client.bottom;
    HDC source = GetDC(window);
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    FILE* file = std::fopen(path, "wb");
    bool ok = file != nullptr;
    if (ok) {
        std::fprintf(file, "P6\n%d %d\n255\n", width, height);
        const BYTE* pixel = static_cast<const BYTE*>(bits);
        for (int i = 0; i < width * height; i++, pixel += 4) {
            BYTE rgb[3] = {pixel[2], pixel[1], pixel[0]};
            std::fwrite(rgb, 1, 3, file);
        }
        ok = std::fclose(file) == 0;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, source);
    return ok;
}

// To the output the program was started with (the console it allocates is
// another one).
void Report(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}

void ShowOutput() {
    Report(Narrow(StdOutText()));
    std::string errors = Narrow(StdErrText());
    if (!errors.empty()) Report("(stderr) " + errors);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        Report("usage: demo-shell PICTURE.ppm [TAIL]...\n");
        return 2;
    }
    FreeConsole();
    if (!AllocConsole()) {
        Report("no console window: Wine needs an X display\n");
        return 1;
    }
    ResetPlatform();
    WNDCLASSEXW tabClass = {};
    tabClass.cbSize = sizeof tabClass;
    tabClass.lpfnWndProc = TabProc;
    tabClass.hInstance = GetModuleHandleW(nullptr);
    tabClass.lpszClassName = L"DemoShellTab";
    RegisterClassExW(&tabClass);
    HWND main = MakeShellWindow(nullptr, L"TakeCommandMain", L"Take Command", 800, 600);
    HWND tab = MakeShellWindow(main, L"DemoShellTab", L"", MarginX + Columns * CellWidth, MarginY + Rows * CellHeight);
    SetHwndAnswer(main);
    FollowConsoleTitle(tab, 0);
    TickrailDll dll;
    if (!LoadTickrailDll(&dll)) {
        Report("cannot load tickrail.dll\n");
        return 1;
    }
    int loaded = dll.initializePlugin();
    ShowOutput();
    if (loaded != 0) return 1;
    RunMessagesUntil([&] {
        std::vector<HWND> strips = OverlaysIn(tab);
        return strips.size() == 1 && IsWindowVisible(strips[0]);
    }, 5000);
    for (int i = 2; i < argc; i++) {
        std::wstring tail;
        for (const char* p = argv[i]; *p; p++) tail += wchar_t(static_cast<unsigned char>(*p));
        Report("shell> TICKRAIL " + std::string(argv[i]) + "\n");
        typed.push_back(L"tickrail " + tail);
        ClearOutput();
        int result = dll.command(&tail[0]);
        ShowOutput();
        char line[64];
        std::snprintf(line, sizeof line, "shell: TICKRAIL returned %d\n", result);
        Report(line);
    }
    RunMessages(1000);  // the paints that the commands asked for
    RedrawWindow(tab, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RunMessages(300);
    bool written = WritePpm(argv[1], tab);
    Report(written ? "shell: the tab window is pictured\n" : "shell: cannot write the picture\n");
    dll.shutdownPlugin(0);
    FreeTickrailDll(&dll);
    ResetPlatform();
    return written ? 0 : 1;
}
