// Writing a file whole or not at all.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quiz {

// Writes `bytes` as the file `path`: into a new temporary file in the same
// folder, flushed to disk, then renamed over `path`, so that `path` holds its
// old content or the new, never a part. Everything after opening the folder
// works on that open folder, never on names looked up again. A file that was
// there keeps its permissions when it belongs to this user; otherwise the file
// gets the user's default ones. A symbolic link at `path` is replaced by the
// file, never written through. Returns the empty text on success, else why not
// in Russian (and nothing was changed).
std::string writeFileWhole(const std::filesystem::path& path, std::string_view bytes);

// The same for the file `name` in the open folder `folder` (a descriptor).
std::string writeFileWholeAt(int folder, const std::string& name, std::string_view bytes);

}  // namespace quiz
