#include "map/Speedwalk.h"

#include "map/LinkLine.h"
#include "profile/WorldProfile.h"
#include "text/Text.h"

#include <algorithm>

namespace map {

namespace {
// The order in which every reached room is expanded; "++" comes last.
constexpr Dir kSearchOrder[] = {North, South, West, East, Up, Down};
// Only this much of a way's last command is compared when deciding whether a step turns back.
constexpr std::size_t kLastCommandLimit = 100;
constexpr std::int32_t kNeverReached = INT32_MIN / 2;

std::string_view LastCommand(std::string_view step) {
    const std::size_t semi = step.rfind(';');
    if (semi != std::string_view::npos) step = step.substr(semi + 1);
    return step.substr(0, kLastCommandLimit);
}
} // namespace

SpeedwalkSearch::SpeedwalkSearch(const MapWorld& world, const DirectionWords& words)
    : world_(world), words_(words), profile_(world.Profile()) {
    for (int i = 0; i < kExpansions; ++i) {
        if (i == kAnyLinkIndex) {
            word_[i] = kAnyLink;
            opposite_[i] = words_.Opposite(kAnyLink);
            continue;
        }
        const Dir d = kSearchOrder[i];
        word_[i] = MoveWord(profile_, d);
        phrase_[i] = Phrase(profile_, d);
        opposite_[i] = words_.Opposite(word_[i]);
        portal_[i] = word_[i] == profile_.Portal;
    }
}

std::uint32_t SpeedwalkSearch::Intern(std::string text) {
    auto it = stepIds_.find(text);
    if (it != stepIds_.end()) return it->second;
    Step step;
    const std::string_view last = LastCommand(text);
    for (int i = 0; i < kExpansions; ++i)
        if (opposite_[i] == last) step.turnsBack |= static_cast<std::uint8_t>(1u << i);
    step.text = text;
    const auto id = static_cast<std::uint32_t>(steps_.size());
    steps_.push_back(std::move(step));
    stepIds_.emplace(std::move(text), id);
    return id;
}

bool SpeedwalkSearch::InList(const TMudRoom2* room) const {
    // While pass p runs, the list holds the levels p - 2 (dropped at the end of the pass),
    // p - 1 (being expanded) and p (being found).
    return level_[world_.Lists().WorldSlotOf(room)] >= pass_ - 2;
}

bool SpeedwalkSearch::Acceptable(const TMudRoom2* room, bool consultFlyDT) const {
    if (InList(room) || room->DT) return false;
    if (room == target_) return true;
    return !room->Agro && !room->NoStep && !(consultFlyDT && room->FlyDT);
}

void SpeedwalkSearch::Add(const TMudRoom2* room, std::uint32_t previous, std::uint32_t step) {
    level_[world_.Lists().WorldSlotOf(room)] = pass_;
    entries_.push_back({room, previous, step});
    if (room == target_ && !found_) found_ = static_cast<std::uint32_t>(entries_.size() - 1);
}

int SpeedwalkSearch::AddRoomSW(std::uint32_t index, int expansion) {
    const Entry entry = entries_[index];
    const TMudRoom2& r = *entry.room;
    if (steps_[entry.step].turnsBack & (1u << expansion)) return 0; // never straight back
    const bool anyLink = expansion == kAnyLinkIndex;
    const Dir d = anyLink ? North : kSearchOrder[expansion];
    // Walked that way (or the portal word) and the exit still printed.
    if (!anyLink && !(words_.HasExit(r, d) && (r.Ch(d) || portal_[expansion]))) return 0;

    const std::size_t before = entries_.size();
    std::uint32_t step = wordStep_[expansion];
    const TMudRoom2* linked = nullptr;
    for (const std::string& text : r.AutoMaps) {
        const LinkLine line = LinkLine::Parse(text);
        const bool thisWay = !anyLink && line.exit == phrase_[expansion];
        if (!line.IsLink() && !line.command.empty() && thisWay)
            step = Intern(line.command + ";" + steps_[step].text); // sent before the move
        if (line.IsLink() && (thisWay || anyLink) && !line.IsTrigger()) {
            // A link without a room number (0) names no room: the way cannot go through it.
            const int tag = line.RoomNumber();
            linked = tag >= 1 ? world_.GlobalFindRoomByTag(tag, line.zone) : nullptr;
        }
        if (linked && anyLink) {
            if (auto dir = words_.FromPhrase(line.exit)) {
                step = wordStep_[std::find(kSearchOrder, kSearchOrder + 6, *dir) - kSearchOrder];
            } else if (line.IsLink()) {
                // An exit that is no direction (a portal) is taken by typing its text; the
                // pseudo-direction itself must never reach the game. Without a text there is
                // nothing to type, and no way through.
                const std::string typed = text::DecodeEscapes(line.exit);
                if (typed.empty())
                    linked = nullptr;
                else
                    step = Intern(typed);
            }
        }
        if (linked && Acceptable(linked, true)) {
            std::string segment;
            if (line.SendsMove())
                segment =
                    (line.command.empty() ? std::string() : line.command + ";") + steps_[step].text;
            else
                segment = line.command;
            Add(linked, index, Intern(std::move(segment)));
        }
    }
    // A direction with a cross-zone link does not also lead to the neighbouring cell.
    if (linked || anyLink) return static_cast<int>(entries_.size() - before);

    const RoomLists& lists = world_.Lists();
    const std::uint32_t zone = lists.ZoneIdOf(&r);
    const DirInfo& s = Info(d);
    int x = r.X + s.dx, y = r.Y + s.dy, l = r.L + s.dl;
    const TMudRoom2* next = lists.FindInWorldZone(x, y, l, zone);
    if (!next || !Acceptable(next, true)) return static_cast<int>(entries_.size() - before);
    Add(next, index, step);
    // A whole corridor and the room at its end cost the one command.
    while (next->Pipe) {
        x += s.dx, y += s.dy, l += s.dl;
        next = lists.FindInWorldZone(x, y, l, zone);
        if (!next) break;
        if (Acceptable(next, false)) Add(next, index, wordStep_[expansion]);
    }
    return static_cast<int>(entries_.size() - before);
}

void SpeedwalkSearch::Prefetch(const TMudRoom2* room) const {
    // The neighbours' index entries are the cache misses that dominate a large search.
    const RoomLists& lists = world_.Lists();
    const std::uint32_t zone = lists.ZoneIdOf(room);
    for (const DirInfo& s : kDirs)
        if (room->Ch(s.dir))
            lists.PrefetchInWorldZone(room->X + s.dx, room->Y + s.dy, room->L + s.dl, zone);
}

std::string SpeedwalkSearch::WayTo(std::uint32_t index) const {
    std::vector<std::uint32_t> chain;
    for (std::uint32_t i = index; i != 0; i = entries_[i].previous)
        chain.push_back(entries_[i].step);
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        path.append(";").append(steps_[*it].text);
    return path.empty() ? path : path.substr(1);
}

std::optional<std::string> SpeedwalkSearch::FindWay(const TMudRoom2* from, const TMudRoom2* to,
                                                    int maxPasses) {
    entries_.clear();
    steps_.clear();
    stepIds_.clear();
    found_.reset();
    target_ = to;
    stats_ = {};
    level_.assign(world_.Lists().WorldSlotCount(), kNeverReached);
    for (int i = 0; i < kExpansions; ++i)
        wordStep_[i] = Intern(word_[i]);
    const std::uint32_t start = Intern(std::string());

    pass_ = 0;
    Add(from, 0, start);
    found_.reset(); // the start room is never its own target
    std::size_t levelStart = 0, levelEnd = 1;
    int added = 1;
    while (!found_ && added > 0 && pass_ < maxPasses) {
        ++pass_;
        added = 0;
        for (std::size_t i = levelStart; i < levelEnd; ++i) {
            if (i + kPrefetchAhead < levelEnd) Prefetch(entries_[i + kPrefetchAhead].room);
            for (int e = 0; e < kExpansions; ++e)
                added += AddRoomSW(static_cast<std::uint32_t>(i), e);
        }
        levelStart = levelEnd;
        levelEnd = entries_.size();
    }

    stats_.passes = pass_;
    stats_.entries = entries_.size();
    stats_.bytesUsed = entries_.capacity() * sizeof(Entry) + level_.capacity() * sizeof(level_[0]);
    for (const Step& s : steps_)
        stats_.bytesUsed += sizeof(Step) + s.text.capacity();
    if (!found_) return std::nullopt;
    return WayTo(*found_);
}

} // namespace map
