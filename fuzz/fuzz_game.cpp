// Runs the whole game over arbitrary bytes: start-up on a quiz file made of
// the input, then a script of player actions taken from the input, on the
// recording fake window. The game may only stop on failure with a message
// that names its file (the quiz at start-up, the counter afterwards), end
// normally through gameOver or quitGame, or still be running when the script
// runs out. The counter holds a valid value after every input, and it has
// stepped exactly when gameOver ran.
//
// Input layout: the first byte is N, the script is the last N bytes (all the
// rest when fewer remain), and the bytes between are the quiz file. Each
// script byte b names action (b - '0') mod 9, so the digits '0'..'8' name
// them directly: '0' Command1, '1'..'4' Option1..Option4, '5' quit with Yes,
// '6' quit with No, '7' the 50/50, '8' the hint.
#include <stdlib.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "game/game.h"
#include "game/hint.h"
#include "quiz/counter.h"
#include "quiz/encoding.h"
#include "support/fake_form.h"

namespace fs = std::filesystem;

namespace {

using testing_support::FakeForm;
using testing_support::MessageBoxCall;
using window::Buttons;
using window::Icon;
using window::Reply;

constexpr std::string_view kQuizFileName = "test1.txt";
constexpr std::string_view kCounterStart = "1\r\n";
// gameOver steps the counter from 1 round to 3.
constexpr std::string_view kCounterStepped = "3\r\n";

void require(bool condition, const char* broken) {
    if (condition) return;
    std::fprintf(stderr, "fuzz_game: %s\n", broken);
    __builtin_trap();
}

struct Action {
    window::ControlRef control;
    std::optional<Reply> reply;  // queued for the Yes/No box of Command2
};

constexpr std::array<Action, 9> kActions{{
    {window::Command1, {}},
    {window::Option1, {}},
    {window::Option2, {}},
    {window::Option3, {}},
    {window::Option4, {}},
    {window::Command2, Reply::Yes},
    {window::Command2, Reply::No},
    {window::Command3, {}},
    {window::Command4, {}},
}};

const Action& actionOf(std::uint8_t byte) {
    constexpr unsigned kZeroDigitShift = kActions.size() - '0' % kActions.size();
    return kActions[(byte + kZeroDigitShift) % kActions.size()];
}

const MessageBoxCall kQuitQuestion{"ВЫ УВЕРЕНЫ ЧТО ХОТИТЕ ВЫЙТИ ИЗ ИГРЫ", "ОЖИДАНИЕ ВАШЕГО РЕШЕНИЯ",
                                   Buttons::YesNo, Icon::None};
// The last boxes of gameOver (win, loss) and of quitGame (score 0, above 0).
const std::array<MessageBoxCall, 2> kGameOverBoxes{{
    {"П О Б Е Д А ! ! !", "ИГРА ЗАКОНЧЕНА ПОЗДРАВЛЯЮ С ПОБЕДОЙ!", Buttons::Ok, Icon::None},
    {"В ПОСЛЕДНЕМ ОТВЕТЕ ВЫ ДОПУСТИЛИ ОШИБКУ!", "Игра закончена", Buttons::Ok, Icon::Critical},
}};
const std::array<MessageBoxCall, 2> kQuitBoxes{{
    {"ВЫ ОТКАЗАЛИСЬ ОТ ИГРЫ!", "ДО НОВОЙ ВСТРЕЧИ!", Buttons::Ok, Icon::None},
    {"До новой встречи", "ВЫХОД ИЗ ИГРЫ", Buttons::Ok, Icon::None},
}};

template <std::size_t N>
bool lastBoxIsOneOf(const FakeForm& form, const std::array<MessageBoxCall, N>& boxes) {
    return !form.boxes().empty() &&
           std::find(boxes.begin(), boxes.end(), form.boxes().back()) != boxes.end();
}

bool validUtf8(const std::string& text) {
    std::string checked;
    quiz::appendUtf8Checked(text, checked);
    return checked == text;
}

// A message of a fault in `file`: "file: ..." or "file, строка N: ...".
bool names(const std::string& message, std::string_view file) {
    if (!message.starts_with(file)) return false;
    const std::string_view rest = std::string_view(message).substr(file.size());
    return rest.starts_with(": ") || rest.starts_with(", строка ");
}

// The folder of this process's games, removed at exit. It lies in memory
// where possible: every lost game syncs the counter to disk.
class Scratch {
public:
    Scratch() {
        std::error_code error;
        const fs::path base =
            fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string pattern = (base / "fuzz_game.XXXXXX").string();
        require(::mkdtemp(pattern.data()) != nullptr, "cannot create the scratch folder");
        path_ = pattern;
    }
    ~Scratch() {
        std::error_code error;
        fs::remove_all(path_, error);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    const fs::path& path() const noexcept { return path_; }

    void write(std::string_view name, std::string_view bytes) const {
        std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        require(!out.fail(), "cannot write into the scratch folder");
    }
    std::string read(std::string_view name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::size_t entries() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(path_), fs::directory_iterator()));
    }

private:
    fs::path path_;
};

