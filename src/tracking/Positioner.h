#pragma once
// Positioning: what one command and the room the server printed after it mean on the map.
// The player stepped into a known room, into a room known elsewhere (link it), into new ground
// (create a room, making space), through a cross-zone link, looked around, fled, or something
// that does not fit (tracing stops).

#include "map/Direction.h"
#include "tracking/MoveHypotheses.h"
#include "tracking/TrackerHost.h"
#include "tracking/TrackingState.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace map {
class MapModel;
class TMudRoom2;
} // namespace map

namespace profile {
struct WorldProfile;
}

namespace tracking {

using profile::WorldProfile;

// A sneak or flee command ("подкрасться n") is tracked as the move it names: the text after
// the profile's prefix and a blank; any other command as it stands.
std::string_view MoveOfCommand(const WorldProfile& profile, std::string_view command);

class Positioner {
public:
    Positioner(TrackingState& state, map::MapModel& map, const WorldProfile& profile,
               TrackerHost& host);
    ~Positioner();
    Positioner(const Positioner&) = delete;
    Positioner& operator=(const Positioner&) = delete;

    // Runs for CurrentCmd while tracing is on.
    void Position();
    // A refused move before the exit line: the command is dropped, a speedwalk abandoned.
    bool RefusedMove();
    // Makes the choice a move into a room known elsewhere left open, with what is known now,
    // and puts the moves made since on the map.
    void Settle();
    // Tracing stopped: an open choice is forgotten and the map stays as it is.
    void Reset() {
        judge_.Clear();
        otherCommandAt_ = nullptr;
        mend_ = {};
    }
    const MoveHypotheses& Hypotheses() const { return judge_; }
    // The game named the room of the current command but printed nothing the profile
    // recognises: the command is positioned by that name alone. False when it is not a move or
    // look, or there is no name.
    bool PositionByIdentityOnly();

private:
    void Look();
    void Flight();
    void Move(map::Dir d);
    void Feed(const HeldMove& move);
    void Resolve(const HeldMove& move);
    // Known rooms the move may have led into; those only a one-way move could reach (their
    // way back walked into another room) go into `oneWay`, when given.
    std::vector<map::TMudRoom2*>
    Candidates(map::TMudRoom2* from, const HeldMove& move,
               std::unordered_set<const map::TMudRoom2*>* oneWay = nullptr) const;
    // Where no room reads as printed: the room standing at a known shift from the cell ahead
    // (either way), with the printed name and exits, its way back free, and a description
    // that differs only by a line or two the game may change by itself (by night).
    void AcrossSeams(map::TMudRoom2* from, const HeldMove& move,
                     std::vector<map::TMudRoom2*>& out) const;
    // Where the rooms read alike but for blanks, only those that read exactly as printed.
    void PreferExact(std::vector<map::TMudRoom2*>& rooms, const SeenRoom& seen) const;
    // A walked exit led to a room with another name: where the player really is is weighed
    // over every room that reads as printed, and the link is mended once that is known.
    void Relocalise(map::TMudRoom2* from, map::TMudRoom2* wrong, const HeldMove& move);
    // The choice after Relocalise is made (`right` null: a new room): the wrong link from
    // `from` goes, unless the room found shows the map went wrong before (false: the player is
    // simply in `right`, no link is made). True when nothing was being mended.
    bool MendLink(map::TMudRoom2* from, map::Dir d, map::TMudRoom2* right);
    bool NewRoomPossible(map::TMudRoom2* from, map::Dir d) const;
    // A copy of a room, left with no link but the one back to `kept`, which the map now joins
    // the other way: it goes.
    // False when it stays (it leads or is led to elsewhere, or the player stands in it).
    bool DropLeafCopy(map::TMudRoom2* copy, map::TMudRoom2* kept);
    // Whether the player has written something into the room (a note, a list, marks, a picture,
    // commands of its own): such a room is never removed as a copy.
    static bool HoldsPlayersWork(const map::TMudRoom2& room);
    // ---- Parts of a zone mapped apart (shifts_) ----
    // A known room three cells or more off the grid is confirmed as a shift: the copies made
    // before at that offset are mended.
    void NoteShift(const GridShift& shift);
    // A known room at a frame shift passed over for the new room `copy` for want of evidence:
    // kept in mind in case the shift is shown later.
    // `from` null: found late, the move that made the copy not known.
    void NoteMeeting(map::TMudRoom2* from, map::Dir d, map::TMudRoom2* copy, map::TMudRoom2* known,
                     const GridShift& shift);
    // Two such meetings at one offset, of rooms that read otherwise, each known room the only
    // one of its kind and reached from the room left only the long way round: the seam is
    // shown. That shift, when so.
    std::optional<GridShift> SeamOfMeetings() const;
    // Whether the map has a walked way from one room to the other, each step along the grid
    // (with `exact`, to the very next cell), at most `slack` steps longer than the cells
    // between them.
    bool ShortWayByGrid(const map::TMudRoom2* from, const map::TMudRoom2* to, bool exact = false,
                        int slack = 4) const;
    // Whether the map beside `from` already shows its part of the zone standing `shift` off
    // the part `known` stands in: a walked way out of `from`, or out of a room up to three
    // grid steps from it, that lands that far off the cell it points to, on the grid of `known`.
    bool OffsetShownNear(const map::TMudRoom2* from, const map::TMudRoom2* known,
                         const GridShift& shift) const;
    // The candidates for which the map beside `from` shows the offset they stand at.
    std::unordered_set<const map::TMudRoom2*>
    OffsetsShownNear(const map::TMudRoom2* from, map::Dir d,
                     const std::vector<map::TMudRoom2*>& candidates) const;
    // The one other room of the world that reads like `room`; null when none or several.
    map::TMudRoom2* OnlyLookAlike(const map::TMudRoom2& room) const;
    // More description lines became known to change: the rooms made as new ground that now
    // read like a room made before them, at a frame shift, are meetings found late.
    void NoteLateMeetings();
    // Copies made at this shift (or its reverse) are removed and the move that made each
    // linked to the known room instead; a copy the player walked on from is merged into it.
    void MendCopiesAt(const GridShift& shift);
    // Every way out of the copy becomes the known room's, every way into it leads into the
    // known room (by the grid where they are neighbours, else by link lines), and the copy
    // goes. False, and nothing changed, where the two disagree (the known room leads
    // elsewhere the same way) or the copy cannot go (the player stands in it).
    // `copies`: other copies being merged (copy to known room), which the copy's ways lead
    // into as the known room's lead into their known rooms.
    using CopyMap = std::unordered_map<const map::TMudRoom2*, map::TMudRoom2*>;
    bool MergeCopy(map::TMudRoom2* copy, map::TMudRoom2* known, const CopyMap* copies = nullptr);
    // Whether `copy` reads like `original`, or differs from it only by a line or two the game
    // may change by itself, the lines both keep singling `original` out among its namesakes.
    bool ReadsAsCopyOf(const map::TMudRoom2& copy, const map::TMudRoom2& original) const;
    // `copy` and `original` are one room of the game: the pairs of rooms their ways lead to
    // alike, the same way round, each reading like the other (by a line the game changes by
    // itself at most), gathered from the pair itself outwards. False where a way of the two
    // leads to rooms that read otherwise: then they are not one room.
    bool CopiedStretch(map::TMudRoom2* copy, map::TMudRoom2* original,
                       std::vector<std::pair<map::TMudRoom2*, map::TMudRoom2*>>& pairs) const;
    // Merges `copy` into `original`, and the copies its ways lead into into theirs. False,
    // and nothing changed, where the first merge cannot be made.
    bool MergeCopiedStretch(map::TMudRoom2* copy, map::TMudRoom2* original);
    // The game has shown a frame shift: a room made as new ground, where no room read like it
    // then, that stands at that offset from a room made before it which reads like it but for
    // a line or two the game changes by itself, is that room copied; the two are merged.
    void MendUnweighedAt(const GridShift& shift);
    // Whether the game gives every room of `zone` a text of its own, as far as the map shows:
    // the zone is the current one, holds enough rooms with descriptions to tell, and no two of
    // them read alike word for word (but for copies made for want of evidence).
    bool OwnTextZone(const std::string& zone) const;
    // Links `from` to `to` in direction d one way: by the grid where `to` is the neighbour,
    // else by a link line that replaces any other for that direction.
    void JoinOneWay(map::TMudRoom2* from, map::TMudRoom2* to, map::Dir d);
    void LinkKnown(map::TMudRoom2* from, map::TMudRoom2* room, const HeldMove& move,
                   bool oneWay = false);
    void NewGround(map::TMudRoom2* from, const HeldMove& move);
    // The cell ahead of `from` is taken by `occupant`, which hangs on the rest of the map by
    // stairs alone (up or down, with the rooms joined to it on its level): those rooms go
    // further along the stairs to the first free level, the stairs become link lines. False
    // when the occupant is no such pocket (or is too large), nothing then changed.
    bool MovePocketAside(map::TMudRoom2* from, map::TMudRoom2* occupant);
    // A new room the grid has no cell for: into a new zone beside the current one.
    void NewZoneGround(map::TMudRoom2* from, const HeldMove& move);
    void FlushJudgeLog();
    // ---- By the game's own name for the room (s_.Identity) ----
    void MoveByIdentity(map::Dir d, const std::string& cmd, const SeenRoom& seen, bool textSeen);
    void LookByIdentity(const SeenRoom& seen, bool textSeen);
    // Where the map says the move from `from` in d leads (a link line, a walked exit).
    map::TMudRoom2* MappedTarget(const map::TMudRoom2* from, map::Dir d) const;
    std::optional<map::Dir> GameExitDir(std::string_view word) const;
    void Name(map::TMudRoom2* room, const RoomIdentity& id);
    // The zone for a room of the area: the current one when it is the area's (or the area is
    // not told), else the area's own zone, made when needed.
    std::string ZoneOfArea(const std::string& area);
    // A free cell of the current zone for a room the grid cannot place by the move.
    bool FreeCellFor(const RoomIdentity& id, int& x, int& y, int& l) const;
    map::TMudRoom2* NewNamedRoom(const RoomIdentity& id, const SeenRoom& seen);
    // Whether the room has a link line for the direction (which then wins over the grid).
    bool HasLinkLine(const map::TMudRoom2& room, map::Dir d) const;
    // A link line in direction d into `to`, which lies in `zone`.
    std::string LinkLineTo(const map::TMudRoom2& to, const std::string& zone, map::Dir d) const;
    // Removes the room's link line for direction d, if it has one.
    void DropLinkLine(map::TMudRoom2& from, map::Dir d) const;
    // Puts that line in `from` for direction d, in place of any link line it had that way.
    void SetLinkLine(map::TMudRoom2& from, const map::TMudRoom2& to, const std::string& zone,
                     map::Dir d) const;
    // The rooms of the world with a link line into `room`, and those lines.
    std::vector<std::pair<map::TMudRoom2*, std::string>>
    LinkLinesInto(const map::TMudRoom2& room) const;
    // " (x,y,l)": where a room stands, for the debug log.
    static std::string CellText(const map::TMudRoom2& room);
    // Joins two rooms after a move: side by side on the grid, else by a link-line pair.
    void LinkNamed(map::TMudRoom2* from, map::TMudRoom2* to, map::Dir d, bool oneWay = false);
    void Arrive(map::TMudRoom2* room, const SeenRoom& seen, bool textSeen);
    bool OtherNeedsPlace(const std::string& cmd) const;
    void Other();
    void Jump(const std::string& line);
    // Makes the room's zone current when it lies in another zone.
    void FollowToZone(map::TMudRoom2* room, bool saveFirst);
    bool Parse();
    bool IsDark(const std::string& name) const;
    void LogSeen(const char* prefixUtf8);
    void Log(const std::string& line);
    map::TMudRoom2*& Current();

