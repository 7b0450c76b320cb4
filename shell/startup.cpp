#include "shell/startup.h"

#include <string>

#include "base/message.h"
#include "shell/pack_archive.h"
#include "gfx/display.h"
#include "gfx/draw.h"
#include "platform/platform.h"
#include "base/files.h"
#include "shell/language.h"
#include "shell/menu.h"
#include "shell/packs.h"
#include "shell/players.h"
#include "play/level.h"
#include "play/play_loop.h"
#include "play/random.h"
#include "sound/sound.h"
#include "gfx/font.h"
#include "gfx/texture.h"
#include "gfx/pack_textures.h"
#include "tiles/catalogue.h"
#include "tiles/texture_packs.h"
#include "shell/settings.h"


namespace {

// The maker's web address shown on the text screens.
const char* const MakerAddress = "www.orlosoftware.example";

// The end of a screen that stops the start: a key, or at once when the screen could not be shown (its text then went
// to standard error), then the program ends with `code`.
[[noreturn]] void WaitKeyAndExit(int code) {
    TextScreenWaitKey();
    PlatformExit(code);
}

void ShowNostalgicNotice(bool keyword) {
    TextScreenOpen();
    TextScreenLocate(1, 1);
    TextScreenColor(14, 1);
    TextScreenPrint(keyword ? "NOSTALGIC MODE ACTIVATED!" : "HAPPY NEW YEAR!");
    TextScreenColor(15);
    TextScreenPrint("Let's get nostalgic!");
    TextScreenColor(7);
    for (const char* line : {"", "What you're about to play is not the", "normal Kolbrix, but a flashback to",
                             "january 1994, when the original", "'Varto-Lum' was published. Kolbrix is a",
                             "remake of that game.", ""})
        TextScreenPrint(line);
    if (keyword) {
        for (const char* line : {"All graphics and soundeffects", "will be replaced with the original",
                                 "versions from 1994."})
            TextScreenPrint(line);
    } else {
        for (const char* line : {"Today all graphics and soundeffects", "will be replaced with the original",
                                 "versions from 1994. Tomorrow everything", "will be back to normal."})
            TextScreenPrint(line);
    }
    TextScreenPrint("");
    TextScreenPrint("The 1994 original is still around:");
    TextScreenPrint("look for it in the archive pages of");
    TextScreenPrint("the Orlo Software web site,");
    TextScreenColor(15);
    TextScreenPrint("www.orlosoftware.example/1994");
    TextScreenColor(7);
    TextScreenPrint("(it runs fine in a DOS emulator).");
    TextScreenColor(7);
    for (const char* line : {"", "Have fun! :-)", "", "Press any key to continue, or",
                             "press [N] to cancel 'Nostalgic Mode'."})
        TextScreenPrint(line);
    std::string key = LowerCase(TextScreenWaitKey());
    if (key != "n") NostalgicMode = -1;
}

void DecideNostalgicMode(int argc, char** argv) {
    bool keyword = argc > 1 && argv[1] && LowerCase(argv[1]).find("nostalg") != std::string::npos;
    bool newYear = PlatformTodayDate().compare(0, 5, "01-01") == 0;
    if (keyword || newYear) ShowNostalgicNotice(keyword);
}

[[noreturn]] void NoLanguageScreen() {
    TextScreenOpen();
    TextScreenLocate(9, 1);
    TextScreenColor(12);
    TextScreenPrint("Error: no language-files found!");
    TextScreenColor(7);
    TextScreenPrint("Please redownload Kolbrix:");
    TextScreenPrint("");
    TextScreenPrint("Surf to:");
    TextScreenPrint("");
    TextScreenColor(15);
    TextScreenPrint(MakerAddress);
    TextScreenPrint("");
    TextScreenColor(7);
    TextScreenPrint("Press any key to quit.");
    WaitKeyAndExit(0);
}

[[noreturn]] void NoDisplayModeScreen() {
    TextScreenOpen();
    TextScreenLocate(8, 1);
    TextScreenColor(14);
    TextScreenPrint(" Kolbrix");
    TextScreenPrint(" -------");
    TextScreenPrint("");
    TextScreenColor(15);
    TextScreenPrint(" Kolbrix requires a resolution of at");
    TextScreenPrint(" least 640 x 480 and 32 bit color.");
    TextScreenPrint("");
    TextScreenColor(12);
    TextScreenPrint(" Your system doesn't seem to support");
    TextScreenPrint(" that. Sorry.");
    TextScreenPrint("");
    TextScreenColor(7);
    TextScreenPrint(" Press any key to quit.");
    WaitKeyAndExit(0);
}

void SplashScreen(double t0) {
    if (MessageState != -1) return;     // a message raised while loading skips the splash
    for (;;) {
        DrawFrame();
        int mouseX, mouseY, buttons;
        PlatformMouse(mouseX, mouseY, buttons);
        PlatformSleep0();
        if (PlatformClock() - t0 >= 3.0) break;
        if (!PlatformReadKey().empty()) break;
        if (buttons != 0 && mouseX != -1 && mouseY != -1) break;
    }
    MessageState = 0;
}

}  // namespace

