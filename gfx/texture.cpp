#include "gfx/texture.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>

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

namespace {

std::uint32_t nextRecordedId = 1;       // the headless back end's texture names, for the run

void Upload(const std::string& path, TextureImage& image, std::int32_t flags, std::uint32_t wrapS,
            std::uint32_t wrapT) {
    if (!PlatformHasGl()) {
        image.id = nextRecordedId++;
        TextureUploads.push_back({image.id, path, image.width, image.height, image.bitsPerPixel, flags, wrapS, wrapT});
        return;
    }
    GLuint id = 0;
    glGenTextures(1, &id);
    image.id = id;
    glBindTexture(GL_TEXTURE_2D, id);
    // Rows of a 24-bit image are packed, not padded to four bytes.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const GLint magnify = (flags & TextureNearest) ? GL_NEAREST : GL_LINEAR;
    GLint minify = magnify;
    const GLint components = image.bitsPerPixel / 8;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magnify);
    if (flags & TextureMipmaps) {
        gluBuild2DMipmaps(GL_TEXTURE_2D, components, image.width, image.height, image.format, GL_UNSIGNED_BYTE,
                          image.pixels.data());
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
    Upload(path, image, flags, wrapS, wrapT);
    if (!keepPixels) std::vector<std::uint8_t>().swap(image.pixels);
    return 0;
}

void DeleteTexture(TextureImage& image) {
    if (image.id == 0) return;
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
    LoadTexture(folder + (nostalgic ? "1994oslogo.png" : "oslogo.png"), logoImage, pictures, TextureWrapClamp,
                TextureWrapClamp, 0);
    if (afterLogo) afterLogo();
    LoadTexture(folder + "endgame.png", endgameImage, pictures, TextureWrapClamp, TextureWrapClamp, 0);
    LoadTexture(folder + (nostalgic ? "1994opening.png" : "opening.png"), openingImage, pictures, TextureWrapClamp,
                TextureWrapClamp, 0);
    // The editor's images are drawn pixel for pixel: nearest filtering, no mipmaps.
    const std::pair<const char*, TextureImage*> editorImages[] = {
        {"editmenu.png", &editMenuImage}, {"editinput.png", &editInputImage}, {"editdial.png", &editDialImage},
        {"editdial1.png", &editDial1Image}, {"editselect.png", &editSelectImage}, {"editgray.png", &editGrayImage}};
    for (const auto& [file, image] : editorImages)
        LoadTexture(folder + file, *image, TextureNearest, TextureWrapClamp, TextureWrapClamp, 0);
}

void ReleaseTextures() {
    for (int i = 1; i <= ImageTable.Count(); ++i) DeleteTexture(ImageTable[i]);
}

void ResetTextureRecords() {
    TextureUploads.clear();
    DeletedTextures.clear();
    nextRecordedId = 1;
}