const Scratch& scratch() {
    static const Scratch folder;
    return folder;
}

// A Command2 click always asks first; No changes nothing a player can see.
void quitClick(FakeForm& form, game::Game& game, Reply reply) {
    const std::size_t boxesBefore = form.boxes().size();
    const FakeForm::Snapshot before = form.snapshot();
    form.queueReply(reply);
    require(form.click(game, window::Command2), "Command2 did not take a click");
    require(form.boxes().size() > boxesBefore && form.boxes()[boxesBefore] == kQuitQuestion,
            "Command2 did not ask before quitting");
    if (reply == Reply::No) {
        require(!form.ended() && form.snapshot() == before, "No on the quit question changed the game");
    } else {
        require(form.ended(), "Yes on the quit question did not end the game");
    }
}

void play(std::string_view quizBytes, std::string_view script) {
    const Scratch& folder = scratch();
    folder.write(quiz::kCounterFileName, kCounterStart);
    folder.write(kQuizFileName, quizBytes);

    FakeForm form;
    game::Game game(form, folder.path(), std::make_unique<game::MersenneChance>(),
                    [] { return 43'210u; });
    form.start(game);
    const bool started = !form.ended();
    if (!started) {
        require(form.exitStatus() == 1, "start-up ended without a failure");
        require(names(form.failure(), kQuizFileName), "start-up failure names no quiz file");
        require(form.log().size() == 1, "a refused quiz reached the window");
    }

    for (const char byte : script) {
        if (form.ended()) break;
        const Action& action = actionOf(static_cast<std::uint8_t>(byte));
        if (action.reply) {
            quitClick(form, game, *action.reply);
        } else {
            form.click(game, action.control);
        }
        if (form.exitStatus() == 1) {
            require(names(form.failure(), quiz::kCounterFileName),
                    "a failure in play other than the counter step");
        }
    }

    bool gameOver = false;
    if (form.exitStatus() == 0) {
        require(form.failure().empty(), "a normal end with a failure message");
        gameOver = lastBoxIsOneOf(form, kGameOverBoxes);
        require(gameOver || lastBoxIsOneOf(form, kQuitBoxes),
                "the game ended other than through gameOver or quitGame");
    } else if (form.exitStatus() == 1) {
        require(!form.failure().empty(), "a stop on failure without a message");
    }
    for (const std::string& entry : form.log()) {
        require(validUtf8(entry), "the window was given text that is not UTF-8");
    }
    require(folder.read(quiz::kCounterFileName) == (gameOver ? kCounterStepped : kCounterStart),
            "the counter does not hold the value it should");
    require(folder.entries() == 2, "a file other than the counter and the quiz was left");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t scriptSize = std::min<std::size_t>(data[0], size - 1);
    const std::string_view quizBytes = bytes.substr(1, size - 1 - scriptSize);
    const std::string_view script = bytes.substr(size - scriptSize);
    try {
        play(quizBytes, script);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fuzz_game: exception escaped the window: %s\n", e.what());
        __builtin_trap();
    } catch (const window::ProgramEnd& end) {
        std::fprintf(stderr, "fuzz_game: the program ended outside the window (status %d)\n",
                     end.exitStatus);
        __builtin_trap();
    }
    return 0;
}
