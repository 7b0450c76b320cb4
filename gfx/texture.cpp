#include "gfx/texture.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

#include "gfx/gl.h"
#include "gfx/png_decode.h"
#include "gfx/tga_decode.h"
#include "platform/platform.h"
#include "base/files.h"
#include "base/settings.h"

static_assert(TextureWrapRepeat == GL_REPEAT && TextureWrapClampToEdge == GL_CLAMP_TO_EDGE);
static_assert(TextureFormatRgb == GL_RGB && TextureFormatRgba == GL_RGBA);

List<TextureImage> ImageTable;

TextureImage logoImage, endgameImage, openingImage;
TextureImage editMenuImage, editInputImage, editDialImage, editDial1Image, editWaitImage, editSelectImage,
    editGrayImage;

std::vector<TextureUpload> TextureUploads;
std::vector<std::uint32_t> DeletedTextures;
std::vector<std::uint32_t> ReleasedTextures;

namespace {

std::uint32_t nextTextureName = 1;      // texture names are given out in turn, never twice in a run

// A registered image (RegisterTexture), by texture name: its file and how it is uploaded, and where it stands.
enum class LazyState { Waiting, Resident, Failed };
struct LazyImage {
    std::string path;
    std::int32_t flags = 0;
    std::uint32_t wrapS = 0, wrapT = 0;
    LazyState state = LazyState::Waiting;
};
std::unordered_map<std::uint32_t, LazyImage> lazyImages;

// A texture name for an image. Every name comes from here and none from glGenTextures: the texture object is made
// when the name is first bound, so the thousands of pack frames that wait to be decoded cost the renderer nothing.
std::uint32_t NewTextureName() {
    return nextTextureName++;
}

std::vector<TextureGpu> gpu;                    // by texture name
std::vector<GLuint> retired;                    // objects to delete once the queued quads are drawn

bool PowerOfTwo(std::int32_t n) { return n > 0 && (n & (n - 1)) == 0; }

void Retire(std::uint32_t id) {
    if (id >= gpu.size()) return;
    if (gpu[id].object != 0) retired.push_back(gpu[id].object);
    gpu[id] = TextureGpu{};
}

bool EveryPixelOpaque(const TextureImage& image) {
    if (image.format != TextureFormatRgba) return true;
    const std::uint8_t* p = image.pixels.data();
    const std::size_t count = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
    for (std::size_t i = 0; i < count; ++i)
        if (p[i * 4 + 3] != 255) return false;
    return true;
}

// Uploads the decoded pixels of `image` under the texture name `id`.
void Upload(const std::string& path, TextureImage& image, std::uint32_t id, std::int32_t flags, std::uint32_t wrapS,
            std::uint32_t wrapT) {
    image.id = id;
    if (!PlatformHasGl()) {
        TextureUploads.push_back({image.id, path, image.width, image.height, image.bitsPerPixel, flags, wrapS, wrapT});
        return;
    }
    if (id >= gpu.size()) gpu.resize(id + 1);
    TextureGpu& slot = gpu[id];
    if (slot.object == 0) {
        GLuint object = 0;
        glGenTextures(1, &object);
        slot.object = object;
    }
    glBindTexture(GL_TEXTURE_2D, slot.object);
    // Rows of a 24-bit image are packed, not padded to four bytes.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const bool nearest = (flags & TextureNearest) != 0;
    const GLint magnify = nearest ? GL_NEAREST : GL_LINEAR;
    GLint minify = magnify;
    const GLenum format = image.format;
    const std::int32_t channels = image.bitsPerPixel / 8;
    slot.width = image.width;
    slot.height = image.height;
    slot.opaque = EveryPixelOpaque(image);
    slot.nearest = nearest;
    slot.mipmapped = (flags & TextureMipmaps) != 0;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magnify);
    if (slot.mipmapped && PowerOfTwo(image.width) && PowerOfTwo(image.height)) {
        glTexImage2D(GL_TEXTURE_2D, 0, GLint(format), image.width, image.height, 0, format, GL_UNSIGNED_BYTE,
                     image.pixels.data());
        glGenerateMipmap(GL_TEXTURE_2D);
    } else if (slot.mipmapped) {
        // Sides that are not powers of two are scaled to powers of two first, then halved level by level.
        const std::vector<MipLevel> chain = BuildMipmapChain(image.pixels.data(), image.width, image.height, channels);
        slot.width = chain[0].width;
        slot.height = chain[0].height;
        for (std::size_t level = 0; level < chain.size(); ++level)
            glTexImage2D(GL_TEXTURE_2D, GLint(level), GLint(format), chain[level].width, chain[level].height, 0,
                         format, GL_UNSIGNED_BYTE, chain[level].pixels.data());
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, GLint(format), image.width, image.height, 0, format, GL_UNSIGNED_BYTE,
                     image.pixels.data());
    }
    if (slot.mipmapped) minify = nearest ? GL_NEAREST_MIPMAP_NEAREST : GL_LINEAR_MIPMAP_LINEAR;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minify);
    slot.minFilterSet = static_cast<std::uint32_t>(minify);
    slot.magFilterSet = static_cast<std::uint32_t>(magnify);
    auto wrap = [](std::uint32_t w) { return GLint(w == TextureWrapRepeat ? GL_REPEAT : GL_CLAMP_TO_EDGE); };
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap(wrapS));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap(wrapT));
}

