// Turns the binary PPM picture that demo-shell writes under Wine into a PNG.
//
//   topng PICTURE.ppm PICTURE.png
#include <cstdio>

#include "picture.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: topng PICTURE.ppm PICTURE.png\n");
        return 2;
    }
    FILE* file = std::fopen(argv[1], "rb");
    Picture picture = {0, 0, {}};
    int maximum = 0;
    if (!file || std::fscanf(file, "P6 %d %d %d", &picture.width, &picture.height, &maximum) != 3 || maximum != 255 ||
        std::fgetc(file) == EOF || picture.width <= 0 || picture.height <= 0) {
        std::fprintf(stderr, "topng: %s is no binary PPM picture\n", argv[1]);
        return 1;
    }
    picture.pixels.resize(size_t(picture.width) * size_t(picture.height));
    for (COLORREF& pixel : picture.pixels) {
        unsigned char rgb[3];
        if (std::fread(rgb, 1, 3, file) != 3) {
            std::fprintf(stderr, "topng: %s ends early\n", argv[1]);
            return 1;
        }
        pixel = COLORREF(rgb[0]) | COLORREF(rgb[1]) << 8 | COLORREF(rgb[2]) << 16;
    }
    std::fclose(file);
    if (!WritePng(argv[2], picture)) {
        std::fprintf(stderr, "topng: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
