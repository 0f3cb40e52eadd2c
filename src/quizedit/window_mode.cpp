#include "quizedit/window_mode.h"

#include <iostream>

#include "quizedit/command_line.h"

namespace quizedit {

// The window is yet to come: until then quizedit converts only.
int openWindow(int&, char**, const std::optional<std::string>&) {
    std::cerr << "quizedit: окна редактора пока нет; файл можно преобразовать:\n"
                 "  quizedit --convert ВХОД --output ВЫХОД\nСправка: quizedit --help\n";
    return kExitBadUsage;
}

}  // namespace quizedit
