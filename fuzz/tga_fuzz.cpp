// TGA files (the user-interface font's image): gfx/tga_decode.h on any bytes. A decode either fails with an empty
// image or gives exactly width x height pixels of the depth it reports.
#include "fuzz/fuzz_support.h"
#include "gfx/tga_decode.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSetUp(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TgaImage image;
    if (DecodeTgaBytes(FuzzBytes(data, size), image)) {
        FuzzCheck(image.bitsPerPixel == 24 || image.bitsPerPixel == 32, "a decoded TGA is of 24 or 32 bits");
        FuzzCheck(image.width >= 1 && image.height >= 1, "a decoded TGA has a size");
        FuzzCheck(image.pixels.size() ==
                      std::size_t(image.width) * std::size_t(image.height) * std::size_t(image.bitsPerPixel / 8),
                  "a decoded TGA holds width x height pixels");
    } else {
        FuzzCheck(image.pixels.empty() && image.width == 0 && image.height == 0, "a failed TGA decode leaves no image");
    }
    return 0;
}
