#include "world/LinkLineEditor.h"

#include "files/Language.h"
#include "map/LinkLine.h"
#include "map/ZoneWalks.h"
#include "profile/WorldProfile.h"

namespace storage {

using map::TMudRoom2;

namespace {

std::string LineOf(const AutomapValues& v) {
    return v.zone + "|" + v.exit + "|" + v.room + "|" + v.command + "|" + (v.sendMove ? "-1" : "0");
}

int RoomNumberOf(const std::string& room) {
    map::LinkLine line;
    line.room = room;
    return line.RoomNumber();
}

// The first line of `room` that leads to zone|exit|tag. The room field must be the whole
// number: a plain prefix test would take a line to room 12 for one to room 1.
int FindLineBack(const TMudRoom2& room, const std::string& zone, const std::string& exit, int tag) {
    const std::string head = zone + "|" + exit + "|" + std::to_string(tag);
    for (std::size_t i = 0; i < room.AutoMaps.size(); ++i) {
        const std::string& line = room.AutoMaps[i];
        if (line.compare(0, head.size(), head) == 0 &&
            (line.size() == head.size() || line[head.size()] == '|'))
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

AutomapFormState AutomapFormRules(const profile::WorldProfile& profile, std::string_view exit,
                                  std::string_view zone, std::string_view command) {
    AutomapFormState s;
    s.commandEnabled = map::DirFromPhrase(profile, exit).has_value();
    s.sendMoveEnabled = !command.empty();
    s.checkSendMove = command.empty();
    s.okEnabled = (!exit.empty() && !zone.empty()) || (s.commandEnabled && !command.empty());
    return s;
}

std::string LinkLineEditor::Text(std::string_view key) const {
    return store_.Texts().GetCaption("PropertyForm", key);
}

bool LinkLineEditor::TargetExists(const AutomapValues& v) const {
    const int number = RoomNumberOf(v.room);
    if (number < 1 || store_.Model().World().GlobalFindRoomByTag(number, v.zone)) return true;
    store_.Ui().ShowError(Text("RoomNumber") + v.room + " " + Text("NotFoundInZone") + " <" +
                          v.zone + ">.");
    return false;
}

bool LinkLineEditor::OfferOppositeLine(const AutomapValues& v) {
    map::MapWorld& world = store_.Model().World();
    const int number = RoomNumberOf(v.room);
    if (number < 1 || !v.sendMove) return false;
    TMudRoom2* target = world.GlobalFindRoomByTag(number, v.zone);
    if (!target) return false;
    const std::string question =
        Text("SetNewOppositeLink") + " <" + v.zone + ">, " + Text("RoomNumber") + v.room + "?";
    if (store_.Ui().Ask(question, true) != Answer::Yes) return false;
    const map::DirectionWords& words = store_.Model().Words();
    const std::string back = words.Opposite(v.exit);
    const std::string line =
        world.CurrentZone + "|" + back + "|" + std::to_string(room_.Tag) + "||-1";
    target->AutoMaps.push_back(line);
    if (auto d = words.FromPhrase(back)) target->Ch(*d) = true;
    // A room linked to itself: the tab shows the copy, which must get the line as well.
    if (target != &room_) return false;
    copy_.AutoMaps.push_back(line);
    if (auto d = words.FromPhrase(back)) copy_.Ch(*d) = true;
    return true;
}

void LinkLineEditor::OfferToDeleteOppositeLine(const std::string& zone, const std::string& exit,
                                               const std::string& room) {
    map::MapWorld& world = store_.Model().World();
    const int number = RoomNumberOf(room);
    if (number < 1 || zone.empty()) return;
    TMudRoom2* target = world.GlobalFindRoomByTag(number, zone);
    // The context room's own lines are the tab's items; they are edited one at a time.
    if (!target || target == &room_) return;
    const std::string back = store_.Model().Words().Opposite(exit);
    const int i = FindLineBack(*target, world.CurrentZone, back, room_.Tag);
    if (i < 0) return;
    const std::string question =
        Text("DeleteOppositeLink") + " <" + zone + ">, " + Text("RoomNumber") + room + "?";
    if (store_.Ui().Ask(question, true) != Answer::Yes) return;
    target->AutoMaps.erase(target->AutoMaps.begin() + i);
    ClearFlagOf(*target, back, world.ZoneOf(target));
}

void LinkLineEditor::SetFlag(std::string_view exit) {
    if (auto d = store_.Model().Words().FromPhrase(exit)) {
        room_.Ch(*d) = true;
        copy_.Ch(*d) = true;
    }
}

void LinkLineEditor::ClearFlag(std::string_view exit) {
    const std::string& zone = store_.Model().World().ZoneOf(&room_);
    ClearFlagOf(room_, exit, zone);
    ClearFlagOf(copy_, exit, zone);
}

void LinkLineEditor::ClearFlagOf(TMudRoom2& room, std::string_view exit, const std::string& zone) {
    map::MapWorld& world = store_.Model().World();
    const auto d = store_.Model().Words().FromPhrase(exit);
    if (!d) return;
    // The flag also stands for the room's other lines that way and for an ordinary link to the
    // neighbour: dropping a door command must not cut the room off from the room beyond it.
    for (const std::string& line : room.AutoMaps)
        if (map::LinkLine::Parse(line).exit == exit) return;
    const map::DirInfo& s = map::Info(*d);
    const TMudRoom2* next = world.GlobalFindRoom(room.X + s.dx, room.Y + s.dy, room.L + s.dl, zone);
    if (next && next != &room && next->Ch(map::OppositeDir(*d))) return;
    room.Ch(*d) = false;
}

bool LinkLineEditor::NAddClick() {
    AutomapValues initial;
    initial.room = "0";
    std::optional<AutomapValues> v = ui_.OpenAutomapForm(initial);
    if (!v || !TargetExists(*v)) return false;
    SetFlag(v->exit);
    const std::string line = LineOf(*v);
    room_.AutoMaps.push_back(line);
    copy_.AutoMaps.push_back(line);
    ui_.RefreshCheckedExits();
    if (OfferOppositeLine(*v)) ui_.RefreshCheckedExits();
    return true;
}

bool LinkLineEditor::NEditClick(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= copy_.AutoMaps.size()) return false;
    const map::LinkLine old = map::LinkLine::Parse(copy_.AutoMaps[index]);
    const AutomapValues previous{old.zone, old.exit, old.room, old.command, old.SendsMove()};
    std::optional<AutomapValues> v = ui_.OpenAutomapForm(previous);
    if (!v || !TargetExists(*v)) return false;

    OfferToDeleteOppositeLine(previous.zone, previous.exit, previous.room);
    const std::string line = LineOf(*v);
    copy_.AutoMaps[index] = line;
    if (static_cast<std::size_t>(index) < room_.AutoMaps.size()) room_.AutoMaps[index] = line;
    // The old exit's flag goes unless the room still needs it; the new one is set.
    ClearFlag(previous.exit);
    SetFlag(v->exit);
    ui_.RefreshCheckedExits();
    if (OfferOppositeLine(*v)) ui_.RefreshCheckedExits();
    return true;
}

bool LinkLineEditor::NDelClick(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= copy_.AutoMaps.size()) return false;
    const map::LinkLine item = map::LinkLine::Parse(copy_.AutoMaps[index]);
    if (store_.Ui().Ask(Text("DeleteLink") + " <" + item.zone + ">?", false) != Answer::Yes)
        return false;
    OfferToDeleteOppositeLine(item.zone, item.exit, item.room);
    copy_.AutoMaps.erase(copy_.AutoMaps.begin() + index);
    if (static_cast<std::size_t>(index) < room_.AutoMaps.size())
        room_.AutoMaps.erase(room_.AutoMaps.begin() + index);
    ClearFlag(item.exit);
    ui_.RefreshCheckedExits();
    return true;
}

} // namespace storage
