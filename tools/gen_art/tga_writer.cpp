// TGA writer: 32-bit true colour, run-length packets that never cross a row.
#include "writers.h"

namespace art {

bool WriteTga(const std::string& path, const Rgba8Image& img) {
    std::string out;
    const unsigned char header[12] = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    out.append(reinterpret_cast<const char*>(header), 12);
    out.push_back(static_cast<char>(img.width & 255));
    out.push_back(static_cast<char>(img.width >> 8));
    out.push_back(static_cast<char>(img.height & 255));
    out.push_back(static_cast<char>(img.height >> 8));
    out.push_back(32);
    out.push_back(8);   // eight alpha bits, origin at the bottom left
    auto pixel = [&](int x, int y) {
        const std::uint8_t* p = &img.bytes[(static_cast<size_t>(y) * img.width + x) * 4];
        return std::string{static_cast<char>(p[2]), static_cast<char>(p[1]), static_cast<char>(p[0]), static_cast<char>(p[3])};
    };
    for (int y = img.height - 1; y >= 0; --y) {
        int x = 0;
        while (x < img.width) {
            // A run of at least two equal pixels becomes a repeat packet; otherwise gather literal pixels until
            // the next run starts.
            int run = 1;
            while (x + run < img.width && run < 128 && pixel(x + run, y) == pixel(x, y)) ++run;
            if (run >= 2) {
                out.push_back(static_cast<char>(127 + run));
                out += pixel(x, y);
                x += run;
                continue;
            }
            int start = x, n = 0;
            while (x < img.width && n < 128) {
                if (x + 1 < img.width && pixel(x + 1, y) == pixel(x, y)) break;
                ++x;
                ++n;
            }
            out.push_back(static_cast<char>(n - 1));
            for (int i = start; i < start + n; ++i) out += pixel(i, y);
        }
    }
    return WriteFileBytes(path, out);
}

}  // namespace art
