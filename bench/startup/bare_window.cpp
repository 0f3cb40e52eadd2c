// The floor for the game's start-up: an empty window of the game window's
// client size, fixed and centred on its screen as the game's is, shown with
// nothing in it. Built like the game, so the two differ only in what the game
// does beyond showing a window.
#include <QApplication>
#include <QScreen>
#include <QWidget>

#include "window/controls.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);

    QWidget window;
    window.setFixedSize(window::twipsToPixels(window::kClientWidthTwips),
                        window::twipsToPixels(window::kClientHeightTwips));
    if (const QScreen* screen = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    window.show();
    window.activateWindow();
    return QApplication::exec();
}
