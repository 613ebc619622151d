// What the player's client sends: blocks of commands, the program's own commands (speedwalk,
// return, new zone, alias, stop tracing, object search), doubled 0xFF, and moves rewritten by the
// cross-zone link lines of the player's room.
//
// Input: a flag byte (1 collapse doubled 0xFF, 2 double it in object texts, 4 the player stands
// in a room, 8 a context room is chosen), the link lines of the player's room (one piece, lines
// split at LF), the alias of another room, then one piece per block the client sends.
//
// Properties: every queued command is one trimmed line; a block that is not one of the
// program's own commands reaches the server unchanged when the room has no link lines.

#include "FuzzInput.h"
#include "files/AppSettings.h"
#include "map/MapModel.h"
#include "profile/WorldProfile.h"
#include "relay/ClientIntake.h"
#include "text/Text.h"
#include "tracking/TrackingState.h"

#include <memory>

namespace {

struct Host : relay::IntakeHost {
    std::string server, client;
    void SendToServer(const std::string& b) override { server += b; }
    void SendToClient(const std::string& b) override { client += b; }
    void ModeClick(bool) override {}
    void StartSpeedwalk() override {}
    void SearchObjects(const std::string&) override {}
    void NewZone(const std::string&, bool) override {}
    void AliasAdded(map::TMudRoom2*) override {}
};

std::vector<std::string> Lines(const std::string& s) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < s.size()) {
        std::size_t lf = s.find('\n', start);
        if (lf == std::string::npos) lf = s.size();
        out.push_back(s.substr(start, lf - start));
        start = lf + 1;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::uint8_t flags = in.Byte();
    profile::WorldProfile profile;
    profile.NoDoubleYa = flags & 1;
    profile.AddDoubleYaLor = flags & 2;
    storage::AppSettings settings;
    map::NullMapUi ui;
    map::MapModel model(profile, ui);
    tracking::TrackingState state;
    Host host;
    relay::ClientIntake intake(model, profile, settings, state, host);

    map::MapWorld& world = model.World();
    auto here = std::make_unique<map::TMudRoom2>();
    here->Hint = "here";
    here->AutoMaps = Lines(in.Piece(4096));
    const bool linked = !here->AutoMaps.empty();
    auto other = std::make_unique<map::TMudRoom2>();
    other->X = 1;
    other->Tag = 2;
    other->QuickList = in.Piece(256);
    map::TMudRoom2* hereRoom = world.AddRoom(std::move(here), "Zone");
    map::TMudRoom2* otherRoom = world.AddRoom(std::move(other), "Other");
    if (flags & 4) world.CurrentRoom = hereRoom;
    if (flags & 8) world.ContextRoom = otherRoom;

    for (int blocks = 0; !in.Empty() && blocks < 64; ++blocks) {
        const std::string block = in.Piece(8192);
        const std::size_t sentBefore = host.server.size();
        const std::size_t queuedBefore = state.CommandQueue.size();
        intake.SSClientRead(block);
        const bool forwarded = host.server.size() != sentBefore;
        if (forwarded && (!linked || !world.CurrentRoom))
            FUZZ_CHECK(host.server.compare(sentBefore, std::string::npos, block) == 0);
        for (std::size_t i = queuedBefore; i < state.CommandQueue.size(); ++i) {
            const std::string& command = state.CommandQueue[i];
            FUZZ_CHECK(command.find('\n') == std::string::npos);
            FUZZ_CHECK(command == text::Trim(command));
        }
        if (state.CommandQueue.size() > 10000) state.CommandQueue.clear();
    }
    return 0;
}
