// Pictures of the simulated console: its text drawn cell by cell in a real
// monospace font, the overlay strip laid over it as Windows composes a
// layered window (the key colour transparent, or the whole strip blended
// with its alpha), and the result written as a PNG file.
#pragma once

#include <string>
#include <vector>

#include "platform.h"
#include "sim/prompt.h"

struct Picture {
    int width, height;
    std::vector<COLORREF> pixels;  // 0x00BBGGRR, row by row
};

// The font file the text is drawn with.
extern const char DefaultFontFile[];

// The console window's client area with `lines` of text, each character in
// its cell of `cellWidth` by `cellHeight` pixels, in the console's colours.
// Returns false (with `error` set) when the font cannot be read.
bool DrawConsoleText(Picture* picture, const std::vector<std::wstring>& lines, int cellWidth, int cellHeight,
                     COLORREF foreground, COLORREF background, const char* fontFile, std::string* error);

// Lays the simulated overlay window `strip`, where the simulated GDI drew
// it, over the picture of its parent's client area; or a strip's layer as
// sim::ComposeStripLayer gives it.
void ComposeStrip(Picture* picture, HWND strip);
void ComposeStrip(Picture* picture, const sim::StripLayer& layer);

bool WritePng(const char* path, const Picture& picture);
// The layer alone, as an RGBA picture of `width` by `height`, transparent
// outside the layer.
bool WriteStripPng(const char* path, int width, int height, const sim::StripLayer& layer);
bool ReadPng(const char* path, Picture* picture);