bool EndsWith(const std::string& text, const char* suffix) {
    const std::size_t n = std::char_traits<char>::length(suffix);
    return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}

}  // namespace

bool LoadPng(TextureImage& image, const std::string& path) {
    DecodedImage decoded;
    if (!DecodePng(path, 32, decoded)) return false;
    image.width = decoded.width;
    image.height = decoded.height;
    image.bitsPerPixel = 32;
    image.format = TextureFormatRgba;
    image.pixels = std::move(decoded.pixels);
    return true;
}

bool LoadTga(TextureImage& image, const std::string& path) {
    TgaImage decoded;
    if (!DecodeTga(path, decoded)) return false;
    image.width = decoded.width;
    image.height = decoded.height;
    image.bitsPerPixel = decoded.bitsPerPixel;
    image.format = decoded.bitsPerPixel == 32 ? TextureFormatRgba : TextureFormatRgb;
    image.pixels = std::move(decoded.pixels);
    return true;
}

std::int32_t LoadTexture(const std::string& path, TextureImage& image, std::int32_t flags, std::uint32_t wrapS,
                         std::uint32_t wrapT, std::int32_t keepPixels) {
    // The loader is chosen by the last three characters, exactly; any other name is not an image the game reads.
    bool loaded = false;
    if (EndsWith(path, "tga"))
        loaded = LoadTga(image, path);
    else if (EndsWith(path, "png"))
        loaded = LoadPng(image, path);
    if (!loaded) {
        std::printf("Error: Loading texture... %s\n", path.c_str());
        std::fflush(stdout);
        return 1;
    }
    Upload(path, image, NewTextureName(), flags, wrapS, wrapT);
    if (!keepPixels) std::vector<std::uint8_t>().swap(image.pixels);
    return 0;
}

std::int32_t RegisterTexture(const std::string& path, TextureImage& image, std::int32_t flags, std::uint32_t wrapS,
                             std::uint32_t wrapT) {
    if (!EndsWith(path, "png")) return LoadTexture(path, image, flags, wrapS, wrapT, 0);
    std::int32_t width = 0, height = 0;
    if (!ReadPngSize(path, width, height)) {
        std::printf("Error: Loading texture... %s\n", path.c_str());
        std::fflush(stdout);
        return 1;
    }
    image.id = NewTextureName();
    image.width = width;
    image.height = height;
    image.bitsPerPixel = 32;
    image.format = TextureFormatRgba;
    lazyImages[image.id] = LazyImage{path, flags, wrapS, wrapT, LazyState::Waiting};
    return 0;
}

