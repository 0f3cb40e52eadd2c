// quizedit's window: `quizedit [FILE]`.
#pragma once

#include <optional>
#include <string>

namespace quizedit {

// Opens the editor's window on `file` (a new quiz when none) and runs it to
// its end; `argc` and `argv` go to the toolkit. Gives the exit status.
int openWindow(int& argc, char** argv, const std::optional<std::string>& file);

}  // namespace quizedit
