// The whole game over arbitrary bytes on the recording fake window. Input: the first byte is N, the last N bytes
// are the player's script, the bytes between are the quiz file. Script byte b is action (b - '0') mod 9: '0'
// Command1, '1'..'4' Option1..4, '5' quit with Yes, '6' quit with No, '7' the 50/50, '8' the hint. The game may
// only stop on failure naming its file (the quiz at start-up, before the window changes; the counter later), end
// through gameOver or quitGame with their boxes, or still run when the script ends. Every text shown is UTF-8;
// the counter has stepped exactly when gameOver ran; "No" to quitting changes nothing; no other file is left.
#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "game/game.h"
#include "quiz/encoding.h"
#include "support/fake_form.h"
#include "support/support.h"

static void require(bool condition, const char* broken) {
    if (!condition) std::fprintf(stderr, "fuzz_game: %s\n", broken), __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t scriptSize = std::min<std::size_t>(data[0], size - 1);
    const std::string_view script = bytes.substr(size - scriptSize);
    static const testing_support::TempFolder folder(true);
    folder.write("tet0.txt", "1\r\n");
    folder.write("test1.txt", bytes.substr(1, size - 1 - scriptSize));
    testing_support::FakeForm form;
    std::vector<std::string> done;  // the operations since start-up or the last click, which begins them
    form.onOperation = [&](const std::string& op) {  // every text shown must be UTF-8
        std::string checked;
        quiz::appendUtf8Checked(op, checked);
        require(checked == op, "text that is not UTF-8"), done.push_back(op);
    };
    game::Game game(form, folder.path(), std::make_unique<game::MersenneChance>(), [] { return 43'210u; });
    form.start(game);
    const bool refused = form.ended();
    const auto names = [&](const std::string& file) {  // "file: ..." or "file, строка N: ..."
        return form.failure().starts_with(file + ": ") || form.failure().starts_with(file + ", строка ");
    };
    require(!refused || (names("test1.txt") && done.size() == 1), "a refused quiz shown");
    for (std::size_t i = 0; i < script.size() && !form.ended(); ++i) {
        const int action = (static_cast<std::uint8_t>(script[i]) + 9 - '0' % 9) % 9;
        const bool quit = action == 5 || action == 6;
        done.clear();
        if (quit) form.queueReply(action == 5 ? window::Reply::Yes : window::Reply::No);
        const window::ControlRef control = action == 0 ? window::Command1 : action <= 4 ? window::option(action)
                                           : window::command(std::max(2, action - 4));  // 5 and 6: Command2
        if (form.click(game, control) && quit) {
            require(done.at(1).starts_with("box ОЖИДАНИЕ ВАШЕГО РЕШЕНИЯ |"), "quitting without asking");
            require(action == 5 ? form.ended() : done.size() == 2, "the reply was not kept");
        }
    }
    require(refused || form.exitStatus() != 1 || names("tet0.txt"), "a failure in play");
    const std::string last = form.exitStatus() == 0 && !form.boxes().empty() ? form.boxes().back().title : "";
    const bool gameOver = last == "Игра закончена" || last == "ИГРА ЗАКОНЧЕНА ПОЗДРАВЛЯЮ С ПОБЕДОЙ!";
    require(form.exitStatus() != 0 || gameOver || last == "ДО НОВОЙ ВСТРЕЧИ!" || last == "ВЫХОД ИЗ ИГРЫ",
            "an end other than gameOver or quitGame");
    require(folder.read("tet0.txt") == (gameOver ? "3\r\n" : "1\r\n"), "the counter");
    require(folder.files().size() == 2, "a file left over");
    return 0;  // nothing may escape the window
}