std::uint32_t ResidentTexture(std::uint32_t id) {
    if (lazyImages.empty()) return id;
    auto found = lazyImages.find(id);
    if (found == lazyImages.end()) return id;
    LazyImage& lazy = found->second;
    if (lazy.state == LazyState::Resident) return id;
    if (lazy.state == LazyState::Failed) return 0;
    TextureImage image;
    if (!LoadPng(image, lazy.path)) {
        std::printf("Error: Loading texture... %s\n", lazy.path.c_str());
        std::fflush(stdout);
        lazy.state = LazyState::Failed;
        return 0;
    }
    Upload(lazy.path, image, id, lazy.flags, lazy.wrapS, lazy.wrapT);
    lazy.state = LazyState::Resident;
    return id;
}

bool TextureIsResident(std::uint32_t id) {
    auto found = lazyImages.find(id);
    return found != lazyImages.end() && found->second.state == LazyState::Resident;
}

void ReleaseTexture(std::uint32_t id) {
    auto found = lazyImages.find(id);
    if (found == lazyImages.end() || found->second.state != LazyState::Resident) return;
    if (PlatformHasGl()) {
        // The name stays the image's (names are never given out twice) and gets a new object when it is drawn.
        Retire(id);
    } else {
        ReleasedTextures.push_back(id);
    }
    found->second.state = LazyState::Waiting;
}

std::size_t PendingTextureCount() {
    std::size_t count = 0;
    for (const auto& [id, lazy] : lazyImages) count += lazy.state == LazyState::Waiting;
    return count;
}

void DeleteTexture(TextureImage& image) {
    if (image.id == 0) return;
    auto lazy = lazyImages.find(image.id);
    if (lazy != lazyImages.end()) lazyImages.erase(lazy);
    if (PlatformHasGl()) {
        Retire(image.id);
    } else {
        DeletedTextures.push_back(image.id);
    }
    image.id = 0;
}

void LoadFixedImages(const std::function<void()>& afterLogo) {
    const std::string folder = ProgramFolder();
    const bool nostalgic = NostalgicMode != 0;
    // The 1024 x 768 pictures fill the screen: at that size pixel for pixel (nearest filtering gives the same picture
    // as linear there, at a fraction of a software renderer's cost), else scaled with linear filtering. Either way
    // at their own size, without mipmaps: they are never drawn much smaller than they are.
    const std::int32_t pictures = ActiveWidth == 1024 && ActiveHeight == 768 ? TextureNearest : 0;
    // Each is decoded when it is first drawn (or when start-up asks for it): the logo by the first frame, the end-game
    // picture and the editor's images perhaps never in a run. A missing or unreadable file is still reported here.
    RegisterTexture(folder + (nostalgic ? "1994oslogo.png" : "oslogo.png"), logoImage, pictures, TextureWrapClamp,
                    TextureWrapClamp);
    if (afterLogo) afterLogo();
    RegisterTexture(folder + "endgame.png", endgameImage, pictures, TextureWrapClamp, TextureWrapClamp);
    RegisterTexture(folder + (nostalgic ? "1994opening.png" : "opening.png"), openingImage, pictures,
                    TextureWrapClamp, TextureWrapClamp);
    // The editor's images are drawn pixel for pixel: nearest filtering, no mipmaps.
    const std::pair<const char*, TextureImage*> editorImages[] = {
        {"editmenu.png", &editMenuImage}, {"editinput.png", &editInputImage}, {"editdial.png", &editDialImage},
        {"editdial1.png", &editDial1Image}, {"editwait.png", &editWaitImage}, {"editselect.png", &editSelectImage},
        {"editgray.png", &editGrayImage}};
    for (const auto& [file, image] : editorImages)
        RegisterTexture(folder + file, *image, TextureNearest, TextureWrapClamp, TextureWrapClamp);
}

void ReleaseLogo() {
    ReleaseTexture(logoImage.id);
}

void ReleaseTextures() {
    for (int i = 1; i <= ImageTable.Count(); ++i) DeleteTexture(ImageTable[i]);
}

