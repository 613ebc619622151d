#include "map/MapEditor.h"

#include "profile/WorldProfile.h"
#include "text/Text.h"

#include <array>
#include <string>
#include <vector>

namespace map {

void MapEditor::DeleteRoom() {
    TMudRoom2* room = world_.ContextRoom;
    if (!room) return;
    if (room == world_.CurrentRoom) {
        world_.Ui().TracingOff();
        world_.CurrentRoom = nullptr;
    }
    for (Dir d : {North, South, West, East, Up, Down})
        if (room->Ch(d)) linker_.DeleteLink(room, d);
    // The room leaves the lists before its link lines are followed, so that no lookup can
    // reach it any more.
    const std::vector<std::string> lines = room->AutoMaps;
    world_.DestroyRoom(room);
    for (const std::string& line : lines) {
        long long tag = 0;
        if (!text::ParseInt(text::GetField(line, 3), tag)) continue; // no room number
        TMudRoom2* other =
            world_.GlobalFindRoomByTag(static_cast<int>(tag), text::GetField(line, 1));
        if (!other) continue;
        const std::string back = words_.Opposite(text::GetField(line, 2));
        const int i = words_.HasJump(other, back);
        if (i < 0) continue;
        other->AutoMaps.erase(other->AutoMaps.begin() + i);
        words_.SetCheck(*other, back, false);
    }
    world_.Saved = false;
    world_.Ui().Repaint();
}

void MapEditor::MoveRoom(Dir d) {
    linker_.MoveRoomTo(d);
    world_.Ui().Shift();
}

void MapEditor::ToggleDoor(Dir d) {
    TMudRoom2* room = world_.ContextRoom;
    if (!room) return;
    const auto& p = world_.Profile();
    const std::string& w = ExitWord(p, d);
    if (w.empty()) return;
    const std::string door = "(" + w + ")";
    const bool ignoreCase = p.AutoexitsIgnoreCase;
    const bool shown = text::FindLatin(room->Exits(), door, ignoreCase) != std::string::npos;
    const std::string& from = shown ? door : w;
    const std::string& to = shown ? w : door;
    std::string exits = ignoreCase ? text::ReplaceAllIgnoreCase(room->Exits(), from, to)
                                   : text::ReplaceAll(room->Exits(), from, to);
    room->SetExits(std::move(exits), p);
    world_.RoomChanged(room);
    world_.Ui().Repaint();
}

void MapEditor::nPropClick(int tag) {
    TMudRoom2* room = world_.ContextRoom;
    if (!room || tag < 1 || tag > 5) return;
    if (tag == 1) {
        if (auto c = world_.Ui().ChooseColor(room->BColor)) {
            world_.LastColor = *c;
            room->BColor = *c;
        }
    } else {
        // The menu checks the mark items from the room as it opens.
        std::array<bool, 4> checked{room->DT, room->FlyDT, room->Agro, room->NoStep};
        const int i = tag - 2;
        room->ImageIndex = 0;
        if (!checked[i]) {
            checked.fill(false);
            checked[i] = true;
            room->ImageIndex = tag - 1;
        } else {
            checked[i] = false;
        }
        room->DT = checked[0];
        room->FlyDT = checked[1];
        room->Agro = checked[2];
        room->NoStep = checked[3];
        if (!room->QuickList.empty())
            world_.Ui().SetQuickListNodeImage(room, QuickListImage(*room));
    }
    world_.Saved = false;
    world_.Ui().Repaint();
}

} // namespace map
