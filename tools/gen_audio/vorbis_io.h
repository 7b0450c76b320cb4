// Ogg Vorbis files: encoding over libvorbisenc and decoding over libvorbisfile (to check what was written).
#pragma once

#include <string>

#include "synth.h"

namespace genaudio {

// Writes `s` as Ogg Vorbis at VBR `quality` (-0.1 .. 1.0). The stream serial number comes from the file name,
// so the same input always gives the same bytes. Returns false and prints why on failure.
bool EncodeVorbis(const Sound& s, const std::string& path, double quality, const std::string& title);

// Reads an Ogg Vorbis file completely. Returns false when it cannot be opened or decoded.
bool DecodeVorbis(const std::string& path, Sound& out);

}  // namespace genaudio
