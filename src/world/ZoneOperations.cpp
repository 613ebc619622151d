#include "world/ZoneOperations.h"

#include "files/Language.h"
#include "files/Paths.h"
#include "text/Text.h"

#include <set>

namespace fs = std::filesystem;

namespace storage {

namespace {

std::string UpperLatin(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// The zone a link line leads to is its first field.
bool LeadsTo(const std::string& line, std::string_view zone) {
    return line.size() >= zone.size() && line.compare(0, zone.size(), zone) == 0 &&
           (line.size() == zone.size() || line[zone.size()] == '|');
}

} // namespace

ZoneTreeNode* ZoneOperations::nNewZoneClick(bool fromMenu) {
    if (fromMenu) store_.Ui().ShowZonePanel();
    ZoneTreeNode* node = store_.CreateZone();
    if (fromMenu && node) store_.Tree().RequestEdit(node);
    return node;
}

ZoneTreeNode* ZoneOperations::NewZoneCommand(std::optional<std::string_view> name) {
    store_.Ui().ShowZonePanel();
    store_.Ui().TracingOff();
    ZoneTreeNode* node = store_.CreateZone();
    if (!node || !name) return node;
    // The line's CR and the blank after the command word are no part of the name.
    const std::string trimmed = text::Trim(*name);
    if (!trimmed.empty()) TreeViewZonesEdited(node, trimmed);
    return node;
}

bool ZoneOperations::TreeViewZonesEdited(ZoneTreeNode* node, std::string_view newText) {
    if (!node || node->Level() == 0) return false;
    if (node->Level() == 2) {
        if (node->room) node->room->QuickList = std::string(newText);
        store_.Model().World().Saved = false;
        store_.Tree().SetText(node, newText);
        return true;
    }
    if (node->text == newText) return true;
    return RenameZone(node->text, newText);
}

bool ZoneOperations::RenameZone(std::string_view fromView, std::string_view toView) {
    const std::string from(fromView), to(toView);
    ZoneTree& tree = store_.Tree();
    ZoneTreeNode* node = tree.FindZone(from);
    if (!node || from == to) return false;
    // Another zone of the world by that name, even one without a file, keeps its own name.
    if (tree.FindZone(to)) return false;

    const fs::path dir = store_.WorldDir();
    std::optional<fs::path> source = ZoneFilePath(dir, from);
    std::optional<fs::path> newName = ZoneFileName(to);
    if (!source || !newName) return false;
    std::error_code ec;
    if (!fs::is_regular_file(*source, ec)) return false;
    // A rename never replaces a file: a zone named like an existing file (in any letter case,
    // as a Windows world would see it) fails. Changing only the letter case is allowed.
    const fs::path existing = FindIgnoreCase(dir, *newName);
    if (fs::exists(fs::symlink_status(existing, ec)) && !fs::equivalent(existing, *source, ec))
        return false;
    fs::rename(*source, dir / *newName, ec);
    if (ec) return false;

    map::MapWorld& world = store_.Model().World();
    world.Lists().RenameZone(from, to);
    store_.ZoneRenamed(from, to);
    std::set<std::string> rewritten;
    world.Lists().ForEachWorldRoom([&](map::TMudRoom2* r, const std::string& zone) {
        for (std::string& line : r->AutoMaps)
            if (LeadsTo(line, from)) {
                line = to + line.substr(from.size());
                rewritten.insert(zone);
            }
    });
    if (world.CurrentZone == from) world.CurrentZone = to;
    // The files that name the zone follow at once: an undo (which reloads the files) or a crash
    // before the next save would otherwise bring back links into a zone that no longer exists.
    store_.SaveZones(rewritten);
    if (store_.IsLocked(from)) {
        store_.SetLocked(from, false);
        store_.SetLocked(to, true);
    }
    tree.SetText(node, to);
    store_.RefreshCaption();
    return true;
}

void ZoneOperations::nnDeleteZoneClick(bool ask) {
    ZoneTreeNode* node = store_.Tree().Selected();
    if (!node || node->Level() != 1) return;
    const std::string zone = node->text;
    if (ask) {
        const std::string question =
            store_.Texts().GetCaption("MainForm", "nnDeleteZone") + " <" + zone + ">?";
        if (store_.Ui().Ask(question, true) != Answer::Yes) return;
    }
    // A file that is already gone is as good as deleted; one that stays stops the deletion.
    if (std::optional<fs::path> path = ZoneFilePath(store_.WorldDir(), zone)) {
        std::error_code ec;
        fs::remove(*path, ec);
        if (fs::exists(fs::symlink_status(*path, ec))) return;
    }

    map::MapWorld& world = store_.Model().World();
    const bool current = world.CurrentZone == zone;
    if (current) {
        store_.Ui().TracingOff();
        store_.ClearZone();
        world.CurrentRoom = nullptr;
    }
    std::vector<map::TMudRoom2*> doomed;
    world.Lists().ForEachWorldRoom([&](map::TMudRoom2* r, const std::string& z) {
        if (z == zone) doomed.push_back(r);
    });
    for (map::TMudRoom2* r : doomed)
        world.DestroyRoom(r);

    // Links into the deleted zone go, and with them the walked mark of their direction.
    const map::DirectionWords& words = store_.Model().Words();
    world.Lists().ForEachWorldRoom([&](map::TMudRoom2* r, const std::string&) {
        std::erase_if(r->AutoMaps, [&](const std::string& line) {
            if (!LeadsTo(line, zone)) return false;
            words.SetCheck(*r, text::GetField(line, 2), false);
            return true;
        });
    });
    // A later zone of the same name starts unlocked.
    store_.SetLocked(zone, false);
    store_.ZoneDeleted(zone);

    if (current) world.CurrentZone.clear();
    store_.Tree().Remove(node);
    store_.RefreshCaption();
    if (world.CurrentZone.empty()) store_.Ui().CenterMap();
}

bool ZoneOperations::LockChecked() const {
    ZoneTreeNode* node = store_.Tree().Selected();
    return node && node->Level() == 1 && node->stateImage == kLockedStateImage;
}

void ZoneOperations::nnLockZoneClick() {
    ZoneTreeNode* node = store_.Tree().Selected();
    if (!node || node->Level() != 1) return;
    const bool locked = !LockChecked();
    node->stateImage = locked ? kLockedStateImage : kNoStateImage;
    store_.SetLocked(node->text, locked);
    map::MapWorld& world = store_.Model().World();
    if (node->text == world.CurrentZone) world.ZoneLocked = locked;
    if (store_.Tree().onChanged) store_.Tree().onChanged();
}

void ZoneOperations::MakeCurrent(const std::string& zone) {
    store_.SaveZone();
    store_.ClearZone();
    store_.Model().World().CurrentZone = zone;
    store_.LoadZone();
    store_.Ui().CenterMap();
}

void ZoneOperations::nnLoadZoneClick() {
    ZoneTreeNode* node = store_.Tree().Selected();
    if (!node || node->Level() != 1) return;
    store_.Ui().TracingOff();
    MakeCurrent(node->text);
}

map::TMudRoom2* ZoneOperations::TreeViewZonesDblClick(ZoneTreeNode* node) {
    if (!node) return nullptr;
    if (node->Level() == 1) {
        MakeCurrent(node->text);
        return nullptr;
    }
    if (node->Level() == 2 && node->room && !node->room->DT) return node->room;
    return nullptr;
}

void ZoneOperations::StartSearch(SearchField field) {
    field_ = field;
    searchIndex_ = 0;
}

map::TMudRoom2* ZoneOperations::FindNext(std::string_view textView) {
    map::MapWorld& world = store_.Model().World();
    struct Entry {
        map::TMudRoom2* room;
        const std::string* zone;
    };
    std::vector<Entry> rooms;
    rooms.reserve(world.Lists().WorldCount());
    world.Lists().ForEachWorldRoom([&](map::TMudRoom2* r, const std::string& zone) {
        rooms.push_back({r, &zone});
    });

    if (searchIndex_ >= rooms.size()) searchIndex_ = 0;
    if (textView.empty()) return nullptr;
    const std::string wanted = UpperLatin(textView);
    while (searchIndex_ < rooms.size()) {
        const Entry e = rooms[searchIndex_++];
        const std::string& field = field_ == SearchField::Name          ? e.room->Hint
                                   : field_ == SearchField::Description ? e.room->Description
                                                                        : e.room->Note;
        if (UpperLatin(field).find(wanted) == std::string::npos) continue;
        if (*e.zone != world.CurrentZone) MakeCurrent(*e.zone);
        store_.Ui().ShowRoom(*e.room);
        e.room->Checked = true;
        world.Ui().Repaint();
        return e.room;
    }
    searchIndex_ = 0;
    store_.Ui().ShowError(store_.Texts().GetCaption("MainForm", "RoomNotFound"));
    return nullptr;
}

} // namespace storage
