// Language files (base/language.h): numbered text lines. Every line of the table is filled, none holds a line
// break, and a text never grows in reading.
#include "base/language.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSetUp(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes = FuzzBytes(data, size);
    ParseLanguageText(bytes);
    std::size_t total = 0;
    for (int n = 1; n <= LanguageLineCount; ++n) {
        const std::string& line = LanguageText[static_cast<std::size_t>(n)];
        FuzzCheck(line.find('\n') == std::string::npos, "a language text holds no line break");
        total += line.size();
    }
    FuzzCheck(total <= bytes.size(), "the texts are no longer than the file");
    return 0;
}