    TrackingState& s_;
    map::MapModel& map_;
    const WorldProfile& profile_;
    TrackerHost& host_;
    MoveHypotheses judge_;
    // Rooms where the map had to be pushed apart (the room made, the room pushed aside and the
    // room left): the grid is bent around them.
    std::unordered_set<const map::TMudRoom2*> bent_;
    // Offsets between parts of a zone that the game has shown mapped apart (few: one for each
    // loop that closed off the grid).
    std::vector<GridShift> shifts_;
    static constexpr std::size_t kMaxShifts = 64;
    // Copies made at a frame shift that the game's evidence did not decide.
    struct Meeting {
        map::TMudRoom2* from = nullptr;
        map::Dir dir = map::North;
        map::TMudRoom2* copy = nullptr; // the new room made instead of `known`
        map::TMudRoom2* known = nullptr;
        GridShift shift;
    };
    std::vector<Meeting> meetings_;
    // Rooms made as new ground where no map room read like them; and how many description lines
    // were known to change when they were last looked at.
    std::unordered_set<map::TMudRoom2*> unweighed_;
    // Rooms made new where a known room read like them and nothing the game printed told the
    // two apart: no proof that the game has twins.
    std::unordered_set<const map::TMudRoom2*> unproven_;
    std::size_t changingSeen_ = 0;
    // The room where the player last gave a command that is no move ("open door"): a door
    // there may have opened since its exits were printed. Compared, never dereferenced.
    const map::TMudRoom2* otherCommandAt_ = nullptr;
    // The walked exit found wrong, while the choice of where the player is stays open.
    struct Mend {
        map::TMudRoom2* from = nullptr;
        map::Dir dir = map::North;
        map::TMudRoom2* wrong = nullptr;
    } mend_;
    // The last move the map followed: from, which way, into. A link the player has just walked
    // is one the game has shown, whatever a way back from the other side turns out to be.
    struct LastMove {
        map::TMudRoom2* from = nullptr;
        map::Dir dir = map::North;
        map::TMudRoom2* to = nullptr;
    } last_;
    // Positioning is under way (the host's callbacks may ask to settle: they must wait).
    int depth_ = 0;
    struct BusyScope {
        int& depth;
        explicit BusyScope(int& d) : depth(d) { ++depth; }
        ~BusyScope() { --depth; }
    };

public:
    bool Busy() const { return depth_ > 0; }
};

} // namespace tracking
