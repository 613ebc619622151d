#pragma once
// What the world's "game-ids.txt" holds, kept in step with the zone files: for each zone the
// identity lines of its rooms as they were when its zone file was last read or written, so that
// the file never tells of rooms the zone files do not hold, and undo (which reads the zone
// files again) gets back exactly the numbers those files' rooms had. Lines of zones that have
// no zone file in the world (one that would not load, one moved aside as damaged) are kept.
// The bindings of zones to areas live in the map's world and are written with the lines.

#include "files/RoomIdentityFile.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace storage {

class RoomIdentityStore {
public:
    // Another world: nothing known, the file on disk unknown too.
    void Clear();
    // The rooms' lines read from the world's file, and the bytes the file holds (its bindings
    // go to the map's world).
    void Loaded(std::map<std::string, std::vector<RoomIdentityLine>> zones, std::string bytes);

    // Gives rooms just read from the zone's file their numbers and areas.
    void Apply(const std::string& zone, std::span<map::TMudRoom2> rooms) const;
    // The zone's file now holds these rooms.
    void ZoneWritten(const std::string& zone, std::span<const map::TMudRoom2* const> rooms);
    // The zone's file was renamed, deleted, or moved aside under another name.
    void ZoneRenamed(const std::string& from, const std::string& to);
    void ZoneDeleted(const std::string& zone) { zones_.erase(zone); }

    // The file's bytes with these bindings; whether there is anything to write at all.
    std::string Bytes(const std::map<std::string, std::string>& bindings) const;
    bool NothingToWrite(const std::map<std::string, std::string>& bindings) const;
    // The bytes the file is known to hold (nullopt: unknown or no file).
    const std::optional<std::string>& OnDisk() const { return onDisk_; }
    void Written(std::string bytes) { onDisk_ = std::move(bytes); }
    // The file on disk is of another world now (Save as): nothing known of it.
    void ForgetDisk() { onDisk_.reset(); }

    // The world's file did not make sense when read: it is moved aside before it is written.
    bool damaged = false;

private:
    std::map<std::string, std::vector<RoomIdentityLine>> zones_;
    std::optional<std::string> onDisk_;
};

} // namespace storage
