#include "tools/tool/game_data.h"

#include <string>

#include "base/files.h"
#include "base/language.h"
#include "base/message.h"
#include "gfx/display.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/pack_textures.h"
#include "gfx/texture.h"
#include "play/level.h"
#include "shell/language.h"
#include "shell/settings.h"
#include "tiles/catalogue.h"
#include "tiles/texture_packs.h"

std::string LoadLanguageOfSettings() {
    ListLanguageFiles();
    std::string language = LanguageList.Empty() ? std::string() : LanguageList[1];
    for (const std::string& name : LanguageList)
        if (name == LanguageFile) language = name;
    if (!language.empty()) LoadLanguage(language);
    return language;
}

void LoadToolGameData() {
    LoadLanguageOfSettings();
    MessageState = -1;
    DrawFrame();                // the first frame works out the screen's scale values
    SetBlend(BlendMode::Alpha);
    UiFont.spacing = 2;
    BuildFont(UiFont, ProgramFolder() + "standard.tga", ProgramFolder() + "standard.dat");
    LoadFixedImages();
    LoadTexturePacks();
    TakeCatalogueDefaults();
    MessageState = 0;
}
