// Positioning where the map contradicts the game: a walked exit led to a room with another
// name. Where the player really is gets weighed over every look-alike of the world, and the
// link found wrong is mended once that is known.

#include "map/MapModel.h"
#include "map/RoomKeys.h"
#include "profile/WorldProfile.h"
#include "text/Cp1251.h"
#include "text/Text.h"
#include "tracking/Positioner.h"

#include <algorithm>

namespace tracking {

using map::TMudRoom2;
using text::W;

void Positioner::Relocalise(TMudRoom2* from, TMudRoom2* wrong, const HeldMove& move) {
    map::MapWorld& world = map_.World();
    const SeenRoom& seen = move.seen;
    Current() = from;
    s_.Done();
    if (IsDark(seen.Name) || profile_.NoDescription) {
        // Nothing to tell the rooms apart by.
        host_.ModeClick(false);
        return;
    }
    Log(W("TranslateCMD.Moves: карта расходится с игрой: ход ") + move.command + W(" из ") +
        from->Hint + W(" ведёт в ") + (wrong ? wrong->Hint : W("пустоту")) +
        W("; ищем, где игрок на самом деле"));
    // Every room that reads as printed, wherever it lies and however it is linked, is weighed
    // against a new room, by the moves that follow; the link found wrong is mended when the
    // choice is made.
    std::vector<TMudRoom2*> all = world.Lists().AllInWorldByName(
        seen.Name, seen.Desc, seen.Exits, true, MoveHypotheses::kMaxRelocalise + 2);
    std::erase_if(all, [&](const TMudRoom2* r) { return r == from || r == wrong; });
    PreferExact(all, seen);
    if (all.size() > MoveHypotheses::kMaxRelocalise) all.resize(MoveHypotheses::kMaxRelocalise);
    mend_ = {from, move.dir, wrong};
    if (all.empty()) {
        MendLink(from, move.dir, nullptr);
        NewGround(from, move);
        return;
    }
    judge_.Begin(from, move, all, NewRoomPossible(from, move.dir), bent_, shifts_);
    FlushJudgeLog();
    s_.Loop = true;
}

bool Positioner::MendLink(TMudRoom2* from, map::Dir d, TMudRoom2* right) {
    const Mend mend = mend_;
    mend_ = {};
    if (mend.from != from || mend.dir != d) return true;
    map::MapWorld& world = map_.World();
    const map::Dir back = map::OppositeDir(d);
    // The room found came from somewhere that reads like `from` but is not it: the map went
    // wrong before this move, and this link is right for the room it starts from.
    if (right && right->Ch(back)) {
        const auto& step = map::Info(back);
        TMudRoom2* behind =
            world.ZoneOf(right) == world.CurrentZone
                ? world.FindRoom(right->X + step.dx, right->Y + step.dy, right->L + step.dl)
                : nullptr;
        if (behind && behind != from &&
            world.SameRoom(behind, from->Hint, from->Description, from->Exits())) {
            Log(W("TranslateCMD.Moves: ошибка была раньше: игрок шёл из другой комнаты ") +
                from->Hint + W(", связь не трогаем"));
            return false;
        }
    }
    // The wrong room's own way here stays where the player has just walked it (a drop whose
    // room lists a way back that leads elsewhere): only this way out is wrong.
    const bool keepBack =
        mend.wrong && last_.from == mend.wrong && last_.to == from && last_.dir == back;
    // A link line the move followed goes too, with the wrong room's line back into this one.
    if (HasLinkLine(*from, d)) {
        DropLinkLine(*from, d);
        from->Ch(d) = false;
        if (!keepBack && mend.wrong && HasLinkLine(*mend.wrong, back) &&
            MappedTarget(mend.wrong, back) == from) {
            DropLinkLine(*mend.wrong, back);
            mend.wrong->Ch(back) = false;
        }
    } else if (keepBack) {
        from->Ch(d) = false;
    } else {
        map_.Linker().DeleteLink(from, d);
    }
    Log(W("TranslateCMD.Moves: связь исправлена: ход ") + map::Phrase(profile_, d) + W(" из ") +
        from->Hint + W(" вёл в ") + (mend.wrong ? mend.wrong->Hint : W("пустоту")) +
        W(", теперь ведёт в ") + (right ? right->Hint : W("новую комнату")));
    return true;
}

void Positioner::PreferExact(std::vector<TMudRoom2*>& rooms, const SeenRoom& seen) const {
    // Rooms whose descriptions differ only in blanks are look-alikes the game tells apart by
    // its trailing blanks: where some room reads exactly as printed, only those are weighed.
    const map::ChangingLines* changing = &map_.World().Changing();
    auto exact = [&](const TMudRoom2* r) {
        return map::SameDescription(r->Description, seen.Desc, changing);
    };
    if (std::any_of(rooms.begin(), rooms.end(), exact))
        std::erase_if(rooms, [&](const TMudRoom2* r) { return !exact(r); });
}

} // namespace tracking