void Startup() {
    ListLanguageFiles();
    if (LanguageList.Empty()) NoLanguageScreen();
    bool listed = false;
    for (const std::string& name : LanguageList)
        if (name == LanguageFile) listed = true;
    if (!listed) LanguageFile = LanguageList[1];

    ListPlayers();
    if (PlayerIndex > PlayerList.Count()) PlayerIndex = PlayerList.Count();

    LoadLanguage(LanguageFile);
    // Packs dropped into the data folder as archives, before the texture packs and the level packs are read.
    InstallDroppedArchives();

    ListDisplayModes();
    if (!ChooseMode()) NoDisplayModeScreen();

    SeedRandom(PlatformRandomSeed());
    // The window first, and the logo in it, before the audio: opening the audio decodes every sound effect and quote,
    // a good part of start-up, and the logo stands while it does.
    if (!OpenActiveDisplay()) NoDisplayModeScreen();
    SetSwapInterval(ActiveFullscreen);
    PlatformShowPointer(false);
    PlatformSetTitle(LanguageText[LineGameTitle]);
    SetBlend(BlendMode::Alpha);

    attempt.flagsLeft = 1;
    PanelX = 15;
    PanelY = 15;

    UiFont.spacing = 2;
    BuildFont(UiFont, ProgramFolder() + "standard.tga", ProgramFolder() + "standard.dat");

    // The logo goes up first and stays on screen, with the loading line, while the rest loads.
    LoadFixedImages([] {
        DrawFrame();
        InitAudio();
        if (SoundOn) PlaySound(SoundJingle, 0);
    });
    LoadTexturePacks();
    // The menu writes its lines with the big font over its picture: both are decoded now, with the logo up, rather
    // than in the menu's first frame.
    const TextureEntry& bigFont = Entry(DefaultFontTexture);
    PreloadPackImages(WholeNumber(bigFont.firstFrame), WholeNumber(bigFont.lastFrame));
    ResidentTexture(openingImage.id);
    TakeCatalogueDefaults();
    TexturePackList[0] = LanguageText[LineAllTexturePacks];

    ListPacks();
    CountLevels();
    ComputePackRecord();
    lastFrameTime = PlatformClock();
}

void Quit() {
    // Settings that cannot be saved are said before the game ends: the message waits for a key or a click.
    if (!SaveSettings()) {
        bool tick = false;
        while (MessageState == 1) MenuWaitPass(tick);
    }
    CloseAudio();
    ReleaseTextures();
    KillFont(UiFont);
    PlatformExit(0);
}

int KolbrixMain(int argc, char** argv) {
    NostalgicMode = 0;
    ResetDisplayState();
    lastFrameTime = PlatformClock();    // frames drawn while loading are paced from the start of the run
    // The player's files go beside the program, or to the player's own folder when the program's is read-only.
    PlatformChooseDataFolder();
    LoadSettings();
    StartupLoading = -1;
    MessageState = -1;
    level.levelZoom = 0.5;
    DecideNostalgicMode(argc, argv);
    double t0 = PlatformClock();
    Startup();
    StartupLoading = 0;
    // A message raised while loading (a pack that ends before a gap) waits for the menu: the splash comes first.
    const bool raised = MessageState == 1;
    const std::string lines[] = {DialogLine1, DialogLine2, DialogLine3};
    MessageState = -1;
    SplashScreen(t0);
    ReleaseLogo();
    if (raised) RaiseMessage(lines[0], lines[1], lines[2]);
    PlatformShowPointer(true);
    RunMainMenu();
}
