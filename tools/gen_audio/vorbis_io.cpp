#include "vorbis_io.h"

#include <vorbis/codec.h>
#include <vorbis/vorbisenc.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>

namespace genaudio {

namespace {

int SerialFor(const std::string& path) {
    uint32_t h = 2166136261u;  // FNV-1a over the file name (not the folder, so the bytes do not depend on it)
    size_t slash = path.find_last_of('/');
    for (size_t i = slash == std::string::npos ? 0 : slash + 1; i < path.size(); ++i) {
        h ^= uint8_t(path[i]);
        h *= 16777619u;
    }
    return int(h & 0x7fffffff);
}

bool WritePage(FILE* f, const ogg_page& page) {
    return fwrite(page.header, 1, size_t(page.header_len), f) == size_t(page.header_len) &&
           fwrite(page.body, 1, size_t(page.body_len), f) == size_t(page.body_len);
}

}  // namespace

bool EncodeVorbis(const Sound& s, const std::string& path, double quality, const std::string& title) {
    std::string tmp = path + ".tmp";
    FILE* f = fopen(tmp.c_str(), "wb");
    if (!f) {
        fprintf(stderr, "gen-audio: cannot write %s\n", tmp.c_str());
        return false;
    }
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, s.channels, s.rate, float(quality)) != 0) {
        fprintf(stderr, "gen-audio: vorbis_encode_init_vbr failed for %s\n", path.c_str());
        vorbis_info_clear(&vi);
        fclose(f);
        return false;
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_comment_add_tag(&vc, "TITLE", title.c_str());
    vorbis_comment_add_tag(&vc, "ARTIST", "Kolbrix audio generator");
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, SerialFor(path));

    bool ok = true;
    {
        ogg_packet header, comment, codebooks;
        vorbis_analysis_headerout(&vd, &vc, &header, &comment, &codebooks);
        ogg_stream_packetin(&os, &header);
        ogg_stream_packetin(&os, &comment);
        ogg_stream_packetin(&os, &codebooks);
        ogg_page page;
        while (ogg_stream_flush(&os, &page) != 0) ok = ok && WritePage(f, page);
    }

    const size_t chunk = 4096;
    size_t frames = s.Frames(), pos = 0;
    bool eos = false;
    while (!eos) {
        if (pos < frames) {
            size_t n = std::min(chunk, frames - pos);
            float** buffer = vorbis_analysis_buffer(&vd, int(n));
            for (int c = 0; c < s.channels; ++c)
                for (size_t i = 0; i < n; ++i) buffer[c][i] = s.samples[(pos + i) * s.channels + c];
            vorbis_analysis_wrote(&vd, int(n));
            pos += n;
        } else {
            vorbis_analysis_wrote(&vd, 0);  // end of stream
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                ogg_page page;
                while (!eos && ogg_stream_pageout(&os, &page) != 0) {
                    ok = ok && WritePage(f, page);
                    if (ogg_page_eos(&page)) eos = true;
                }
            }
        }
    }

    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    if (fclose(f) != 0) ok = false;
    if (ok) ok = std::rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok) {
        fprintf(stderr, "gen-audio: writing %s failed\n", path.c_str());
        std::remove(tmp.c_str());
    }
    return ok;
}

bool DecodeVorbis(const std::string& path, Sound& out) {
    OggVorbis_File vf;
    if (ov_fopen(path.c_str(), &vf) != 0) return false;
    vorbis_info* vi = ov_info(&vf, -1);
    if (!vi) {
        ov_clear(&vf);
        return false;
    }
    out.rate = int(vi->rate);
    out.channels = vi->channels;
    out.samples.clear();
    int section = 0;
    for (;;) {
        float** pcm = nullptr;
        long n = ov_read_float(&vf, &pcm, 4096, &section);
        if (n == 0) break;
        if (n < 0) {
            if (n == OV_HOLE) continue;
            ov_clear(&vf);
            return false;
        }
        size_t base = out.samples.size();
        out.samples.resize(base + size_t(n) * out.channels);
        for (long i = 0; i < n; ++i)
            for (int c = 0; c < out.channels; ++c) out.samples[base + size_t(i) * out.channels + c] = pcm[c][i];
    }
    ov_clear(&vf);
    return true;
}

}  // namespace genaudio