void ResetTextureRecords() {
    lazyImages.clear();
    ReleasedTextures.clear();
    TextureUploads.clear();
    DeletedTextures.clear();
    nextTextureName = 1;
}

TextureGpu* FindTextureGpu(std::uint32_t id) {
    if (id >= gpu.size() || gpu[id].object == 0) return nullptr;
    return &gpu[id];
}

void DeleteRetiredTextures() {
    if (retired.empty()) return;
    glDeleteTextures(static_cast<GLsizei>(retired.size()), retired.data());
    retired.clear();
}

void ForgetGlTextures() {
    gpu.clear();
    retired.clear();
    for (auto& [id, lazy] : lazyImages)
        if (lazy.state == LazyState::Resident) lazy.state = LazyState::Waiting;
}

std::int32_t MipmapSide(std::int32_t side) {
    if (side <= 1) return 1;
    std::int32_t power = 1;
    for (std::uint32_t value = static_cast<std::uint32_t>(side);; value >>= 1, power *= 2) {
        if (value == 1) return power;
        if (value == 3) return power * 4;
    }
}

namespace {

// `from` scaled to w x h: every target pixel is the mean of the source area it covers, each source pixel weighted
// by how much of it lies inside.
MipLevel ScaleByArea(const std::uint8_t* from, std::int32_t fw, std::int32_t fh, std::int32_t w, std::int32_t h,
                     std::int32_t channels) {
    MipLevel out;
    out.width = w;
    out.height = h;
    out.pixels.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * static_cast<std::size_t>(channels));
    const double sx = double(fw) / w, sy = double(fh) / h;
    std::vector<double> sum(static_cast<std::size_t>(channels));
    for (std::int32_t y = 0; y < h; ++y) {
        const double y0 = y * sy, y1 = (y + 1) * sy;
        for (std::int32_t x = 0; x < w; ++x) {
            const double x0 = x * sx, x1 = (x + 1) * sx;
            std::fill(sum.begin(), sum.end(), 0.0);
            double total = 0;
            for (std::int32_t py = static_cast<std::int32_t>(y0); py < fh && py < y1; ++py) {
                const double wy = std::min(y1, double(py + 1)) - std::max(y0, double(py));
                if (wy <= 0) continue;
                for (std::int32_t px = static_cast<std::int32_t>(x0); px < fw && px < x1; ++px) {
                    const double wx = std::min(x1, double(px + 1)) - std::max(x0, double(px));
                    if (wx <= 0) continue;
                    const std::uint8_t* p = from + (static_cast<std::size_t>(py) * static_cast<std::size_t>(fw) +
                                                    static_cast<std::size_t>(px)) * static_cast<std::size_t>(channels);
                    for (std::int32_t c = 0; c < channels; ++c) sum[static_cast<std::size_t>(c)] += p[c] * wx * wy;
                    total += wx * wy;
                }
            }
            std::uint8_t* q = out.pixels.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(w) +
                                                   static_cast<std::size_t>(x)) * static_cast<std::size_t>(channels);
            for (std::int32_t c = 0; c < channels; ++c) {
                const double mean = sum[static_cast<std::size_t>(c)] / total;
                q[c] = static_cast<std::uint8_t>(std::clamp(mean + 0.5, 0.0, 255.0));
            }
        }
    }
    return out;
}

}  // namespace

std::vector<MipLevel> BuildMipmapChain(const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                                       std::int32_t channels) {
    std::vector<MipLevel> chain;
    chain.push_back(ScaleByArea(pixels, width, height, MipmapSide(width), MipmapSide(height), channels));
    while (chain.back().width > 1 || chain.back().height > 1) {
        const MipLevel& last = chain.back();
        MipLevel next = ScaleByArea(last.pixels.data(), last.width, last.height, std::max(last.width / 2, 1),
                                    std::max(last.height / 2, 1), channels);
        chain.push_back(std::move(next));
    }
    return chain;
}
