// PNG files: the game's own decoder (gfx/png_decode.h) on any bytes. A decode either fails with a code and an
// empty image, or gives exactly width x height RGBA pixels.
#include "fuzz/fuzz_support.h"
#include "gfx/png_decode.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSetUp(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DecodedImage image;
    if (DecodePngBytes(FuzzBytes(data, size), image)) {
        FuzzCheck(pngError == PngOk, "a decoded PNG leaves no error code");
        FuzzCheck(image.width >= 1 && image.height >= 1, "a decoded PNG has a size");
        FuzzCheck(image.pixels.size() == std::size_t(image.width) * std::size_t(image.height) * 4,
                  "a decoded PNG holds width x height RGBA pixels");
    } else {
        FuzzCheck(pngError != PngOk, "a failed PNG decode says why");
        FuzzCheck(image.pixels.empty() && image.width == 0 && image.height == 0, "a failed PNG decode leaves no image");
    }
    return 0;
}
