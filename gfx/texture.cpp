#include "gfx/texture.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>
#include <unordered_map>

#include "gfx/png_decode.h"
#include "gfx/tga_decode.h"
#include "platform/platform.h"
#include "base/files.h"
#include "base/settings.h"

static_assert(TextureWrapClamp == GL_CLAMP && TextureWrapRepeat == GL_REPEAT &&
              TextureWrapClampToEdge == GL_CLAMP_TO_EDGE);
static_assert(TextureFormatRgb == GL_RGB && TextureFormatRgba == GL_RGBA);

List<TextureImage> ImageTable;

TextureImage logoImage, endgameImage, openingImage;
TextureImage editMenuImage, editInputImage, editDialImage, editDial1Image, editSelectImage, editGrayImage;

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

// GL 1.4 builds the mipmaps itself from level 0 (GL_GENERATE_MIPMAP), with no copy of the pixels in this process.
bool GlGeneratesMipmaps() {
    static int answer = -1;
    if (answer < 0) {
        const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        int major = 0, minor = 0;
        answer = version && std::sscanf(version, "%d.%d", &major, &minor) == 2 &&
                 (major > 1 || (major == 1 && minor >= 4));
    }
    return answer == 1;
}

bool PowerOfTwo(std::int32_t n) { return n > 0 && (n & (n - 1)) == 0; }

// Uploads the decoded pixels of `image` under the texture name `id`.
void Upload(const std::string& path, TextureImage& image, std::uint32_t id, std::int32_t flags, std::uint32_t wrapS,
            std::uint32_t wrapT) {
    image.id = id;
    if (!PlatformHasGl()) {
        TextureUploads.push_back({image.id, path, image.width, image.height, image.bitsPerPixel, flags, wrapS, wrapT});
        return;
    }
    glBindTexture(GL_TEXTURE_2D, id);
    // Rows of a 24-bit image are packed, not padded to four bytes.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const GLint magnify = (flags & TextureNearest) ? GL_NEAREST : GL_LINEAR;
    GLint minify = magnify;
    const GLint components = image.bitsPerPixel / 8;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magnify);
    if (flags & TextureMipmaps) {
        // GLU scales a picture whose sides are not powers of two to powers of two first; such a picture keeps
        // going through GLU so that it looks the same.
        if (GlGeneratesMipmaps() && PowerOfTwo(image.width) && PowerOfTwo(image.height)) {
            glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
            glTexImage2D(GL_TEXTURE_2D, 0, components, image.width, image.height, 0, image.format, GL_UNSIGNED_BYTE,
                         image.pixels.data());
        } else {
            gluBuild2DMipmaps(GL_TEXTURE_2D, components, image.width, image.height, image.format, GL_UNSIGNED_BYTE,
                              image.pixels.data());
        }
        minify = (flags & TextureNearest) ? GL_NEAREST_MIPMAP_NEAREST : GL_LINEAR_MIPMAP_LINEAR;
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, components, image.width, image.height, 0, image.format, GL_UNSIGNED_BYTE,
                     image.pixels.data());
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minify);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GLint(wrapS));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GLint(wrapT));
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
        // The name stays the image's (names are never given out twice) and binds a new texture when it is drawn.
        GLuint name = id;
        glDeleteTextures(1, &name);
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
        GLuint id = image.id;
        glDeleteTextures(1, &id);
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
        {"editdial1.png", &editDial1Image}, {"editselect.png", &editSelectImage}, {"editgray.png", &editGrayImage}};
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
