#pragma once
// Zone files: one binary component-stream record per room ("TPF0", class name, empty component
// name, the published properties that differ from their defaults, two list terminators), records
// back to back with no header or trailer. The reader takes the bytes as hostile: every length is
// checked against what is left, and a record it cannot make sense of ends the file with an error
// while the rooms before it are kept.

#include "files/FileSaver.h"
#include "map/MudRoom.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace profile {
struct WorldProfile;
}

namespace storage {

// ---- Colours --------------------------------------------------------------------------------

// The name a colour is written under ("clRed"), or empty when it has none and is written as a
// number.
std::string_view ColorName(map::Color color);
// The colour a name stands for, comparing names without regard to case.
std::optional<map::Color> ColorFromName(std::string_view name);

// ---- Writing --------------------------------------------------------------------------------

// Appends the record of one room.
void AppendRoomRecord(std::string& out, const map::TMudRoom2& room);
// The bytes of a zone file holding these rooms in this order; no rooms give an empty file.
std::string WriteZone(std::span<const map::TMudRoom2* const> rooms);

enum class ZoneSaveStatus {
    Saved,
    CantOverwriteFile, // the file could not be replaced; it is left as it was
    CantWriteWorld,    // the world's directory takes no new file (read-only, no permission,
                       // full); the file is left as it was
};

struct ZoneSaveResult {
    ZoneSaveStatus status = ZoneSaveStatus::Saved;
    std::string error; // what went wrong, naming the file (for the debug log)
    bool ok() const { return status == ZoneSaveStatus::Saved; }
};

// Replaces the zone file with these bytes through a temporary file, synced to the disk before
// the rename, so that the old content stays whole until the new one is complete.
ZoneSaveResult SaveZoneFile(const std::filesystem::path& path, std::string_view bytes);

// ---- Reading --------------------------------------------------------------------------------

// Which corrections a room gets after it is read. Loading a world gets them all; undo only the
// colour, the corridor name and the trailing line breaks of the description.
enum class ZoneFixups { Load, Undo };

struct ZoneReadResult {
    std::vector<map::TMudRoom2> rooms; // the rooms read before any failure, in file order
    std::string error;                 // empty when the whole file was read
    std::string fileName;              // Windows-1251, without the directory (set by ReadZoneFile)

    bool ok() const { return error.empty(); }
    // The debug-log line for a failure: File: "name.tk2" what went wrong
    std::string LogLine() const;
};

// Reads room records while more than 10 bytes remain; up to 10 trailing bytes are ignored.
// Exit states are computed with the profile's exit words as each room's Exits is read.
ZoneReadResult ReadZone(std::string_view bytes, const profile::WorldProfile& profile,
                        ZoneFixups fixups = ZoneFixups::Load);
// The same from a file; a file that cannot be read is a failure with no rooms.
ZoneReadResult ReadZoneFile(const std::filesystem::path& path, const profile::WorldProfile& profile,
                            ZoneFixups fixups = ZoneFixups::Load);

// The corrections a room gets after reading (applied by ReadZone; exposed for undo and tests).
void ApplyFixups(map::TMudRoom2& room, ZoneFixups fixups);
// Completes a cross-zone link line that lacks its fifth field ("-1" or "0"); others unchanged.
std::string CompleteLinkLine(std::string_view line);

} // namespace storage
