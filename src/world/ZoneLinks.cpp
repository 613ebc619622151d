#include "world/ZoneLinks.h"

#include "files/Language.h"
#include "map/LinkLine.h"
#include "map/ZoneWalks.h"
#include "world/ZoneOperations.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

namespace storage {

using map::Dir;
using map::TMudRoom2;

std::string ZoneLinks::Text(std::string_view key) const {
    return store_.Texts().GetCaption("MainForm", key);
}

std::string ZoneLinks::LineTo(const std::string& zone, Dir d, int tag) const {
    return zone + "|" + map::Phrase(store_.Model().World().Profile(), d) + "|" +
           std::to_string(tag) + "||-1";
}

void ZoneLinks::RedirectLinesBack(TMudRoom2* room, const std::string& zone, std::string_view tail) {
    map::MapWorld& world = store_.Model().World();
    const map::DirectionWords& words = store_.Model().Words();
    for (const std::string& text : room->AutoMaps) {
        const map::LinkLine line = map::LinkLine::Parse(text);
        const int number = line.RoomNumber();
        if (!line.IsLink() || number < 1) continue;
        TMudRoom2* other = world.GlobalFindRoomByTag(number, line.zone);
        if (!other || other == room) continue;
        const std::string back = words.Opposite(line.exit);
        const int i = words.HasJump(other, back);
        if (i < 0) continue;
        other->AutoMaps[i] =
            zone + "|" + back + "|" + std::to_string(room->Tag) + std::string(tail);
    }
}

bool ZoneLinks::StartNewZone(Dir d) {
    map::MapWorld& world = store_.Model().World();
    const map::DirectionWords& words = store_.Model().Words();
    ZoneTree& tree = store_.Tree();
    TMudRoom2* c = world.ContextRoom;
    // Without a loaded world there is no zone to create.
    if (!c || !tree.Root()) return false;
    const std::string message = Text("CantStartNewZone");
    const int n0 = c->Tag;
    const bool vertical = d == map::Up || d == map::Down;
    const Dir back = map::OppositeDir(d);

    std::vector<TMudRoom2*> list;
    if (vertical) {
        const map::DirInfo& s = map::Info(d);
        if (TMudRoom2* r = world.FindRoom(c->X + s.dx, c->Y + s.dy, c->L + s.dl)) list.push_back(r);
    } else if (!map::ListAtHand(world, words, d, c, list)) {
        world.Ui().Repaint(); // the walked rooms show where the region leaks
        store_.Ui().ShowError(message);
        return false;
    }
    map::ListAtStart(world, words, c, list, d);
    // A region of corridor rooms only would leave no room to number 1 and link back to.
    if (!vertical && std::all_of(list.begin(), list.end(), [](TMudRoom2* r) { return r->Pipe; })) {
        world.Ui().Repaint();
        store_.Ui().ShowError(message);
        return false;
    }

    const std::string oldZone = world.CurrentZone;
    if (!store_.CreateZone()) return false;
    const std::string newZone = world.CurrentZone;
    if (!vertical) c->AutoMaps.push_back(LineTo(newZone, d, 1));

    // Corridor rooms next to the cut would lead nowhere once the link becomes link lines.
    auto firstRoom = std::find_if(list.begin(), list.end(), [](TMudRoom2* r) { return !r->Pipe; });
    for (auto it = list.begin(); it != firstRoom; ++it)
        world.DestroyRoom(*it);
    list.erase(list.begin(), firstRoom);

    int ox = 0, oy = 0, ol = 0;
    if (!vertical) {
        TMudRoom2* f = list.front();
        ox = f->X, oy = f->Y, ol = f->L;
        f->AutoMaps.push_back(LineTo(oldZone, back, n0));
        f->Ch(back) = true;
    }
    world.ViewLevel = 0;
    world.HighestRoomNumber = 0;

    const std::unordered_set<const TMudRoom2*> moving(list.begin(), list.end());
    for (TMudRoom2* r : list) {
        if (!r->Pipe) {
            r->Tag = ++world.HighestRoomNumber;
            // Filed under the new zone at once, so that its new number cannot be taken for a
            // room of the old zone that still carries the same number.
            world.RoomChanged(r);
            world.Lists().SetZoneOf(r, newZone);
            RedirectLinesBack(r, newZone, "||-1");
        }
        // A vertical link across the cut becomes a pair of link lines.
        if (vertical && map::OpenOnGrid(world, words, *r, back)) {
            const map::DirInfo& s = map::Info(back);
            TMudRoom2* u = world.GlobalFindRoom(r->X, r->Y, r->L + s.dl, oldZone);
            if (u && !moving.count(u)) {
                u->AutoMaps.push_back(LineTo(newZone, d, r->Tag));
                r->AutoMaps.push_back(LineTo(oldZone, back, u->Tag));
            }
        }
        r->Checked = false;
        r->X -= ox, r->Y -= oy, r->L -= ol;
        world.RoomChanged(r);
        world.Lists().SetZoneOf(r, newZone);
    }

    store_.nSaveWorldClick();
    if (ZoneTreeNode* oldNode = tree.FindZone(oldZone))
        for (TMudRoom2* r : list)
            tree.RemoveQuickListNodes(r, oldNode);
    store_.LoadZone();
    store_.Ui().CenterMap();
    return true;
}

bool ZoneLinks::nMergeZone(Dir d) {
    map::MapWorld& world = store_.Model().World();
    const map::DirectionWords& words = store_.Model().Words();
    ZoneTree& tree = store_.Tree();
    TMudRoom2* c = world.ContextRoom;
    if (!c) return false;
    const auto& profile = world.Profile();
    const Dir back = map::OppositeDir(d);

    const int ci = words.HasJump(c, map::Phrase(profile, d));
    map::LinkLine line;
    TMudRoom2* t = nullptr;
    if (ci >= 0) {
        line = map::LinkLine::Parse(c->AutoMaps[ci]);
        if (line.RoomNumber() >= 1) t = world.GlobalFindRoomByTag(line.RoomNumber(), line.zone);
    }
    std::optional<std::vector<TMudRoom2*>> rooms;
    int dx = 0, dy = 0, dl = 0;
    if (t && line.zone != world.CurrentZone) {
        const map::DirInfo& s = map::Info(d);
        dx = c->X - t->X + s.dx, dy = c->Y - t->Y + s.dy, dl = c->L - t->L + s.dl;
        rooms = map::RoomsThatFit(world, line.zone, dx, dy, dl);
    }
    if (!rooms) {
        store_.Ui().ShowError(Text("CantMergeZone"));
        return false;
    }

    const std::string zone = world.CurrentZone;
    c->AutoMaps.erase(c->AutoMaps.begin() + ci);
    const int ti = words.HasJump(t, map::Phrase(profile, back));
    if (ti >= 0) t->AutoMaps.erase(t->AutoMaps.begin() + ti);

    ZoneTreeNode* zoneNode = tree.FindZone(zone);
    for (TMudRoom2* r : *rooms) {
        if (!r->Pipe) {
            r->Tag = ++world.HighestRoomNumber;
            world.RoomChanged(r);
            world.Lists().SetZoneOf(r, zone);
            RedirectLinesBack(r, zone, "");
        }
        if (!r->QuickList.empty()) tree.AddQuickListNode(zoneNode, r);
        r->Checked = false;
        r->X += dx, r->Y += dy, r->L += dl;
        world.RoomChanged(r);
        world.Lists().SetZoneOf(r, zone);
    }

    // The joined zone's area comes along unless this zone has one: the game's rooms of that
    // area are found here from now on.
    const std::string joinedArea = world.AreaOfZone(line.zone);
    if (!joinedArea.empty() && world.AreaOfZone(zone).empty()) world.BindZone(zone, joinedArea);

    store_.nSaveWorldClick();
    // Selecting a zone that is not in the tree selects nothing, and then nothing is deleted.
    tree.Select(tree.FindZone(line.zone));
    ZoneOperations(store_).nnDeleteZoneClick(false);
    store_.LoadZone();
    store_.Ui().CenterMap();
    return true;
}

void ZoneLinks::nShowZone1Click(int index) {
    map::MapWorld& world = store_.Model().World();
    const TMudRoom2* c = world.ContextRoom;
    if (!c || index < 0 || static_cast<std::size_t>(index) >= c->AutoMaps.size()) return;
    const map::LinkLine line = map::LinkLine::Parse(c->AutoMaps[index]);
    // Loading a zone the world does not have would add an empty one to the tree.
    if (!line.IsLink() || !store_.Tree().FindZone(line.zone)) return;
    if (line.zone != world.CurrentZone) {
        store_.SwitchZone(line.zone, true);
        store_.Ui().CenterMap();
    }
    if (line.RoomNumber() < 1) return;
    TMudRoom2* room = world.FindRoomByTag(line.RoomNumber());
    if (!room) return;
    world.ViewLevel = room->L;
    store_.Ui().ShowRoom(*room);
    room->Checked = true;
    world.Ui().Repaint();
}

} // namespace storage
