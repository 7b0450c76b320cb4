// kolbrix-gen-audio: makes every sound file the game plays (effects, quotes, music) into the program folder.
//
//   kolbrix-gen-audio <program folder> <source folder>
//
// The source folder supplies assets/quotes.txt. Everything else is synthesised here from fixed seeds, so the
// same build always writes the same files. On success the file ".audio-stamp" is written last.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include "levels.h"
#include "sounds.h"
#include "vorbis_io.h"

namespace fs = std::filesystem;
using namespace genaudio;

namespace {

struct Written {
    std::string name;
    double seconds = 0, lufs = 0, peakDb = 0;
    uintmax_t bytes = 0;
};

std::vector<Written> g_written;

// Levels the sound, encodes it, decodes it again and makes sure the decoded peak stays under the limit (the
// encoder can add a fraction of a dB); records what was written.
bool WriteSound(Sound s, const std::string& folder, const std::string& name, double targetLufs, double quality) {
    NormaliseLoudness(s, targetLufs, kCeilingDb);
    std::string path = folder + "/" + name;
    Sound decoded;
    for (int attempt = 0;; ++attempt) {
        if (!EncodeVorbis(s, path, quality, name)) return false;
        if (!DecodeVorbis(path, decoded)) {
            fprintf(stderr, "gen-audio: cannot decode %s after writing it\n", path.c_str());
            return false;
        }
        double peakDb = GainToDb(Peak(decoded));
        if (peakDb <= kMaxDecodedDb) break;
        if (attempt == 4) {
            fprintf(stderr, "gen-audio: %s still peaks at %.2f dBFS\n", name.c_str(), peakDb);
            return false;
        }
        Scale(s, DbToGain(kMaxDecodedDb - 0.3 - peakDb));
    }
    Written w;
    w.name = name;
    w.seconds = decoded.Seconds();
    w.lufs = MeasureLoudness(decoded);
    w.peakDb = GainToDb(Peak(decoded));
    w.bytes = fs::file_size(path);
    g_written.push_back(w);
    return true;
}

std::string QuoteFileName(int number) {
    char buf[32];
    snprintf(buf, sizeof buf, "quote%02d.ogg", number);
    return buf;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: kolbrix-gen-audio <program folder> <source folder>\n");
        return 2;
    }
    auto started = std::chrono::steady_clock::now();
    std::string gameDir = argv[1], sourceDir = argv[2];
    std::string audioDir = gameDir + "/audio";
    std::error_code ec;
    fs::create_directories(audioDir, ec);
    if (ec) {
        fprintf(stderr, "gen-audio: cannot create %s: %s\n", audioDir.c_str(), ec.message().c_str());
        return 1;
    }
    fs::remove(gameDir + "/.audio-stamp", ec);

    // ---- effects: ids 0..6, 87 and the 1994 versions of ids 1..5 ----
    struct Effect {
        const char* name;
        Sound (*make)();
    };
    const Effect effects[] = {
        {"bump.ogg", MakeBump},
        {"flag.ogg", MakeFlag},
        {"bomb.ogg", MakeBomb},
        {"explode.ogg", MakeExplode},
        {"win.ogg", MakeWin},
        {"lose.ogg", MakeLose},
        {"orlo.ogg", MakeJingle},
        {"lock.ogg", MakeLock},
        {"1994flag.ogg", MakeChipFlag},
        {"1994bomb.ogg", MakeChipBomb},
        {"1994explode.ogg", MakeChipExplode},
        {"1994win.ogg", MakeChipWin},
        {"1994lose.ogg", MakeChipLose},
    };
    for (const Effect& e : effects)
        if (!WriteSound(e.make(), gameDir, e.name, kEffectLufs, 0.4)) return 1;

    // ---- spoken quotes 1..81 and the countdown ----
    std::vector<QuoteLine> quotes;
    std::string error;
    if (!ReadQuotes(sourceDir + "/assets/quotes.txt", quotes, error)) {
        fprintf(stderr, "gen-audio: %s\n", error.c_str());
        return 1;
    }
    std::set<int> numbers;
    for (const QuoteLine& q : quotes) numbers.insert(q.number);
    for (int n = 1; n <= 81; ++n) {
        if (!numbers.count(n)) {
            fprintf(stderr, "gen-audio: assets/quotes.txt has no quote %d\n", n);
            return 1;
        }
    }
    for (const QuoteLine& q : quotes) {
        Sound s;
        if (!MakeQuote(q, gameDir, s)) {
            fprintf(stderr, "gen-audio: quote %d failed\n", q.number);
            return 1;
        }
        if (!WriteSound(s, gameDir, QuoteFileName(q.number), kQuoteLufs, 0.3)) return 1;
    }
    {
        Sound s;
        if (!MakeCountdown(gameDir, s) || !WriteSound(s, gameDir, "countdown.ogg", kQuoteLufs, 0.3)) return 1;
    }

    // ---- music ----
    std::vector<MusicTrack> tracks = ComposeMusic();
    std::set<std::string> trackNames;
    for (const MusicTrack& t : tracks) trackNames.insert(t.fileName);
    // the audio folder is ours: tracks of older generator versions would otherwise stay in the music list
    for (const auto& entry : fs::directory_iterator(audioDir, ec)) {
        std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && entry.path().extension() == ".ogg" && !trackNames.count(name))
            fs::remove(entry.path(), ec);
    }
    for (const MusicTrack& t : tracks)
        if (!WriteSound(t.sound, audioDir, t.fileName, kMusicLufs, 0.3)) return 1;

    // ---- report ----
    uintmax_t total = 0;
    double minFx = 1e9, maxFx = -1e9;
    printf("%-20s %8s %8s %8s %8s\n", "file", "seconds", "LUFS", "peak dB", "KiB");
    for (const Written& w : g_written) {
        printf("%-20s %8.2f %8.1f %8.2f %8.1f\n", w.name.c_str(), w.seconds, w.lufs, w.peakDb, w.bytes / 1024.0);
        total += w.bytes;
        if (w.name.find(".ogg") != std::string::npos && w.seconds < 10)
            minFx = std::min(minFx, w.lufs), maxFx = std::max(maxFx, w.lufs);
    }
    double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    printf("gen-audio: %zu files, %.2f MiB, effects and quotes %.1f..%.1f LUFS, made in %.1f s\n", g_written.size(),
           total / 1048576.0, minFx, maxFx, elapsed);

    std::ofstream stamp(gameDir + "/.audio-stamp");
    stamp << "kolbrix-gen-audio: " << g_written.size() << " files\n";
    return stamp ? 0 : 1;
}
