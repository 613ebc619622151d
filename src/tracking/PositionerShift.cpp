// Positioning across a seam: where a loop of the game closes off the grid, the part of a zone
// reached round the loop is mapped some cells off the part reached directly. Once the game has
// shown a known room standing that far off (by a room no other room reads like, or by ruling
// the rest out), the same offset between the same kind of look-alikes is that seam again: the
// known room wins where only the grid spoke against it, and the copies made at that offset
// before, which nothing has joined since, make way for it.

#include "map/MapModel.h"
#include "text/Cp1251.h"
#include "text/Text.h"
#include "tracking/Positioner.h"

#include <algorithm>

namespace tracking {

using map::TMudRoom2;
using text::W;

namespace {
constexpr std::size_t kMaxMeetings = 64;
} // namespace

void Positioner::NoteShift(const GridShift& shift) {
    if (!IsFrameShift(shift) || shifts_.size() >= kMaxShifts) return;
    if (std::find(shifts_.begin(), shifts_.end(), shift) != shifts_.end()) return;
    shifts_.push_back(shift);
    Log(W("TranslateCMD.Moves: часть зоны ") + shift.zone + W(" стоит со сдвигом сетки (") +
        std::to_string(shift.dx) + "," + std::to_string(shift.dy) + "," + std::to_string(shift.dl) +
        ")");
    MendCopiesAt(shift);
}

void Positioner::NoteMeeting(TMudRoom2* from, map::Dir d, TMudRoom2* copy, TMudRoom2* known,
                             const GridShift& shift) {
    if (!from || !copy || !known || !IsFrameShift(shift)) return;
    if (meetings_.size() >= kMaxMeetings) meetings_.erase(meetings_.begin());
    meetings_.push_back({from, d, copy, known, shift});
}

void Positioner::MendCopiesAt(const GridShift& shift) {
    // Only text tells copies here: the game's own room numbers never make one.
    if (s_.Identity) return;
    map::MapWorld& world = map_.World();
    const GridShift back{shift.zone, -shift.dx, -shift.dy, -shift.dl};
    std::vector<Meeting> todo;
    for (const Meeting& c : meetings_)
        if (c.shift == shift || c.shift == back) todo.push_back(c);
    for (const Meeting& c : todo) {
        // Rooms destroyed meanwhile took their records with them.
        const auto it = std::find_if(meetings_.begin(), meetings_.end(), [&](const Meeting& o) {
            return o.from == c.from && o.copy == c.copy && o.known == c.known && o.dir == c.dir;
        });
        if (it == meetings_.end()) continue;
        meetings_.erase(it);
        const map::Dir way = map::OppositeDir(c.dir);
        const auto& step = map::Info(c.dir);
        // Still as it was made: the move leads to the copy, the known room stands at the same
        // offset, reads like the copy and its way back is not walked.
        if (MappedTarget(c.from, c.dir) != c.copy || MappedTarget(c.known, way) ||
            HasLinkLine(*c.known, way) || world.ZoneOf(c.from) != c.shift.zone ||
            world.ZoneOf(c.known) != c.shift.zone)
            continue;
        const GridShift now{c.shift.zone, c.known->X - (c.from->X + step.dx),
                            c.known->Y - (c.from->Y + step.dy), c.known->L - (c.from->L + step.dl)};
        if (!(now == c.shift) ||
            !world.SameRoom(c.known, c.copy->Hint, c.copy->Description, c.copy->Exits()))
            continue;
        if (!DropLeafCopy(c.copy, c.from)) continue;
        LinkNamed(c.from, c.known, c.dir);
        Log(W("TranslateCMD.Moves: копия была сделана на том же сдвиге сетки, ход ведёт в "
              "известную комнату"));
    }
}

} // namespace tracking
