#pragma once
// The rooms a move may have led into when the room the game printed is known elsewhere on the
// map: the known rooms that look the same (a warped loop closing, or a twin of a town street)
// and a new room at the cell the move points to. Each is followed through the moves that come
// next without touching the map; what the game prints drops the ones it contradicts, and the
// grid tells the rest apart (a new room that fits its cell, a known room that the move can be
// linked to). The positioner commits the winner and replays the moves made in between.

#include "map/Direction.h"
#include "map/MudRoom.h"
#include "tracking/RoomParser.h"

#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace map {
class MapModel;
class MapWorld;
} // namespace map

namespace tracking {

// One move made while the choice was open, kept to be replayed once it is made.
struct HeldMove {
    std::string command; // the movement word
    map::Dir dir;
    SeenRoom seen;
};

// The room that `room`'s exit back (opposite d) leads to along the grid, through corridor rooms,
// when it reads like `from` without being it: then `room` was reached before from a copy the
// map made of `from`, and that copy stands where `room`'s way back leads.
map::TMudRoom2* CopyBehind(const map::MapWorld& world, const map::TMudRoom2* room,
                           const map::TMudRoom2* from, map::Dir d);

// How far a part of a zone was found mapped off the rest: a known room won a move by the game's
// own evidence although it stands three cells or more from where the move points. The same
// meeting of the two parts shows the same offset (or its reverse from the other side).
struct GridShift {
    std::string zone;
    int dx = 0, dy = 0, dl = 0;
    bool operator==(const GridShift& o) const {
        return zone == o.zone && dx == o.dx && dy == o.dy && dl == o.dl;
    }
    // The same seam met from either side.
    bool SameSeam(const GridShift& o) const {
        return *this == o || (zone == o.zone && dx == -o.dx && dy == -o.dy && dl == -o.dl);
    }
    // How far `to` stands from the cell the move from `from` in d points to, in `zone`.
    static GridShift Of(const map::TMudRoom2& from, map::Dir d, const map::TMudRoom2& to,
                        const std::string& zone);
};

// Three cells or more: a part mapped apart. A push bends the grid by a cell, a few pushes in one
// place by two, and the offsets those leave are no pattern to go by.
bool IsFrameShift(const GridShift& s);

class MoveHypotheses {
public:
    // Follow-up moves after which the choice is made whatever the evidence.
    static constexpr int kHorizon = 4;
    // Known rooms weighed at most.
    static constexpr std::size_t kMaxCandidates = 8;
    // Rooms weighed at most where the map contradicted the game: every look-alike of the world.
    static constexpr std::size_t kMaxRelocalise = 32;

    explicit MoveHypotheses(map::MapModel& map) : map_(map) {}

    struct Hypothesis {
        map::TMudRoom2* candidate = nullptr; // nullptr: a new room at the cell ahead
        std::string zone;                    // zone of the new room / of the candidate
        bool alive = true;
        int breaks = 0; // how often the grid has to give way for it
        int agreed = 0; // known rooms it predicted and the game printed
        // Of those, rooms that read as printed, name, description and exits, and that no other
        // room of the map reads like: the game cannot have printed them from elsewhere.
        int unique = 0;
        // The known room lies next to where the move points, and the map had to be pushed
        // apart when it was made: the grid around it is already bent, so it cannot speak for
        // a new room.
        bool bentNear = false;
        // The known room's way back leads to a copy of the room the move started in: the map
        // copied one side of this join before, and the game now shows the join from the other.
        map::TMudRoom2* copyBehind = nullptr;
        // A known room in the zone of the move: how far it stands from the cell the move
        // points to (zero for the new room and for rooms of other zones).
        GridShift shift;
        // That offset is one the game has already shown between two parts of the zone.
        bool shiftSeen = false;
        // The map beside the room left shows its part of the zone standing that far off the
        // known room's part: a walked way next to this one lands as far off its cell.
        bool offsetNear = false;
        // How the grid stands against it: the new room's exits face a neighbour with no way
        // back, or the known room stands neither ahead nor beside the cell the move points to.
        bool misfit = false, off = false;
        std::string grid;   // what the grid said when the move was made
        std::string reason; // why it was dropped
        // Where the player stands under this hypothesis: a map room or one of `rooms`.
        map::TMudRoom2* at = nullptr;
        // New rooms this hypothesis has the player walk into, never filed in the map.
        std::vector<std::unique_ptr<map::TMudRoom2>> rooms;
        std::vector<std::string> roomZones;
        // Ways back this hypothesis took for granted (into the room a move came from) and the
        // game has not yet walked: where the game prints another room there, the move was one
        // way, which tells nothing against this hypothesis.
        std::vector<std::pair<const map::TMudRoom2*, map::Dir>> assumedBack;
        // The known room's way back, taken for granted, led elsewhere: the first move is one way.
        bool oneWay = false;
        // The known room is the only room of the map that reads as printed, word for word, in
        // a zone where the game has given every room a text of its own: the text names it.
        bool ownText = false;
    };

