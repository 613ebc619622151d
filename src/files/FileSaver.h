#pragma once
// The one way the program writes a file: the new content goes to a temporary file beside the
// target, is flushed, and only then replaces the target by a rename. A crash, a full disk or a
// write error leaves the old file as it was.

#include <filesystem>
#include <string>
#include <string_view>

namespace storage {

struct SaveResult {
    bool ok = true;
    std::string error; // what went wrong, naming the file
    // The directory took no new file: no permission, a read-only or a full file system. The
    // same save can work later, once the directory is writable again.
    bool directoryRefused = false;
};

// `durable` also syncs the data to the disk before the rename (zone files, object base).
SaveResult SaveFile(const std::filesystem::path& target, std::string_view bytes,
                    bool durable = false);

// Removes what saves cut short by a crash left in `dir`: the temporary files SaveFile names
// "." + target + ".tmp" + digits. Returns how many were removed.
int RemoveLeftoverTemporaries(const std::filesystem::path& dir);

// Reads a whole file; false when it cannot be opened or read.
bool ReadFile(const std::filesystem::path& path, std::string& out);

} // namespace storage
