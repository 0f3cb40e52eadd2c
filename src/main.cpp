// The game's entry point: reads the command line, then plays one game in the
// window Form1.
#include <QApplication>

#include "app/app.h"
#include "app/font_config.h"
#include "window/form1.h"

int main(int argc, char* argv[]) {
    // The fonts' configuration loads while the command line is read and the
    // toolkit starts; the window measures its first text once it is loaded.
    app::FontConfigLoad fonts;
    const std::vector<std::string> arguments(argv, argv + argc);
    // The help, the version and usage mistakes are answered before the
    // toolkit starts, so they need no display.
    const app::Launch launch = app::parseCommandLine(arguments);
    if (launch.action == app::Launch::Action::Print) return app::print(launch);

    QApplication application(argc, argv);
    window::Form1 form;
    fonts.wait();
    return app::runGame(form, launch);
}
