// Room recognition with the tracking pass: the server's text, cut anywhere, against the moves
// the player queued, growing the map as the program does.
//
// Input: a flag byte (1 exits from the prompt, 2 exit words ignore case, 4 follow messages name
// the direction on their line, 8 the four room markers come next as pieces: name start, name
// end, exits start, exits end, written as in the profile, 16 the game ends its answers with IAC
// GA, whose ends in the server's text are handed over as the decoder finds them), then pieces: ">"
// and commands split at LF (queued as the intake queues them), "~" (tracing switched), or text from
// the server.
//
// Properties: no two rooms of the zone share a position, the player's room is in the zone, and
// the text waiting for recognition stays within its limit.

#include "FuzzInput.h"
#include "map/MapModel.h"
#include "profile/WorldProfile.h"
#include "text/Text.h"
#include "tracking/Tracker.h"

#include <set>
#include <tuple>

namespace {

// The quiet host, but with the log on (its lines are built) and zones switched for real.
struct Host : tracking::NullTrackerHost {
    Host() : NullTrackerHost(/*tracing=*/true) {}
    map::MapWorld* world = nullptr;
    tracking::Tracker* tracker = nullptr;
    std::size_t logged = 0;

    void ModeClick(bool on) override {
        NullTrackerHost::ModeClick(on);
        if (!on) {
            world->CurrentRoom = nullptr;
            tracker->Reset();
        }
    }
    bool LogActive() const override { return true; }
    void DLine(const std::string& line) override { logged += line.size(); }
    bool SwitchZone(const std::string& zone, bool) override {
        world->ClearZone();
        world->CurrentZone = zone;
        world->LoadZoneRooms();
        return true;
    }
};

void CheckMap(const map::MapWorld& world) {
    std::set<std::tuple<int, int, int>> taken;
    world.Lists().ForEachZoneRoom([&](const map::TMudRoom2* room) {
        FUZZ_CHECK(taken.insert({room->X, room->Y, room->L}).second);
    });
    if (world.CurrentRoom) FUZZ_CHECK(world.Lists().InZone(world.CurrentRoom));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::uint8_t flags = in.Byte();
    profile::WorldProfile profile;
    profile.UsePromptExit = flags & 1;
    profile.AutoexitsIgnoreCase = flags & 2;
    profile.FollowLine = flags & 4;
    if (flags & 8) {
        profile.RoomNameStart = in.Piece(64);
        profile.RoomNameEnd = in.Piece(64);
        profile.AutoexitStart = in.Piece(64);
        profile.AutoexitEnd = in.Piece(64);
    }
    profile.DecodeMarkers();
    profile.CantMove = {"\xC2\xFB \xED\xE5 \xF1\xEC\xEE\xE6\xE5\xF2\xE5"}; // Вы не сможете
    profile.DarkList = {"\xD1\xEB\xE8\xF8\xEA\xEE\xEC \xF2\xE5\xEC\xED\xEE"}; // Слишком темно
    profile.LeaderMove = {"#$1B[1;33m", "\xEF\xEE\xF8\xE5\xEB"};              // пошел

    map::NullMapUi ui;
    map::MapModel model(profile, ui);
    Host host;
    tracking::Tracker tracker(model, profile, host);
    host.world = &model.World();
    host.tracker = &tracker;
    model.World().CurrentZone = "Zone";

    for (int pieces = 0; !in.Empty() && pieces < 128; ++pieces) {
        const std::string piece = in.Piece(16384);
        if (!piece.empty() && piece[0] == '>') {
            std::string commands = text::LowerLatin(piece.substr(1));
            std::size_t start = 0;
            for (;;) {
                const std::size_t lf = commands.find('\n', start);
                tracker.State().CommandQueue.push_back(text::Trim(std::string_view(commands).substr(
                    start, lf == std::string::npos ? std::string::npos : lf - start)));
                if (lf == std::string::npos) break;
                start = lf + 1;
            }
        } else if (piece == "~") {
            host.ModeClick(!host.Tracing());
        } else if (host.Tracing() && (flags & 16)) {
            std::vector<std::size_t> prompts;
            for (std::size_t at = piece.find("\xFF\xF9"); at != std::string::npos;
                 at = piece.find("\xFF\xF9", at + 2))
                prompts.push_back(at + 2);
            tracker.TranslateCmd(piece, prompts, true);
        } else if (host.Tracing()) {
            tracker.TranslateCmd(piece);
        } else {
            tracker.TranslateIdle(piece);
        }
        FUZZ_CHECK(tracker.State().PendingText.size() <= tracking::Tracker::kPendingLimit);
        CheckMap(model.World());
    }
    return 0;
}