    // Whether two rooms of the map may be one room of the game: where both have walked a way
    // the same way, the rooms those ways lead to must read alike. A known room's way back
    // into a room the room left cannot be proves no join.
    using OneRoomTest = std::function<bool(map::TMudRoom2* a, map::TMudRoom2* b)>;
    void SetOneRoomTest(OneRoomTest test) { oneRoom_ = std::move(test); }
    // Whether the game gives every room of a zone a text of its own, as far as the map shows.
    using OwnTextTest = std::function<bool(const std::string& zone)>;
    void SetOwnTextTest(OwnTextTest test) { ownText_ = std::move(test); }

    bool Open() const { return !set_.empty(); }
    const std::vector<Hypothesis>& All() const { return set_; }
    const HeldMove& First() const { return first_; }
    const std::vector<HeldMove>& Held() const { return held_; }
    map::TMudRoom2* Anchor() const { return anchor_; }

    // Weighs the move from `from` that printed a room known as `candidates`. `newPossible`:
    // a new room may be made at the cell ahead (the exit is listed, the zone allows it).
    // `bent`: rooms the map made by pushing others apart. `shifts`: offsets the game has
    // shown before between parts of a zone mapped apart. `offsetNear`: candidates whose
    // offset the map beside `from` shows. `oneWay`: candidates whose way back is walked into
    // another room, reachable by a one-way move only.
    void Begin(map::TMudRoom2* from, const HeldMove& move,
               const std::vector<map::TMudRoom2*>& candidates, bool newPossible,
               const std::unordered_set<const map::TMudRoom2*>& bent,
               const std::vector<GridShift>& shifts = {},
               const std::unordered_set<const map::TMudRoom2*>& offsetNear = {},
               const std::unordered_set<const map::TMudRoom2*>& oneWay = {});
    // Follows a further move under every hypothesis still alive. Returns false when a
    // hypothesis stands in a room with a cross-zone link that way: the choice must be made
    // first (nothing was recorded).
    bool Follow(const HeldMove& move);
    // Alive hypotheses; 0 means the game contradicted every one.
    int AliveCount() const;
    // The choice is due: one hypothesis left, all alive ones stand in the same map room, or
    // the horizon is reached.
    bool Due() const;
    // The best alive hypothesis and why it won; -1 when none is alive. `evidence`: it won by
    // what the game printed (the others refuted, a one-of-a-kind room, the join's other side),
    // not by the grid.
    int Best(std::string& why, bool* evidence = nullptr) const;
    // Text of a hypothesis for the debug log.
    std::string Describe(const Hypothesis& h) const;
    // Lines for the debug log written since the last call.
    std::vector<std::string> TakeLog() { return std::move(log_); }
    // Forgets everything (the choice was made, or tracing stopped).
    void Clear();
    // A room is being destroyed: a hypothesis that rests on it is dropped.
    void Forget(const map::TMudRoom2* room);

private:
    struct Place {
        int x, y, l;
        std::string zone;
    };
    map::TMudRoom2* RoomAt(Hypothesis& h, const Place& p) const;
    const std::string& ZoneOf(const Hypothesis& h, const map::TMudRoom2* room) const;
    bool IsVirtual(const Hypothesis& h, const map::TMudRoom2* room) const;
    map::TMudRoom2* AddVirtual(Hypothesis& h, const Place& p, const SeenRoom& seen);
    // Whether a new room at the place fits the rooms around it: an exit it lists must not
    // face a known room that has no exit back.
    bool FitsGrid(const Place& p, const std::string& exits) const;
    // The one candidate that reads as printed, word for word, where no other room of the map
    // does and its zone is one of own texts; null when none.
    const map::TMudRoom2* NamedByText(const std::vector<map::TMudRoom2*>& candidates,
                                      const std::unordered_set<const map::TMudRoom2*>& oneWay,
                                      const HeldMove& move) const;
    // Whether the room the move printed lists the exit back (or no exits at all).
    bool HasWayBack(const HeldMove& move) const;
    // The copy behind the candidate `r`, when the room printed and the room left are each
    // one of a kind on the map (but for that copy); else nullptr.
    map::TMudRoom2* OnlyCopies(const map::TMudRoom2* r, const map::TMudRoom2* from,
                               map::TMudRoom2* copy, const HeldMove& move) const;
    // Moves the hypothesis; false when the game contradicts it (reason set).
    bool Step(Hypothesis& h, const HeldMove& move);
    bool LinkedByMove(const Hypothesis& h, const map::TMudRoom2* room, map::Dir d,
                      map::TMudRoom2*& target) const;
    // The hypothesis predicted the map room `room` and the game printed `seen` there.
    void Agreed(Hypothesis& h, const map::TMudRoom2* room, const SeenRoom& seen) const;
    std::string Label(const Hypothesis& h) const;

    map::MapModel& map_;
    map::TMudRoom2* anchor_ = nullptr;
    HeldMove first_;
    std::vector<HeldMove> held_;
    std::vector<Hypothesis> set_;
    std::vector<std::string> log_;
    OneRoomTest oneRoom_;
    OwnTextTest ownText_;
};

} // namespace tracking
