// kolbrix-tool png FILE [OUT.pam]: decodes FILE with the game's PNG decoder.
// Prints WIDTHxHEIGHT and exits 0; with OUT also writes the pixels as a PAM file (RGB_ALPHA, rows top to bottom).
// A file the decoder refuses prints "pngError N" and exits 1; so does an OUT that cannot be written. A wrong
// command line exits 2.
#include <cstdio>
#include <string>

#include "gfx/png_decode.h"
#include "platform/platform.h"

int ToolPng(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: kolbrix-tool png FILE [OUT.pam]\n");
        return 2;
    }
    DecodedImage image;
    if (!DecodePng(argv[1], image)) {
        std::printf("pngError %d\n", static_cast<int>(pngError));
        return 1;
    }
    std::printf("%dx%d\n", static_cast<int>(image.width), static_cast<int>(image.height));
    if (argc == 3) {
        std::string pam = "P7\nWIDTH " + std::to_string(image.width) + "\nHEIGHT " + std::to_string(image.height) +
                          "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
        // The decoder keeps the bottom row first; PAM wants the top row first.
        const std::size_t rowBytes = std::size_t(image.width) * 4;
        pam.reserve(pam.size() + image.pixels.size());
        for (std::size_t y = std::size_t(image.height); y-- > 0;)
            pam.append(reinterpret_cast<const char*>(image.pixels.data()) + y * rowBytes, rowBytes);
        if (!PlatformWriteFileAtomic(argv[2], pam)) {
            std::fprintf(stderr, "png: cannot write %s\n", argv[2]);
            return 1;
        }
    }
    return 0;
}
