// Spoken quotes: each line of assets/quotes.txt is spoken by the espeak-ng program into a temporary WAV file,
// read back, trimmed, cleaned up and given a little character (room, radio, echo).
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "sounds.h"

extern char** environ;

namespace genaudio {

namespace {

std::string Trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return "";
    size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

bool ParseInt(const std::string& s, int lo, int hi, int& out) {
    if (s.empty() || s.size() > 4) return false;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v < lo || v > hi) return false;
    out = v;
    return true;
}

uint32_t Le32(const unsigned char* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
uint16_t Le16(const unsigned char* p) { return uint16_t(p[0] | (p[1] << 8)); }

// Reads a 16-bit PCM WAV file (what espeak-ng writes). Checks every chunk size against the file.
bool ReadWav(const std::string& path, Sound& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (data.size() < 12 || std::memcmp(data.data(), "RIFF", 4) != 0 || std::memcmp(data.data() + 8, "WAVE", 4) != 0)
        return false;
    int channels = 0, bits = 0;
    uint32_t rate = 0;
    size_t pos = 12;
    while (pos + 8 <= data.size()) {
        const unsigned char* chunk = data.data() + pos;
        uint32_t size = Le32(chunk + 4);
        size_t body = pos + 8;
        size_t avail = data.size() - body;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size < 16 || avail < 16) return false;
            if (Le16(chunk + 8) != 1) return false;  // PCM only
            channels = Le16(chunk + 10);
            rate = Le32(chunk + 12);
            bits = Le16(chunk + 22);
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (channels < 1 || channels > 2 || bits != 16 || rate < 8000 || rate > 96000) return false;
            // espeak-ng streaming output may leave the size open: read what is there
            size_t bytes = std::min<size_t>(size, avail) & ~size_t(2 * channels - 1);
            out.rate = int(rate);
            out.channels = channels;
            out.samples.resize(bytes / 2);
            for (size_t i = 0; i < out.samples.size(); ++i)
                out.samples[i] = int16_t(Le16(data.data() + body + 2 * i)) / 32768.0f;
            return true;
        }
        if (size > avail) return false;
        pos = body + size + (size & 1);
    }
    return false;
}

bool RunEspeak(const std::string& voice, int pitch, int speed, const std::string& text, const std::string& wav) {
    std::string pitchArg = std::to_string(pitch), speedArg = std::to_string(speed);
    std::vector<std::string> args = {"espeak-ng", "-v",  voice, "-p", pitchArg, "-s", speedArg,
                                     "-a",        "120", "-w",  wav,  "--",     text};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, "espeak-ng", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        fprintf(stderr, "gen-audio: cannot start espeak-ng: %s\n", strerror(rc));
        return false;
    }
    int status = 0;
    if (waitpid(pid, &status, 0) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        fprintf(stderr, "gen-audio: espeak-ng failed for \"%s\"\n", text.c_str());
        return false;
    }
    return true;
}

// Speaks and reads back one line, mono at espeak-ng's rate, with silence trimmed off both ends.
bool Speak(const std::string& voice, int pitch, int speed, const std::string& text, const std::string& scratchDir,
           Sound& out) {
    std::string wav = scratchDir + "/.gen-audio-speech.wav";
    bool ok = RunEspeak(voice, pitch, speed, text, wav) && ReadWav(wav, out);
    std::remove(wav.c_str());
    if (!ok) return false;
    if (out.channels != 1) {
        Sound mono = MakeMono(0, out.rate);
        MixInto(mono, out, 0.0);
        out = mono;
    }
    RemoveDc(out);
    HighPassSound(out, 75.0);
    TrimSilence(out, 0.01, 0.03);
    return out.Frames() > size_t(out.rate / 20);
}

