#pragma once
// The loaded world as the map operations see it: the rooms and their two lists, the state the
// operations share (the player's room, the context room, the return room, the view level, the
// saved flag, the highest room number, the map extents), and the room lookups.
//
// Rooms belong to the world from AddRoom (or creation) until DestroyRoom; a destroyed room is
// out of both lists and is no longer CurrentRoom, ContextRoom or ReturnRoom.

#include "map/ChangingLines.h"
#include "map/MapUi.h"
#include "map/MudRoom.h"
#include "map/RoomLists.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace profile {
struct WorldProfile;
}

namespace map {

class MapWorld {
public:
    MapWorld(const profile::WorldProfile& profile, MapUi& ui) : profile_(profile), ui_(ui) {
        lists_.SetChangingLines(&changing_);
    }
    MapWorld(const MapWorld&) = delete;
    MapWorld& operator=(const MapWorld&) = delete;

    const profile::WorldProfile& Profile() const { return profile_; }
    MapUi& Ui() { return ui_; }
    RoomLists& Lists() { return lists_; }
    const RoomLists& Lists() const { return lists_; }

    // ---- State shared by the map operations ----
    TMudRoom2* CurrentRoom = nullptr; // the room where the player stands
    TMudRoom2* ContextRoom = nullptr; // the room the context menus act on
    TMudRoom2* ReturnRoom = nullptr;  // where the last speedwalk started
    int ViewLevel = 0;
    std::string CurrentZone; // name of the current zone
    bool ZoneLocked = false;
    bool Saved = true;
    int HighestRoomNumber = 0; // largest Tag of the current zone
    MapExtents Extents;
    Color LastColor = kSilver; // the colour last chosen in the colour dialog
    // Told before a room is destroyed (nullptr: every room), for those who hold on to rooms.
    std::function<void(const TMudRoom2*)> BeforeDestroy;

    // ---- Filling, switching zones, destroying ----
    // Adds a room read from a zone file to the world list under its zone.
    TMudRoom2* AddRoom(std::unique_ptr<TMudRoom2> room, std::string_view zone);
    // Rebuilds the current-zone list for CurrentZone from the world list (list order, then one
    // sort), recomputes the highest room number and, for a zone with rooms, the extents.
    void LoadZoneRooms();
    // Unselects and unchecks the current zone's rooms, empties the current-zone list, repaints.
    void ClearZone();
    // Takes the room out of both lists and deletes it. The player's room switches tracing off;
    // the context and return rooms are forgotten; quick-list nodes of the room are removed.
    void DestroyRoom(TMudRoom2* room);
    // Deletes every room of the world (loading another world).
    void DestroyAllRooms();
    // Refiles a room whose position, Tag, Hint, Description or Exits were changed by hand.
    void RoomChanged(TMudRoom2* room) { lists_.Reindex(room); }
    // The zone the room is filed under in the world list.
    const std::string& ZoneOf(const TMudRoom2* room) const { return lists_.ZoneOf(room); }
    // Widens the extents by a position.
    void WidenExtents(int x, int y, int l);
    // Recomputes the extents from the current zone's rooms; an empty zone leaves them as they
    // are. Returns false for an empty zone.
    bool RecomputeExtents();

    // ---- Lookups: the first match in list order, nullptr when none ----
    TMudRoom2* FindRoom(int x, int y, int l) const { return lists_.FindInZone(x, y, l); }
    TMudRoom2* GlobalFindRoom(int x, int y, int l, std::string_view zone) const {
        return lists_.FindInWorld(x, y, l, zone);
    }
    TMudRoom2* FindRoomByTag(int tag) const { return lists_.FindInZoneByTag(tag); }
    TMudRoom2* GlobalFindRoomByTag(int tag, std::string_view zone) const {
        return lists_.FindInWorldByTag(tag, zone);
    }
    // The room the game calls `id` (its MSDP VNUM or GMCP num), anywhere in the world.
    TMudRoom2* FindRoomById(std::string_view id) const { return lists_.FindInWorldById(id); }
    void SetGameId(TMudRoom2* room, std::string id) { lists_.SetGameId(room, std::move(id)); }

    // ---- The game's areas and the zones made for them ----
    // The zone bound to an area (empty: none), and the area of a zone (empty: none).
    const std::string& ZoneOfArea(std::string_view area) const;
    const std::string& AreaOfZone(std::string_view zone) const;
    // Binds the zone to the area (one zone per area, one area per zone: older bindings of
    // either go); an empty area unbinds the zone.
    void BindZone(const std::string& zone, const std::string& area);
    // A zone was renamed or deleted: its binding follows it or goes.
    void RenameZoneBinding(const std::string& from, const std::string& to);
    void ForgetZoneBinding(const std::string& zone) { BindZone(zone, std::string()); }
    // Every binding, zone -> area.
    const std::map<std::string, std::string>& ZoneAreas() const { return zoneAreas_; }
    void ClearZoneAreas() { zoneAreas_.clear(); }

    // World list; rooms with an empty QuickList never match; Cyrillic letters fold too.
    TMudRoom2* FindRoomByAlias(std::string_view alias) const;
    // Current zone / whole world: Hint equal, description keys equal unless the profile's
    // NoDescription is on, exit keys equal.
    TMudRoom2* FindRoomByName(std::string_view name, std::string_view description,
                              std::string_view exits) const;
    TMudRoom2* GlobalFindRoomByName(std::string_view name, std::string_view description,
                                    std::string_view exits) const;

    // Whether the room the game showed (name, description, exits) is the map room.
    bool SameRoom(const TMudRoom2* room, std::string_view name, std::string_view description,
                  std::string_view exits) const;
    // The description lines the game changes by itself (the time of day), which lookups and
    // comparisons of descriptions leave out.
    const ChangingLines& Changing() const { return changing_; }
    // Whether the game may have printed the room with `description` by changing a line or two
    // by itself (as ChangingLines tells), where the lines both keep still single the room out
    // among the rooms of its name and exits. A road of rooms that share a line and differ in
    // one more reads alike to ChangingLines; there the differing line tells them apart.
    // `besides`: a room left out of those namesakes (the one printed so, where it is mapped).
    bool MayDifferByItself(const TMudRoom2* room, std::string_view description,
                           const TMudRoom2* besides = nullptr) const;
    // Tracking is sure the player stands in `room`, which the game printed with `description`:
    // the lines that differ from the stored one are noted, and the lookups follow when a line
    // became changing by it. Returns true then.
    bool LearnChangingLines(const TMudRoom2* room, std::string_view description);
    // Lines known from before (a saved world).
    void AddChangingLine(std::string line);
    void ClearChangingLines();

    // Updates the map room from what the game showed after the player was found in it.
    void RefreshProp(TMudRoom2* room, std::string_view name, std::string_view description,
                     std::string_view exits);

private:
    const profile::WorldProfile& profile_;
    MapUi& ui_;
    RoomLists lists_;
    std::map<std::string, std::string> zoneAreas_; // zone -> area
    ChangingLines changing_;
};

} // namespace map
