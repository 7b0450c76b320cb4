// What the harnesses share: the headless back end, a scratch program folder, the game's tile catalogue, and a
// check that stops the run when a property of a reader does not hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Once per process, from LLVMFuzzerInitialize: the headless back end is chosen and a temporary program folder
// (removed again at exit) is made the program and data folder. With `catalogue`, the folder also gets empty frame
// files named as the game's texture packs name them, and the game's own scan turns them into the tile catalogue,
// so that level readers find the textures that shipped levels name.
void FuzzSetUp(bool catalogue);

// The scratch folder, ending in "/".
const std::string& FuzzFolder();

// Writes `bytes` to the file `name` of the scratch folder, for readers that take a path.
void FuzzWriteFile(const std::string& name, const std::string& bytes);

inline std::string FuzzBytes(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// A property a reader must keep: when it does not hold, the message goes to standard error and the run aborts,
// which libFuzzer reports as a crash and saves the input.
// `detail`, when given, is printed below the message.
void FuzzCheck(bool condition, const char* what, const std::string& detail = "");
