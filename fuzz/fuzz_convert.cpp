// Arbitrary bytes through the spreadsheet, Aiken and GIFT readers (the first byte picks one, the rest is the file).
// No crash, output in proportion to the input, and whatever converts is written in both encodings (where
// Windows-1251 holds it) and read back by the game's reader with the same questions.
#include <cstdint>

#include "convert/convert.h"
#include "quiz/document.h"
#include "quiz/quiz_error.h"
#include "quiz/writer.h"

static void require(bool condition) { if (!condition) __builtin_trap(); }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    constexpr convert::Kind kKinds[] = {convert::Kind::Csv, convert::Kind::Aiken, convert::Kind::Gift};
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const convert::Converted converted = convert::convert(kKinds[data[0] % 3], bytes, "fuzz", "Заголовок");
    if (!converted.problems.empty()) return 0;
    for (const quiz::Encoding encoding : {quiz::Encoding::Utf8, quiz::Encoding::Windows1251}) {
        const quiz::Written written = quiz::writeDocument(converted.document, encoding);
        require(written.ok() || encoding == quiz::Encoding::Windows1251);
        if (!written.ok()) continue;
        require(written.bytes.size() <= 64 * size + 4096);
        try {
            const quiz::QuizDocument back = quiz::readDocument(written.bytes, "fuzz.txt");
            require(back.questions.size() == converted.document.questions.size());
        } catch (const quiz::QuizError&) {
            require(false);
        }
    }
    return 0;
}
