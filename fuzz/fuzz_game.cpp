// The whole game over arbitrary bytes on the recording fake window. Input: the
// first byte is N, the last N bytes are the player's script, the bytes between
// are the quiz file. Script byte b is action (b - '0') mod 9: '0' Command1,
// '1'..'4' Option1..4, '5' quit with Yes, '6' quit with No, '7' the 50/50,
// '8' the hint.
//
// The game may only stop on failure naming its file (the quiz at start-up,
// before the window changes; the counter later), end through gameOver or
// quitGame with their boxes, or still run when the script ends. Every text
// shown is UTF-8; the counter has stepped exactly when gameOver ran; no other
// file is left.
#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "game/game.h"
#include "quiz/encoding.h"
#include "support/fake_form.h"
#include "support/support.h"

namespace {

using window::Reply;

void require(bool condition, const char* broken) {
    if (condition) return;
    std::fprintf(stderr, "fuzz_game: %s\n", broken);
    __builtin_trap();
}

// "file: ..." or "file, строка N: ...".
bool names(const std::string& message, const std::string& file) {
    return message.starts_with(file + ": ") || message.starts_with(file + ", строка ");
}

void play(std::string_view quizBytes, std::string_view script) {
    static const testing_support::TempFolder folder(true);
    folder.write("tet0.txt", "1\r\n");
    folder.write("test1.txt", quizBytes);
    testing_support::FakeForm form;
    game::Game game(form, folder.path(), std::make_unique<game::MersenneChance>(), [] { return 43'210u; });
    form.start(game);
    if (form.ended()) {
        require(form.exitStatus() == 1 && names(form.failure(), "test1.txt"), "start-up failure names no quiz");
        require(form.log().size() == 1, "a refused quiz reached the window");
    }
    for (const char byte : script) {
        if (form.ended()) break;
        const int action = (static_cast<std::uint8_t>(byte) + 9 - '0' % 9) % 9;
        if (action == 5 || action == 6) {
            const std::size_t boxes = form.boxes().size();
            const auto before = form.snapshot();
            form.queueReply(action == 5 ? Reply::Yes : Reply::No);
            if (!form.click(game, window::Command2)) continue;
            require(form.boxes().at(boxes).title == "ОЖИДАНИЕ ВАШЕГО РЕШЕНИЯ", "quitting without asking");
            require(action == 5 ? form.ended() : form.snapshot() == before && !form.ended(), "the reply was not kept");
        } else {
            form.click(game, action == 0 ? window::Command1 : action <= 4 ? window::option(action)
                                                            : window::command(action - 4));
        }
        if (form.exitStatus() == 1) require(names(form.failure(), "tet0.txt"), "a failure in play");
    }
    const std::string lastTitle = form.boxes().empty() ? "" : form.boxes().back().title;
    const bool gameOver = form.exitStatus() == 0 &&
                          (lastTitle == "Игра закончена" || lastTitle == "ИГРА ЗАКОНЧЕНА ПОЗДРАВЛЯЮ С ПОБЕДОЙ!");
    if (form.exitStatus() == 0) {
        require(gameOver || lastTitle == "ДО НОВОЙ ВСТРЕЧИ!" || lastTitle == "ВЫХОД ИЗ ИГРЫ",
                "an end other than gameOver or quitGame");
    }
    for (const std::string& entry : form.log()) {
        std::string checked;
        quiz::appendUtf8Checked(entry, checked);
        require(checked == entry, "text that is not UTF-8");
    }
    require(folder.read("tet0.txt") == (gameOver ? "3\r\n" : "1\r\n"), "the counter");
    require(folder.files().size() == 2, "a file left over");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t scriptSize = std::min<std::size_t>(data[0], size - 1);
    try {
        play(bytes.substr(1, size - 1 - scriptSize), bytes.substr(size - scriptSize));
    } catch (...) {
        require(false, "an exception escaped the window");
    }
    return 0;
}
