// Little-endian binary reading and writing shared by every file format of the game. A reader never reads past
// its data: a short read sets `ok` to false and yields zeros, and a length is checked against what is left
// before anything is allocated for it.
#pragma once

#include <cstdint>
#include <string>

struct ByteReader {
    const std::string* data = nullptr;
    size_t pos = 0;
    bool ok = true;             // false once any read ran past the end (or a length was out of range)
};

ByteReader MakeReader(const std::string& bytes);
size_t BytesLeft(const ByteReader& r);
std::int32_t ReadI32(ByteReader& r);
std::int16_t ReadI16(ByteReader& r);
std::uint8_t ReadU8(ByteReader& r);
float ReadF32(ByteReader& r);
double ReadF64(ByteReader& r);
// A signed 32-bit byte count followed by the bytes. A negative count or one longer than what is left fails.
std::string ReadString(ByteReader& r);
std::string ReadBytes(ByteReader& r, size_t count);

void PutI32(std::string& out, std::int32_t v);
void PutI16(std::string& out, std::int16_t v);
void PutU8(std::string& out, std::uint8_t v);
void PutF32(std::string& out, float v);
void PutF64(std::string& out, double v);
void PutString(std::string& out, const std::string& s);