void ApplyVoiceEffect(Sound& s, const std::string& effect) {
    if (effect == "room" || effect == "echo") {
        size_t tail = size_t((effect == "echo" ? 0.5 : 0.25) * s.rate);
        s.samples.resize(s.samples.size() + tail, 0.0f);
        if (effect == "echo") {
            // a slap-back echo that repeats three times, each darker
            Sound dry = s;
            size_t d = size_t(0.13 * s.rate);
            double g = 0.35;
            for (int rep = 1; rep <= 3; ++rep, g *= 0.5) {
                OnePole tone;
                for (size_t i = 0; i + rep * d < s.samples.size(); ++i)
                    s.samples[i + rep * d] += float(g * tone.LowPass(dry.samples[i], 3500.0 / rep, s.rate));
            }
        }
        ReverbParams p;
        p.roomSize = effect == "echo" ? 0.6 : 0.35;
        p.damping = 0.5;
        Sound wet = ReverbWet(s, p);
        for (size_t i = 0; i < s.samples.size(); ++i)
            s.samples[i] += 0.18f * (wet.samples[2 * i] + wet.samples[2 * i + 1]);
        TrimSilence(s, 0.002, 0.02);
    } else if (effect == "radio") {
        // a walkie-talkie: a narrow band, a little grit and a faint hiss
        Biquad hp, lp, mid;
        hp.HighPass(450.0, 0.7, s.rate);
        lp.LowPass(3000.0, 0.9, s.rate);
        mid.Peaking(1500.0, 1.0, 5.0, s.rate);
        Rng rng(0x2AD10);
        double peak = std::max(1e-6, Peak(s));
        for (float& x : s.samples) {
            double y = mid.Process(lp.Process(hp.Process(x)));
            y = std::tanh(2.5 * y / peak) * peak;
            x = float(y + 0.004 * peak * rng.Bipolar());
        }
    }
    FadeIn(s, 0.005);
    FadeOut(s, 0.03);
}

}  // namespace

bool ReadQuotes(const std::string& path, std::vector<QuoteLine>& lines, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::string raw;
    int lineNumber = 0;
    while (std::getline(in, raw)) {
        ++lineNumber;
        std::string line = Trim(raw);
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields;
        std::stringstream ss(line);
        std::string field;
        // the text is the last field and may not contain '|'; the first five are fixed
        for (int k = 0; k < 5 && std::getline(ss, field, '|'); ++k) fields.push_back(Trim(field));
        std::string rest;
        std::getline(ss, rest);
        fields.push_back(Trim(rest));
        QuoteLine q;
        auto bad = [&](const char* what) {
            error = path + ":" + std::to_string(lineNumber) + ": " + what;
            return false;
        };
        if (fields.size() != 6) return bad("expected: number | voice | pitch | speed | effect | line");
        if (!ParseInt(fields[0], 1, 999, q.number)) return bad("bad quote number");
        if (fields[1].empty() || fields[1].find_first_of(" \t") != std::string::npos) return bad("bad voice");
        q.voice = fields[1];
        if (!ParseInt(fields[2], 0, 99, q.pitch)) return bad("pitch must be 0..99");
        if (!ParseInt(fields[3], 80, 450, q.speed)) return bad("speed must be 80..450");
        q.effect = fields[4];
        if (q.effect != "none" && q.effect != "room" && q.effect != "radio" && q.effect != "echo")
            return bad("unknown effect");
        q.text = fields[5];
        if (q.text.empty()) return bad("empty line");
        for (const QuoteLine& other : lines)
            if (other.number == q.number) return bad("quote number used twice");
        lines.push_back(q);
    }
    return true;
}

bool MakeQuote(const QuoteLine& line, const std::string& scratchDir, Sound& out) {
    if (!Speak(line.voice, line.pitch, line.speed, line.text, scratchDir, out)) return false;
    ApplyVoiceEffect(out, line.effect);
    return true;
}

bool MakeCountdown(const std::string& scratchDir, Sound& out) {
    // Voice and beeps at the speech rate; a beep on each second, rising a step each time, the number after it.
    const char* words[] = {"Five!", "Four!", "Three!", "Two!", "One!"};
    out = MakeMono(4.9, kSpeechRate);
    for (int k = 0; k < 5; ++k) {
        Sound beep = MakeMono(0.16, kSpeechRate);
        double f = MidiToHz(81 + 2 * k);
        for (size_t i = 0; i < beep.samples.size(); ++i) {
            double t = double(i) / kSpeechRate;
            beep.samples[i] =
                float((std::sin(kTwoPi * f * t) + 0.25 * std::sin(kTwoPi * 2 * f * t)) * PercEnv(t, 0.003, 0.04));
        }
        MixInto(out, beep, k * 1.0, 0.35);
        Sound word;
        if (!Speak("en-us+m7", 42 + 4 * k, 190, words[k], scratchDir, word)) return false;
        double peak = std::max(1e-6, Peak(word));
        MixInto(out, word, k * 1.0 + 0.12, 0.9 / peak);
    }
    FadeOut(out, 0.05);
    return true;
}

}  // namespace genaudio
