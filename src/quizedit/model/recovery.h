// Recovery copies: while a quiz has unsaved changes, the editor keeps a copy
// of it in the user's own folder, so that work survives a crash or a kill
// and is offered back at the next start.
//
// Each running editor is a session with two files in the recovery folder:
// ID.lock, which it holds locked for as long as it runs, and ID.quiz, its
// latest copy. The kernel drops the lock when the process dies however it
// dies, so a copy whose lock can be taken (or that has none) was left behind.
// The folder is made private (0700) and must belong to the user; every file
// is reached through the open folder and never through a link.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "quizedit/model/opening.h"

namespace quizedit {

// ${XDG_DATA_HOME}/quizedit/recovery, or ${HOME}/.local/share/quizedit/recovery
// when XDG_DATA_HOME is unset, empty or relative; none without either.
std::optional<std::filesystem::path> recoveryFolder(const char* xdgDataHome, const char* home);

// What a copy holds.
struct Recovered {
    bool text = false;    // the text of a file being mended; else a quiz
    TextFormat format;    // a quiz's encoding and mark; how a text goes back to bytes
    std::string path;     // the file it belongs to; empty for a new quiz
    std::string content;  // a quiz written in UTF-8, or the text
    bool operator==(const Recovered&) const = default;
};

// A copy as the bytes of its file, and back (none for bytes that are no copy).
std::string recoveryBytes(const Recovered& copy);
std::optional<Recovered> parseRecovery(std::string_view bytes);

// A copy of the quiz `document`, which belongs to the file `path`; and the
// quiz back from it (none when it does not read).
Recovered recoveryOf(const quiz::QuizDocument& document, const std::string& path);
std::optional<quiz::QuizDocument> recoveredQuiz(const Recovered& copy);

class RecoverySession {
public:
    // Makes the folder (private) when it is missing and starts a session in
    // it; or says why not, in Russian.
    static std::variant<std::unique_ptr<RecoverySession>, std::string> start(
        const std::filesystem::path& folder);
    // A clean end: the session's copy and lock go.
    ~RecoverySession();
    RecoverySession(const RecoverySession&) = delete;
    RecoverySession& operator=(const RecoverySession&) = delete;

    // Replaces the session's copy, whole or not at all; the reason when not.
    std::string write(const Recovered& copy);
    // Removes the session's copy (the quiz was saved or closed).
    void discard();

    // A copy that an editor left behind.
    struct Orphan {
        std::string id;
        Recovered copy;
    };
    // The copies left behind by editors that are no longer running, oldest
    // first. Each stays claimed by this session (no other editor offers it)
    // until forget() or the end of the session.
    std::vector<Orphan> orphans();
    // Removes an orphan's copy and lock: offered, and taken back or refused.
    void forget(const std::string& id);

    const std::string& id() const { return id_; }

private:
    RecoverySession(int folder, std::string id, int lock);
    int folder_;
    std::string id_;
    int lock_;
    std::vector<std::pair<std::string, int>> claimed_;  // orphans' locks held
};

}  // namespace quizedit
