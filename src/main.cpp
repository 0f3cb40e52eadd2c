// The game's entry point: the window Form1 and the game that drives it, in the
// current folder, where the counter and the quiz files are.
#include <QApplication>

#include <filesystem>
#include <system_error>

#include "game/game.h"
#include "window/form1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);

    std::error_code error;
    std::filesystem::path folder = std::filesystem::current_path(error);
    if (error) folder = ".";

    window::Form1 form;
    game::Game game(form, folder);
    form.setEvents(&game);
    return form.run();
}
