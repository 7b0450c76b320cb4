#include "base/binio.h"

#include <cstring>

ByteReader MakeReader(const std::string& bytes) {
    ByteReader r;
    r.data = &bytes;
    return r;
}

size_t BytesLeft(const ByteReader& r) {
    if (!r.data || r.pos >= r.data->size()) return 0;
    return r.data->size() - r.pos;
}

namespace {
// Copies `count` bytes into `out`, or fills it with zeros and marks the reader failed when they are not there.
void Take(ByteReader& r, void* out, size_t count) {
    if (!r.ok || BytesLeft(r) < count) {
        r.ok = false;
        std::memset(out, 0, count);
        return;
    }
    std::memcpy(out, r.data->data() + r.pos, count);
    r.pos += count;
}

template <class T>
T TakeLittleEndian(ByteReader& r) {
    unsigned char bytes[sizeof(T)];
    Take(r, bytes, sizeof bytes);
    std::uint64_t v = 0;
    for (size_t i = 0; i < sizeof(T); i++) v |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    T out;
    if constexpr (sizeof(T) == 1) { auto b = static_cast<std::uint8_t>(v); std::memcpy(&out, &b, 1); }
    else if constexpr (sizeof(T) == 2) { auto b = static_cast<std::uint16_t>(v); std::memcpy(&out, &b, 2); }
    else if constexpr (sizeof(T) == 4) { auto b = static_cast<std::uint32_t>(v); std::memcpy(&out, &b, 4); }
    else std::memcpy(&out, &v, 8);
    return out;
}

template <class T>
void PutLittleEndian(std::string& out, T value) {
    std::uint64_t v = 0;
    std::memcpy(&v, &value, sizeof(T));
    for (size_t i = 0; i < sizeof(T); i++) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
}  // namespace

std::int32_t ReadI32(ByteReader& r) { return TakeLittleEndian<std::int32_t>(r); }
std::int16_t ReadI16(ByteReader& r) { return TakeLittleEndian<std::int16_t>(r); }
std::uint8_t ReadU8(ByteReader& r) { return TakeLittleEndian<std::uint8_t>(r); }
float ReadF32(ByteReader& r) { return TakeLittleEndian<float>(r); }
double ReadF64(ByteReader& r) { return TakeLittleEndian<double>(r); }

std::string ReadBytes(ByteReader& r, size_t count) {
    if (!r.ok || BytesLeft(r) < count) {
        r.ok = false;
        return std::string();
    }
    std::string s = r.data->substr(r.pos, count);
    r.pos += count;
    return s;
}

std::string ReadString(ByteReader& r) {
    std::int32_t length = ReadI32(r);
    if (!r.ok || length < 0) {
        r.ok = false;
        return std::string();
    }
    return ReadBytes(r, static_cast<size_t>(length));
}

void PutI32(std::string& out, std::int32_t v) { PutLittleEndian(out, v); }
void PutI16(std::string& out, std::int16_t v) { PutLittleEndian(out, v); }
void PutU8(std::string& out, std::uint8_t v) { out += static_cast<char>(v); }
void PutF32(std::string& out, float v) { PutLittleEndian(out, v); }
void PutF64(std::string& out, double v) { PutLittleEndian(out, v); }
void PutString(std::string& out, const std::string& s) {
    PutI32(out, static_cast<std::int32_t>(s.size()));
    out += s;
}
