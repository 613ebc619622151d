#pragma once
// What the player types reaches the program first: each block from the client is forwarded to
// the game (rewritten when the player's room has a cross-zone link in that direction), queued
// for tracking, or taken as one of the program's own commands.

#include <deque>
#include <string>

namespace map {
class MapModel;
class TMudRoom2;
} // namespace map
namespace storage {
struct AppSettings;
}
namespace profile {
struct WorldProfile;
}
namespace tracking {
struct TrackingState;
}

namespace relay {

class IntakeHost {
public:
    virtual ~IntakeHost() = default;
    virtual void SendToServer(const std::string& bytes) = 0;
    virtual void SendToClient(const std::string& bytes) = 0;
    virtual void ModeClick(bool on) = 0;
    // The speedwalk from the player's room to the context room.
    virtual void StartSpeedwalk() = 0;
    // Item search in the object base; the answer goes to the client.
    virtual void SearchObjects(const std::string& query) = 0;
    // Shows the zone tree, then starts a new zone, named when a name is given.
    virtual void NewZone(const std::string& name, bool named) = 0;
    // A room got an alias: its quick-list entry in the zone tree.
    virtual void AliasAdded(map::TMudRoom2* room) = 0;
};

class ClientIntake {
public:
    ClientIntake(map::MapModel& map, const profile::WorldProfile& profile,
                 const storage::AppSettings& settings, tracking::TrackingState& tracking,
                 IntakeHost& host)
        : map_(map), profile_(profile), settings_(settings), tracking_(tracking), host_(host) {}

    // SSClientRead for one block as the socket delivered it.
    void SSClientRead(const std::string& raw);

    // The block with the commands of the player's cross-zone link in its direction.
    std::string RewriteForLinks(const std::string& block) const;

private:
    std::string Collapse(const std::string& s) const;
    void Track(const std::string& block);
    void SetAlias(const std::string& block);
    void NewZone(const std::string& block);
    void Speedwalk(const std::string& block);
    void ListAliases();

    map::MapModel& map_;
    const profile::WorldProfile& profile_;
    const storage::AppSettings& settings_;
    tracking::TrackingState& tracking_;
    IntakeHost& host_;
};

} // namespace relay
