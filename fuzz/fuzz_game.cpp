// The whole game over arbitrary bytes on the recording fake window. Input: the first byte is N, the last N
// bytes are the player's script, the bytes between are the quiz file. Script byte b is action (b - '0') mod 9:
// '0' Command1, '1'..'4' Option1..4, '5' quit with Yes, '6' quit with No, '7' the 50/50, '8' the hint.
// The game may only stop on failure naming its file (the quiz at start-up, before the window changes; the
// counter later), end through gameOver or quitGame with their boxes, or still run when the script ends. Every
// text shown is UTF-8; the counter has stepped exactly when gameOver ran; "No" to quitting changes nothing;
// no other file is left.
#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "game/game.h"
#include "quiz/encoding.h"
#include "support/fake_form.h"
#include "support/support.h"

namespace {

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
    const bool refused = form.ended();
    require(!refused || (names(form.failure(), "test1.txt") && form.log().size() == 1), "a refused quiz shown");
    static const window::ControlRef controls[] = {window::Command1, window::Option1,  window::Option2,
                                                  window::Option3,  window::Option4,  window::Command2,
                                                  window::Command2, window::Command3, window::Command4};
    for (std::size_t i = 0; i < script.size() && !form.ended(); ++i) {
        const int action = (static_cast<std::uint8_t>(script[i]) + 9 - '0' % 9) % 9;
        const std::size_t logged = form.log().size();
        if (action == 5 || action == 6) form.queueReply(action == 5 ? window::Reply::Yes : window::Reply::No);
        if (form.click(game, controls[action]) && (action == 5 || action == 6)) {
            require(form.log().at(logged + 1).starts_with("box ОЖИДАНИЕ ВАШЕГО РЕШЕНИЯ |"), "quitting without asking");
            require(action == 5 ? form.ended() : form.log().size() == logged + 2, "the reply was not kept");
        }
    }
    require(refused || form.exitStatus() != 1 || names(form.failure(), "tet0.txt"), "a failure in play");
    const std::string last = form.exitStatus() == 0 && !form.boxes().empty() ? form.boxes().back().title : "";
    const bool gameOver = last == "Игра закончена" || last == "ИГРА ЗАКОНЧЕНА ПОЗДРАВЛЯЮ С ПОБЕДОЙ!";
    require(form.exitStatus() != 0 || gameOver || last == "ДО НОВОЙ ВСТРЕЧИ!" || last == "ВЫХОД ИЗ ИГРЫ",
            "an end other than gameOver or quitGame");
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
    play(bytes.substr(1, size - 1 - scriptSize), bytes.substr(size - scriptSize));  // nothing may escape the window
    return 0;
}
