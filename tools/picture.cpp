#include "picture.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <png.h>

#include <cstdio>

const char DefaultFontFile[] = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

namespace {

COLORREF Blend(COLORREF under, COLORREF over, int alpha) {
    COLORREF out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        int u = int(under >> shift & 0xFF), o = int(over >> shift & 0xFF);
        out |= COLORREF((o * alpha + u * (255 - alpha) + 127) / 255) << shift;
    }
    return out;
}

}  // namespace

bool DrawConsoleText(Picture* picture, const std::vector<std::wstring>& lines, int cellWidth, int cellHeight,
                     COLORREF foreground, COLORREF background, const char* fontFile, std::string* error) {
    picture->pixels.assign(size_t(picture->width) * size_t(picture->height), background);
    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library) != 0) {
        *error = "FreeType does not start";
        return false;
    }
    if (FT_New_Face(library, fontFile, 0, &face) != 0) {
        *error = std::string("cannot read the font ") + fontFile;
        FT_Done_FreeType(library);
        return false;
    }
    // The largest size whose advance and line still fit the cell.
    int size = cellHeight;
    for (; size > 4; size--) {
        FT_Set_Pixel_Sizes(face, 0, FT_UInt(size));
        int advance = int(face->size->metrics.max_advance >> 6);
        int line = int((face->size->metrics.ascender - face->size->metrics.descender) >> 6);
        if (advance <= cellWidth && line <= cellHeight) break;
    }
    int baseline = int(face->size->metrics.ascender >> 6) +
                   (cellHeight - int((face->size->metrics.ascender - face->size->metrics.descender) >> 6)) / 2;
    for (size_t row = 0; row < lines.size(); row++) {
        for (size_t column = 0; column < lines[row].size(); column++) {
            wchar_t c = lines[row][column];
            if (c == L' ' || FT_Load_Char(face, FT_ULong(c), FT_LOAD_RENDER) != 0) continue;
            const FT_GlyphSlot glyph = face->glyph;
            int cellX = int(column) * cellWidth, cellY = int(row) * cellHeight;
            for (unsigned y = 0; y < glyph->bitmap.rows; y++) {
                for (unsigned x = 0; x < glyph->bitmap.width; x++) {
                    int px = cellX + glyph->bitmap_left + int(x), py = cellY + baseline - glyph->bitmap_top + int(y);
                    // Each glyph stays inside its own cell, as on a console.
                    if (px < cellX || px >= cellX + cellWidth || py < cellY || py >= cellY + cellHeight) continue;
                    if (px >= picture->width || py >= picture->height) continue;
                    int coverage = glyph->bitmap.buffer[y * unsigned(glyph->bitmap.pitch) + x];
                    if (!coverage) continue;
                    COLORREF& pixel = picture->pixels[size_t(py) * size_t(picture->width) + size_t(px)];
                    pixel = Blend(pixel, foreground, coverage);
                }
            }
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return true;
}

void ComposeStrip(Picture* picture, const sim::StripLayer& layer) {
    const unsigned char* in = layer.rgba.data();
    for (int y = layer.y; y < layer.y + layer.height; y++) {
        for (int x = layer.x; x < layer.x + layer.width; x++, in += 4) {
            if (x < 0 || y < 0 || x >= picture->width || y >= picture->height || in[3] == 0) continue;
            COLORREF& under = picture->pixels[size_t(y) * size_t(picture->width) + size_t(x)];
            under = Blend(under, COLORREF(in[0]) | COLORREF(in[1]) << 8 | COLORREF(in[2]) << 16, in[3]);
        }
    }
}

void ComposeStrip(Picture* picture, HWND strip) {
    sim::StripLayer layer;
    sim::ComposeStripLayer(strip, picture->width, picture->height, &layer);
    ComposeStrip(picture, layer);
}

bool WriteStripPng(const char* path, int width, int height, const sim::StripLayer& layer) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGBA;
    std::vector<png_byte> bytes(size_t(width) * size_t(height) * 4, 0);
    const unsigned char* in = layer.rgba.data();
    for (int y = layer.y; y < layer.y + layer.height; y++)
        for (int x = layer.x; x < layer.x + layer.width; x++, in += 4)
            if (x >= 0 && y >= 0 && x < width && y < height)
                for (int k = 0; k < 4; k++) bytes[(size_t(y) * size_t(width) + size_t(x)) * 4 + size_t(k)] = in[k];
    return png_image_write_to_file(&image, path, 0, bytes.data(), 0, nullptr) != 0;
}

bool WritePng(const char* path, const Picture& picture) {
    FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(picture.width), png_uint_32(picture.height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(size_t(picture.width) * 3);
    for (int y = 0; y < picture.height; y++) {
        for (int x = 0; x < picture.width; x++) {
            COLORREF c = picture.pixels[size_t(y) * size_t(picture.width) + size_t(x)];
            row[size_t(x) * 3] = png_byte(c & 0xFF);
            row[size_t(x) * 3 + 1] = png_byte(c >> 8 & 0xFF);
            row[size_t(x) * 3 + 2] = png_byte(c >> 16 & 0xFF);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

bool ReadPng(const char* path, Picture* picture) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path)) return false;
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> bytes(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) return false;
    picture->width = int(image.width);
    picture->height = int(image.height);
    picture->pixels.resize(size_t(image.width) * image.height);
    for (size_t i = 0; i < picture->pixels.size(); i++)
        picture->pixels[i] = COLORREF(bytes[i * 3]) | COLORREF(bytes[i * 3 + 1]) << 8 | COLORREF(bytes[i * 3 + 2]) << 16;
    return true;
}
