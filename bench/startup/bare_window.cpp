// The floor for the game's start-up: an empty window of the game window's
// client size, fixed and centred on its screen as the game's is, shown with
// nothing in it. Built like the game, so the two differ only in what the game
// does beyond showing a window.
//
// With the argument --text the window shows one line of Cyrillic text in the
// game's font: the floor of any window with text, which has the toolkit find,
// load and shape a font first.
#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QWidget>
#include <cstring>

#include "window/controls.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);

    QWidget window;
    window.setFixedSize(window::twipsToPixels(window::kClientWidthTwips),
                        window::twipsToPixels(window::kClientHeightTwips));
    if (argc > 1 && std::strcmp(argv[1], "--text") == 0) {
        auto* label = new QLabel(QStringLiteral("Какая река самая длинная в Европе?"), &window);
        QFont font;
        font.setFamilies({QStringLiteral("Liberation Sans")});
        font.setPixelSize(24);
        font.setBold(true);
        label->setFont(font);
        label->move(200, 80);
    }
    if (const QScreen* screen = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    window.show();
    window.activateWindow();
    return QApplication::exec();
}
