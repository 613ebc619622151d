// Worlds and zones on disk: loading, saving, undo, copying, creating, and the zone operations,
// with a scripted stand-in for the user.

#include "files/IniFile.h"
#include "files/Language.h"
#include "files/Paths.h"
#include "files/ProfileFile.h"
#include "files/ZoneFile.h"
#include "map/MapModel.h"
#include "profile/WorldProfile.h"
#include "support/FakeWorldUi.h"
#include "support/TempDir.h"
#include "text/Cp1251.h"
#include "world/QuickList.h"
#include "world/WorldStore.h"
#include "world/ZoneOperations.h"

#include <gtest/gtest.h>

#include <deque>
#include <sys/fsuid.h>
#include <unistd.h>

namespace fs = std::filesystem;
using map::TMudRoom2;
using storage::Answer;
using storage::ChooserMode;
using storage::ZoneTreeNode;

namespace {

std::string W(const char* utf8) {
    return text::FromUnicode(QString::fromUtf8(utf8));
}

struct Env : WorldEnv {
    storage::ZoneOperations zones{store};

    map::MapWorld& World() { return model.World(); }
    fs::path Maps() const { return dir.path() / "Maps"; }
    void Load(const std::string& world) {
        store.SetWorldName(world);
        store.LoadWorld();
    }
    std::vector<std::string> TreeZones() const {
        std::vector<std::string> names;
        for (auto* z : const_cast<storage::WorldStore&>(store).Tree().Zones())
            names.push_back(z->text);
        return names;
    }
    // Names of the rooms filed under a zone, in world-list order.
    std::vector<std::string> RoomsOf(const std::string& zone) {
        std::vector<std::string> names;
        World().Lists().ForEachWorldRoom([&](TMudRoom2* r, const std::string& z) {
            if (z == zone) names.push_back(r->Hint);
        });
        return names;
    }
    TMudRoom2* Room(const std::string& hint) {
        TMudRoom2* found = nullptr;
        World().Lists().ForEachWorldRoom([&](TMudRoom2* r, const std::string&) {
            if (r->Hint == hint) found = r;
        });
        return found;
    }
    void Select(const std::string& zone) { store.Tree().Select(store.Tree().FindZone(zone)); }
};

TMudRoom2 MakeRoom(const std::string& hint, int tag, int y = 0) {
    TMudRoom2 r;
    r.Hint = hint;
    r.Tag = tag;
    r.Y = y;
    r.BColor = map::kSilver;
    return r;
}

std::string ZoneBytes(const std::vector<TMudRoom2>& rooms) {
    std::vector<const TMudRoom2*> p;
    for (const auto& r : rooms)
        p.push_back(&r);
    return storage::WriteZone(p);
}

std::vector<std::string> HintsInFile(const fs::path& file) {
    std::vector<std::string> hints;
    profile::WorldProfile profile;
    for (const auto& r : storage::ReadZoneFile(file, profile).rooms)
        hints.push_back(r.Hint);
    return hints;
}

using Names = std::vector<std::string>;

} // namespace

TEST(World, LoadChangeSaveAndUndo) {
    Env e;
    const fs::path w = e.Maps() / "W";
    TempDir::Write(w / "local.ini", "[Options]\r\nZone=B\r\n[Lock]\r\nA=1\r\n");
    TMudRoom2 home = MakeRoom("b1", 1);
    home.QuickList = "home";
    TempDir::Write(w / "B.tk2", ZoneBytes({home, MakeRoom("b2", 7, 1)}));
    TempDir::Write(w / "A.tk2", ZoneBytes({MakeRoom("a1", 3)}));
    e.Load("W");

    EXPECT_EQ(e.store.CurrentZone(), "B");
    EXPECT_EQ(e.ui.caption, "[W.B] Quarvelin v. test");
    EXPECT_EQ(e.World().HighestRoomNumber, 7);
    EXPECT_EQ(e.World().Lists().ZoneCount(), 2u);
    EXPECT_EQ(e.World().Lists().WorldCount(), 3u);
    EXPECT_FALSE(e.World().ZoneLocked);
    storage::ZoneTree& tree = e.store.Tree();
    EXPECT_EQ(tree.Root()->text, "W");
    EXPECT_EQ(e.TreeZones(), (Names{"A", "B"}));
    EXPECT_EQ(tree.FindZone("A")->stateImage, storage::kLockedStateImage);
    EXPECT_EQ(tree.FindZone("A")->image, 0);
    ZoneTreeNode* b = tree.FindZone("B");
    EXPECT_EQ(b->image, 3);
    EXPECT_EQ(tree.Selected(), b);
    ASSERT_EQ(b->children.size(), 1u);
    EXPECT_EQ(b->children[0]->text, "home");
    EXPECT_EQ(b->children[0]->image, 4);
    // Loading writes the settings: the lock list survives in the profile.
    EXPECT_NE(TempDir::Read(w / "local.ini").find("[Lock]\r\nA=1\r\n"), std::string::npos);

    // Change and save: the deleted room is gone from the file, the new one follows the rest.
    e.World().DestroyRoom(e.Room("b2"));
    e.World().AddRoom(std::make_unique<TMudRoom2>(MakeRoom("n", 8, 2)), "B");
    e.World().Saved = false;
    ASSERT_TRUE(e.store.SaveZone());
    EXPECT_TRUE(e.World().Saved);
    EXPECT_EQ(HintsInFile(w / "B.tk2"), (Names{"b1", "n"}));
    EXPECT_EQ(HintsInFile(w / "A.tk2"), (Names{"a1"}));

    // Undo throws away everything since: the deleted room is back, the new one gone.
    e.World().DestroyRoom(e.Room("b1"));
    e.World().AddRoom(std::make_unique<TMudRoom2>(MakeRoom("x", 9)), "B");
    const int tracingOff = e.ui.tracingOff;
    e.store.btnUndoClick();
    EXPECT_GT(e.ui.tracingOff, tracingOff);
    EXPECT_EQ(e.store.CurrentZone(), "B");
    EXPECT_EQ(e.RoomsOf("B"), (Names{"b1", "n"}));
    EXPECT_EQ(e.RoomsOf("A"), (Names{"a1"}));
    EXPECT_EQ(e.World().Lists().ZoneCount(), 2u);
    ASSERT_EQ(tree.FindZone("B")->children.size(), 1u);
    EXPECT_EQ(tree.FindZone("B")->children[0]->room, e.Room("b1"));

    // A room saved while selected takes undo to its zone, and comes back unselected.
    TMudRoom2 selected = MakeRoom("a1", 3);
    selected.Selected = true;
    TempDir::Write(w / "A.tk2", ZoneBytes({selected}));
    e.store.btnUndoClick();
    EXPECT_EQ(e.store.CurrentZone(), "A");
    EXPECT_FALSE(e.Room("a1")->Selected);
    EXPECT_TRUE(e.World().ZoneLocked);
}

TEST(World, WhichZoneBecomesCurrentOnLoading) {
    Env e;
    const fs::path w = e.Maps() / "W";
    // The remembered zone's file holds no room: the first zone enumerated becomes current.
    TempDir::Write(w / "local.ini", "[Options]\r\nZone=Zz\r\n");
    TempDir::Write(w / "Zz.tk2", "");
    TempDir::Write(w / "Mm.tk2", ZoneBytes({MakeRoom("m", 1)}));
    TempDir::Write(w / "Aa.tk2", ZoneBytes({MakeRoom("a", 1)}));
    e.Load("W");
    EXPECT_EQ(e.store.CurrentZone(), "Aa");
    EXPECT_EQ(e.TreeZones(), (Names{"Aa", "Mm", "Zz"}));

    // A world without zone files gets "Новая зона" as an empty file, current.
    Env empty;
    fs::create_directories(empty.Maps() / "E");
    empty.Load("E");
    EXPECT_EQ(empty.store.CurrentZone(), W("Новая зона"));
    EXPECT_EQ(TempDir::Read(empty.Maps() / "E" / "Новая зона.tk2"), "");
    ASSERT_TRUE(fs::exists(empty.Maps() / "E" / "Новая зона.tk2"));
    EXPECT_EQ(empty.ui.caption, "[E." + W("Новая зона") + "] Quarvelin v. test");
}

TEST(World, LoadingAWorldThatDisappearedKeepsTheOldOne) {
    Env e;
    TempDir::Write(e.Maps() / "W" / "A.tk2", ZoneBytes({MakeRoom("a1", 1)}));
    fs::create_directories(e.Maps() / "Gone");
    e.Load("W");
    // An unsaved change is written before another world is even chosen.
    e.World().AddRoom(std::make_unique<TMudRoom2>(MakeRoom("a2", 2)), "A");
    e.World().Saved = false;
    e.World().CurrentRoom = e.Room("a1");

    fs::remove_all(e.Maps() / "Gone");
    e.ui.choices = {std::string("Gone")};
    e.store.nLoadWorldClick();

    ASSERT_EQ(e.ui.errors.size(), 1u);
    EXPECT_EQ(e.ui.errors[0], W("Не найден мир <Gone>. Загрузка невозможна."));
    EXPECT_EQ(e.ui.chooser.at(0).first, ChooserMode::Load);
    EXPECT_EQ(e.store.WorldName(), "W");
    EXPECT_EQ(e.store.CurrentZone(), "A");
    EXPECT_EQ(e.ui.caption, "[W.A] Quarvelin v. test");
    EXPECT_EQ(e.RoomsOf("A"), (Names{"a1", "a2"}));
    EXPECT_EQ(e.World().Lists().ZoneCount(), 1u);
    EXPECT_EQ(e.World().CurrentRoom, nullptr);
    EXPECT_EQ(HintsInFile(e.Maps() / "W" / "A.tk2"), (Names{"a1", "a2"}));
}

TEST(World, CopyUnderANewNameOntoAnExistingWorld) {
    Env e;
    const fs::path w = e.Maps() / "W";
    TempDir::Write(w / "local.ini", "[Connect]\r\nServer Name=mud.example\r\n");
    TempDir::Write(w / "A.tk2", ZoneBytes({MakeRoom("a1", 1)}));
    TempDir::Write(w / "B.tk2", ZoneBytes({MakeRoom("b1", 1)}));
    // A world whose directory cannot be removed (it holds a subdirectory) stops the copy.
    TempDir::Write(e.Maps() / "Busy" / "sub" / "keep.txt", "x");
    TempDir::Write(e.Maps() / "T" / "old.tk2", ZoneBytes({MakeRoom("old", 1)}));
    TempDir::Write(e.Maps() / "T" / "local.ini", "[Connect]\r\nServer Name=other\r\n");
    e.Load("W");
    e.World().AddRoom(std::make_unique<TMudRoom2>(MakeRoom("a2", 2)), "A");

    e.ui.choices = {std::string("Busy")};
    e.ui.answers = {Answer::Yes};
    e.store.nSaveWorldAsClick();
    EXPECT_EQ(e.store.WorldName(), "W");
    EXPECT_FALSE(fs::exists(e.Maps() / "Busy" / "A.tk2"));

    // No shows the chooser again; Yes overwrites.
    e.ui.chooser.clear();
    e.ui.questions.clear();
    e.ui.choices = {std::string("T"), std::string("T")};
    e.ui.answers = {Answer::No, Answer::Yes};
    e.store.nSaveWorldAsClick();
    ASSERT_EQ(e.ui.chooser.size(), 2u);
    EXPECT_EQ(e.ui.chooser[0], std::make_pair(ChooserMode::Save, W("Новый мир")));
    EXPECT_EQ(e.ui.questions[0], W("Мир <T> уже существует. Перезаписать его?"));
    EXPECT_EQ(e.store.WorldName(), "T");
    EXPECT_EQ(e.ui.caption, "[T.A] Quarvelin v. test");
    EXPECT_EQ(e.store.Tree().Root()->text, "T");
    EXPECT_FALSE(fs::exists(e.Maps() / "T" / "old.tk2"));
    EXPECT_EQ(HintsInFile(e.Maps() / "T" / "A.tk2"), (Names{"a1", "a2"}));
    EXPECT_EQ(HintsInFile(e.Maps() / "T" / "B.tk2"), (Names{"b1"}));
    // The copy keeps the world's profile, with the lock list written into it.
    storage::IniFile copied(e.Maps() / "T" / "local.ini");
    EXPECT_EQ(copied.ReadString("Connect", "Server Name", ""), "mud.example");
    // The old world is left as it was.
    EXPECT_EQ(HintsInFile(w / "A.tk2"), (Names{"a1"}));

    // Copying the loaded world onto itself only saves it: its profile stays.
    e.ui.choices = {std::string("T")};
    e.ui.answers = {Answer::Yes};
    e.store.nSaveWorldAsClick();
    EXPECT_EQ(
        storage::IniFile(e.Maps() / "T" / "local.ini").ReadString("Connect", "Server Name", ""),
        "mud.example");
    EXPECT_TRUE(fs::exists(e.Maps() / "T" / "B.tk2"));
}

TEST(World, ZoneFileThatCannotBeReplacedIsReported) {
    Env e;
    const fs::path w = e.Maps() / "W";
    TempDir::Write(w / "A.tk2", ZoneBytes({MakeRoom("a1", 1)}));
    e.Load("W");
    e.World().AddRoom(std::make_unique<TMudRoom2>(MakeRoom("a2", 2)), "A");
    e.World().Saved = false;

    // The world's directory was replaced by a file: nothing can be written into it.
    fs::remove_all(w);
    TempDir::Write(w, "not a directory");
    EXPECT_FALSE(e.store.SaveZone());
    ASSERT_EQ(e.ui.errors.size(), 1u);
    EXPECT_EQ(e.ui.errors[0], W("Не удалось переписать файл") + " " +
                                  storage::PathToText(w / "A.tk2") + "\r\n" +
                                  W("Удалите его вручную и попробуйте сохранить снова."));
    EXPECT_FALSE(e.World().Saved);
    EXPECT_EQ(e.RoomsOf("A"), (Names{"a1", "a2"}));
    EXPECT_FALSE(e.ui.log.empty());
    EXPECT_FALSE(e.store.nSaveWorldClick());
}

TEST(World, WindowsWorldLoadsUnchanged) {
    Env e;
    const fs::path w = e.Maps().parent_path() / "MAPS" / "Тест";
    TempDir::Write(w / "LOCAL.INI", W("[Options]\r\nZone=Зона\r\n"));
    // A room at X 1, Y 2 with everything else at its default, byte for byte.
    const std::string record = {
        "\x54\x50\x46\x30\x09\x54\x4D\x75\x64\x52\x6F\x6F\x6D\x32\x00\x03\x43\x68\x4E\x08\x03\x43"
        "\x68\x53\x08\x03\x43\x68\x57\x08\x03\x43\x68\x45\x08\x03\x43\x68\x55\x08\x03\x43\x68\x44"
        "\x08\x01\x58\x02\x01\x01\x59\x02\x02\x01\x4C\x02\x00\x02\x44\x58\x02\x00\x02\x44\x59\x02"
        "\x00\x02\x44\x4C\x02\x00\x00\x00",
        74};
    TempDir::Write(w / "Зона.TK2", record);
    TempDir::Write(w / "Other.tk2", "");
    TempDir::Write(w / "日本.tk2", "");
    e.Load(W("Тест"));

    EXPECT_EQ(e.store.WorldName(), W("Тест"));
    EXPECT_EQ(e.store.CurrentZone(), W("Зона"));
    EXPECT_EQ(e.TreeZones(), (Names{"Other", W("Зона")}));
    ASSERT_EQ(e.World().Lists().ZoneCount(), 1u);
    TMudRoom2* room = e.World().FindRoom(1, 2, 0);
    ASSERT_NE(room, nullptr);
    EXPECT_EQ(room->BColor, map::kSilver);
    // The zone whose name Windows-1251 cannot spell is skipped with a line in the log.
    ASSERT_EQ(e.ui.log.size(), 1u);
    EXPECT_NE(e.ui.log[0].find("Windows-1251"), std::string::npos);

    // Saving writes back into the same files: no second file in our letter case.
    ASSERT_TRUE(e.store.nSaveWorldClick());
    EXPECT_EQ(TempDir::Read(w / "Зона.TK2"), record);
    EXPECT_FALSE(fs::exists(w / "Зона.tk2"));
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(w))
        ++files;
    EXPECT_EQ(files, 4);
}

TEST(World, RenamingZones) {
    Env e;
    const fs::path w = e.Maps() / "W";
    TempDir::Write(w / "local.ini", "[Options]\r\nZone=A\r\n[Lock]\r\nA=1\r\n");
    TMudRoom2 b1 = MakeRoom("b1", 1);
    b1.AutoMaps = {"A|north|3||-1", "AB|south|1||-1", "A"};
    TMudRoom2 a1 = MakeRoom("a1", 3);
    a1.QuickList = "gate";
    TempDir::Write(w / "A.tk2", ZoneBytes({a1}));
    TempDir::Write(w / "B.tk2", ZoneBytes({b1}));
    TempDir::Write(w / "AB.tk2", "");
    e.Load("W");
    ZoneTreeNode* a = e.store.Tree().FindZone("A");

    // A name that exists, in any letter case, fails and keeps the old name and files.
    EXPECT_FALSE(e.zones.TreeViewZonesEdited(a, "B"));
    EXPECT_FALSE(e.zones.TreeViewZonesEdited(a, "b"));
    EXPECT_FALSE(e.zones.TreeViewZonesEdited(a, "x/y"));
    EXPECT_EQ(a->text, "A");
    EXPECT_EQ(HintsInFile(w / "A.tk2"), (Names{"a1"}));
    EXPECT_EQ(HintsInFile(w / "B.tk2"), (Names{"b1"}));
    EXPECT_FALSE(e.zones.TreeViewZonesEdited(e.store.Tree().Root(), "V"));

    ASSERT_TRUE(e.zones.TreeViewZonesEdited(a, "C"));
    EXPECT_FALSE(fs::exists(w / "A.tk2"));
    EXPECT_EQ(HintsInFile(w / "C.tk2"), (Names{"a1"}));
    EXPECT_EQ(e.RoomsOf("C"), (Names{"a1"}));
    EXPECT_TRUE(e.RoomsOf("A").empty());
    EXPECT_EQ(e.Room("b1")->AutoMaps, (Names{"C|north|3||-1", "AB|south|1||-1", "C||||-1"}));
    EXPECT_EQ(e.store.CurrentZone(), "C");
    EXPECT_EQ(e.ui.caption, "[W.C] Quarvelin v. test");
    EXPECT_EQ(e.profile.Locks, (Names{"C"}));
    EXPECT_EQ(e.TreeZones(), (Names{"AB", "B", "C"}));
    // The zones whose lines changed are written at once, so that an undo (or a crash) cannot
    // bring back lines into a zone that no longer exists; the saved flag still speaks of C.
    EXPECT_EQ(storage::ReadZoneFile(w / "B.tk2", e.profile).rooms.at(0).AutoMaps,
              (Names{"C|north|3||-1", "AB|south|1||-1", "C||||-1"}));
    e.World().Saved = false;
    e.Room("a1")->Hint = "a1 edited"; // an unsaved change of the current zone is undone
    e.store.btnUndoClick();
    EXPECT_EQ(e.Room("b1")->AutoMaps, (Names{"C|north|3||-1", "AB|south|1||-1", "C||||-1"}));
    EXPECT_NE(e.Room("a1"), nullptr);

    // A quick-list node renames the room's alias.
    e.World().Saved = true;
    ZoneTreeNode* gate = e.store.Tree().FindZone("C")->children.at(0).get();
    ASSERT_TRUE(e.zones.TreeViewZonesEdited(gate, "door"));
    EXPECT_EQ(e.Room("a1")->QuickList, "door");
    EXPECT_FALSE(e.World().Saved);
}

TEST(World, DeletingTheCurrentZone) {
    Env e;
    const fs::path w = e.Maps() / "W";
    TempDir::Write(w / "local.ini", "[Options]\r\nZone=A\r\n");
    TMudRoom2 a1 = MakeRoom("a1", 1);
    a1.QuickList = "gate";
    TMudRoom2 b1 = MakeRoom("b1", 1);
    b1.ChN = true;
    b1.ChS = true;
    b1.AutoMaps = {"A|" + e.profile.Directions[0] + "|1||-1",
                   "Other|" + e.profile.Directions[1] + "|1||-1"};
    TempDir::Write(w / "A.tk2", ZoneBytes({a1, MakeRoom("a2", 2)}));
    TempDir::Write(w / "B.tk2", ZoneBytes({b1}));
    e.Load("W");
    e.World().CurrentRoom = e.Room("a1");
    e.Select("A");

    e.ui.answers = {Answer::No};
    e.zones.nnDeleteZoneClick();
    ASSERT_EQ(e.ui.questions.size(), 1u);
    EXPECT_EQ(e.ui.questions[0], W("Удалить зону <A>?"));
    EXPECT_TRUE(fs::exists(w / "A.tk2"));
    EXPECT_EQ(e.World().Lists().WorldCount(), 3u);

    e.ui.answers = {Answer::Yes};
    e.zones.nnDeleteZoneClick();
    EXPECT_FALSE(fs::exists(w / "A.tk2"));
    EXPECT_TRUE(e.store.CurrentZone().empty());
    EXPECT_EQ(e.World().Lists().ZoneCount(), 0u);
    EXPECT_EQ(e.World().Lists().WorldCount(), 1u);
    EXPECT_EQ(e.World().CurrentRoom, nullptr);
    EXPECT_EQ(e.TreeZones(), (Names{"B"}));
    EXPECT_EQ(e.store.Tree().Selected(), nullptr);
    EXPECT_EQ(e.ui.caption, "[W] Quarvelin v. test");
    // The link into the deleted zone went, and with it the walked mark of its direction.
    TMudRoom2* b = e.Room("b1");
    EXPECT_EQ(b->AutoMaps, (Names{"Other|" + e.profile.Directions[1] + "|1||-1"}));
    EXPECT_FALSE(b->ChN);
    EXPECT_TRUE(b->ChS);
    // Saving with no zone current writes nothing and names no zone.
    EXPECT_TRUE(e.store.SaveZone());
    EXPECT_TRUE(e.store.nSaveWorldClick());
    EXPECT_FALSE(fs::exists(w / "A.tk2"));
}

TEST(World, NewZonesAndTheClientCommand) {
    Env e;
    const fs::path w = e.Maps() / "W";
    TempDir::Write(w / "Новая зона.tk2", ZoneBytes({MakeRoom("r", 5)}));
    e.Load("W");
    ZoneTreeNode* edited = nullptr;
    e.store.Tree().onEditRequested = [&](ZoneTreeNode* n) { edited = n; };

    ZoneTreeNode* n1 = e.zones.nNewZoneClick(true);
    ASSERT_NE(n1, nullptr);
    EXPECT_EQ(n1->text, W("Новая зона 1"));
    EXPECT_EQ(edited, n1);
    EXPECT_EQ(e.ui.panelShown, 1);
    EXPECT_EQ(e.store.CurrentZone(), W("Новая зона 1"));
    EXPECT_EQ(TempDir::Read(w / "Новая зона 1.tk2"), "");
    EXPECT_TRUE(fs::exists(w / "Новая зона 1.tk2"));
    EXPECT_EQ(e.World().HighestRoomNumber, 0);
    EXPECT_EQ(e.World().Lists().ZoneCount(), 0u);
    EXPECT_EQ(n1->image, 3);
    EXPECT_EQ(e.store.Tree().FindZone(W("Новая зона"))->image, 0);

    // The client's command names the zone; the blank and the CR are no part of the name.
    const int tracingOff = e.ui.tracingOff;
    ZoneTreeNode* named = e.zones.NewZoneCommand(W(" Рынок я\r"));
    EXPECT_GT(e.ui.tracingOff, tracingOff);
    ASSERT_NE(named, nullptr);
    EXPECT_EQ(named->text, W("Рынок я"));
    EXPECT_EQ(e.store.CurrentZone(), W("Рынок я"));
    EXPECT_TRUE(fs::exists(w / "Рынок я.tk2"));
    EXPECT_FALSE(fs::exists(w / "Новая зона 2.tk2"));
    // A name that is no file name keeps the default one.
    EXPECT_EQ(e.zones.NewZoneCommand(std::string_view("a/b\r"))->text, W("Новая зона 2"));
    EXPECT_EQ(e.zones.NewZoneCommand(std::nullopt)->text, W("Новая зона 3"));
    EXPECT_EQ(e.TreeZones().size(), 5u);
}

TEST(World, LockingAZoneLeavesTheCurrentOneEditable) {
    Env e;
    const fs::path w = e.Maps() / "W";
    TempDir::Write(w / "local.ini", "[Options]\r\nZone=A\r\n");
    TempDir::Write(w / "A.tk2", ZoneBytes({MakeRoom("a", 1)}));
    TempDir::Write(w / "B.tk2", ZoneBytes({MakeRoom("b", 1)}));
    e.Load("W");

    e.Select("B");
    e.zones.nnLockZoneClick();
    EXPECT_TRUE(e.zones.LockChecked());
    EXPECT_EQ(e.store.Tree().FindZone("B")->stateImage, storage::kLockedStateImage);
    EXPECT_FALSE(e.World().ZoneLocked);
    EXPECT_EQ(e.profile.Locks, (Names{"B"}));

    e.Select("A");
    e.zones.nnLockZoneClick();
    EXPECT_TRUE(e.World().ZoneLocked);
    e.zones.nnLockZoneClick();
    EXPECT_FALSE(e.World().ZoneLocked);
    EXPECT_EQ(e.store.Tree().FindZone("A")->stateImage, storage::kNoStateImage);

    // The lock list goes into the profile with the settings and comes back with the world.
    e.ui.WriteSettings();
    EXPECT_NE(TempDir::Read(w / "local.ini").find("[Lock]\r\nB=1\r\n"), std::string::npos);
    e.Select("B");
    e.zones.nnLoadZoneClick();
    EXPECT_EQ(e.store.CurrentZone(), "B");
    EXPECT_TRUE(e.World().ZoneLocked);
    e.profile.Locks.clear();
    e.Load("W");
    EXPECT_EQ(e.store.Tree().FindZone("B")->stateImage, storage::kLockedStateImage);
}

TEST(World, ZoneChangesSaveTheZoneLeftExceptForTheLook) {
    Env e;
    const fs::path w = e.Maps() / "W";
    TempDir::Write(w / "local.ini", "[Options]\r\nZone=A\r\n");
    TMudRoom2 b = MakeRoom("b", 4);
    b.QuickList = "pit";
    b.DT = true;
    TempDir::Write(w / "A.tk2", ZoneBytes({MakeRoom("a", 1)}));
    TempDir::Write(w / "B.tk2", ZoneBytes({b, MakeRoom("b2", 2)}));
    e.Load("W");

    e.World().AddRoom(std::make_unique<TMudRoom2>(MakeRoom("a2", 2, 1)), "A");
    ASSERT_TRUE(e.store.SwitchZone("B", false));
    EXPECT_EQ(HintsInFile(w / "A.tk2"), (Names{"a"}));
    EXPECT_EQ(e.store.CurrentZone(), "B");
    EXPECT_EQ(e.World().HighestRoomNumber, 4);
    ASSERT_TRUE(e.store.SwitchZone("A", true));
    EXPECT_EQ(HintsInFile(w / "B.tk2"), (Names{"b", "b2"}));
    e.store.SwitchZone("B", true);
    EXPECT_EQ(HintsInFile(w / "A.tk2"), (Names{"a", "a2"}));
    EXPECT_FALSE(e.store.SwitchZone("", true));

    // A double click opens a zone, or names a quick-list room to walk to, but no death trap.
    ZoneTreeNode* pit = e.store.Tree().FindZone("B")->children.at(0).get();
    EXPECT_EQ(e.zones.TreeViewZonesDblClick(pit), nullptr);
    pit->room->DT = false;
    EXPECT_EQ(e.zones.TreeViewZonesDblClick(pit), e.Room("b"));
    e.zones.TreeViewZonesDblClick(e.store.Tree().FindZone("A"));
    EXPECT_EQ(e.store.CurrentZone(), "A");

    // An alias given from the client shows under the current zone with the room's picture.
    TMudRoom2* a = e.Room("a");
    a->ImageIndex = 2;
    ZoneTreeNode* well = storage::QuickList(e.store).AddAlias(a, "well");
    ASSERT_NE(well, nullptr);
    EXPECT_EQ(well->parent, e.store.Tree().FindZone("A"));
    EXPECT_EQ(well->image, 8);
}

TEST(World, FindingRoomsByText) {
    Env e;
    const fs::path w = e.Maps() / "W";
    TempDir::Write(w / "local.ini", "[Options]\r\nZone=A\r\n");
    TMudRoom2 forest = MakeRoom("Dark Forest", 1);
    forest.Note = W("Клад");
    TMudRoom2 cave = MakeRoom("dark cave", 2);
    cave.Description = W("Пещера");
    cave.X = 3;
    cave.L = -1;
    TempDir::Write(w / "A.tk2", ZoneBytes({forest}));
    TempDir::Write(w / "B.tk2", ZoneBytes({cave}));
    e.Load("W");

    e.zones.StartSearch(storage::SearchField::Name);
    EXPECT_EQ(e.zones.FindNext("DARK"), e.Room("Dark Forest"));
    TMudRoom2* found = e.zones.FindNext("DARK");
    ASSERT_EQ(found, e.Room("dark cave"));
    EXPECT_EQ(e.store.CurrentZone(), "B");
    EXPECT_TRUE(found->Checked);
    EXPECT_EQ(e.ui.shown, found);
    // After the last room the search starts over.
    EXPECT_EQ(e.zones.FindNext("DARK"), e.Room("Dark Forest"));
    EXPECT_EQ(e.store.CurrentZone(), "A");
    // No further match: the message, and the next search starts from the first room.
    EXPECT_EQ(e.zones.FindNext("forest"), nullptr);
    ASSERT_EQ(e.ui.errors.size(), 1u);
    EXPECT_EQ(e.ui.errors[0], W("Поле не найдено."));
    EXPECT_EQ(e.zones.FindNext("forest"), e.Room("Dark Forest"));
    EXPECT_EQ(e.zones.FindNext(""), nullptr);

    // Cyrillic letters must match in case.
    e.zones.StartSearch(storage::SearchField::Description);
    EXPECT_EQ(e.zones.FindNext(W("пещера")), nullptr);
    EXPECT_EQ(e.zones.FindNext(W("Пещера")), e.Room("dark cave"));
    e.zones.StartSearch(storage::SearchField::Note);
    EXPECT_EQ(e.zones.FindNext(W("Клад")), e.Room("Dark Forest"));
}

TEST(World, StartingWithoutAWorldCreatesOne) {
    Env e;
    fs::create_directories(e.Maps() / "Новый мир");
    TempDir::Write(e.Maps() / "Existing" / "X.tk2", ZoneBytes({MakeRoom("x", 1)}));

    // An existing name is offered for loading; No shows the chooser again.
    e.ui.choices = {std::string("Existing"), std::string("Fresh")};
    e.ui.answers = {Answer::No};
    e.store.Startup();
    ASSERT_EQ(e.ui.chooser.size(), 2u);
    EXPECT_EQ(e.ui.chooser[0], std::make_pair(ChooserMode::Create, W("Новый мир 1")));
    EXPECT_EQ(e.ui.questions.at(0), W("Мир <Existing> уже существует. Загрузить его?"));
    EXPECT_EQ(e.store.WorldName(), "Fresh");
    EXPECT_EQ(e.store.CurrentZone(), W("Новая зона"));
    EXPECT_TRUE(fs::exists(e.Maps() / "Fresh" / "Новая зона.tk2"));
    EXPECT_EQ(e.TreeZones(), (Names{W("Новая зона")}));

    // Yes loads the existing world, after writing the one in memory.
    e.World().AddRoom(std::make_unique<TMudRoom2>(MakeRoom("f", 1)), W("Новая зона"));
    e.ui.choices = {std::string("Existing")};
    e.ui.answers = {Answer::Yes};
    e.store.nNewWorldClick();
    EXPECT_EQ(e.store.WorldName(), "Existing");
    EXPECT_EQ(e.store.CurrentZone(), "X");
    EXPECT_EQ(e.RoomsOf("X"), (Names{"x"}));
    EXPECT_EQ(HintsInFile(e.Maps() / "Fresh" / "Новая зона.tk2"), (Names{"f"}));

    // A missing world named at start-up is reported, then a new world is offered.
    Env gone;
    gone.store.SetWorldName("Gone");
    gone.store.Startup();
    EXPECT_EQ(gone.ui.errors.size(), 1u);
    EXPECT_EQ(gone.ui.chooser.size(), 1u);
    EXPECT_TRUE(gone.store.WorldName().empty());
}

TEST(World, QuickListAddRemoveAliasAndShowOnMap) {
    Env e;
    const fs::path w = e.Maps() / "W";
    TempDir::Write(w / "local.ini", "[Options]\r\nZone=B\r\n");
    TempDir::Write(w / "B.tk2", ZoneBytes({MakeRoom("b1", 1), MakeRoom("b2", 2, 1)}));
    TMudRoom2 far = MakeRoom("a1", 1, 5);
    far.L = 2;
    far.QuickList = "far";
    TempDir::Write(w / "A.tk2", ZoneBytes({far}));
    e.Load("W");
    storage::QuickList quick(e.store);
    storage::ZoneTree& tree = e.store.Tree();
    ZoneTreeNode* b = tree.FindZone("B");

    // From the map: the room joins under its name and the node is put into editing.
    ZoneTreeNode* editing = nullptr;
    tree.onEditRequested = [&](ZoneTreeNode* n) { editing = n; };
    e.ui.panelVisible = false;
    e.World().ContextRoom = e.Room("b2");
    ZoneTreeNode* added = quick.nAddToQuickListClick();
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->parent, b);
    EXPECT_EQ(added->text, "b2");
    EXPECT_EQ(e.Room("b2")->QuickList, "b2");
    EXPECT_EQ(tree.Selected(), added);
    EXPECT_EQ(editing, added);
    EXPECT_TRUE(e.ui.panelVisible);

    // The alias command shows the panel only while it adds the node.
    e.ui.panelVisible = false;
    ZoneTreeNode* alias = quick.AddAlias(e.Room("b1"), W("дом"));
    ASSERT_NE(alias, nullptr);
    EXPECT_EQ(alias->text, W("дом"));
    EXPECT_EQ(e.Room("b1")->QuickList, W("дом"));
    EXPECT_FALSE(e.ui.panelVisible);
    EXPECT_EQ(e.ui.panelHidden, 1);

    // Removing from the map drops every node of the room in the current zone.
    quick.nRemoveRoomClick();
    EXPECT_TRUE(e.Room("b2")->QuickList.empty());
    ASSERT_EQ(b->children.size(), 1u);
    // Removing from the tree drops the selected node and marks the map changed.
    tree.Select(alias);
    e.World().Saved = true;
    quick.nnRemoveRoomClick();
    EXPECT_TRUE(e.Room("b1")->QuickList.empty());
    EXPECT_TRUE(b->children.empty());
    EXPECT_FALSE(e.World().Saved);

    // Showing a room of another zone opens that zone (saving this one) and shows its level.
    ZoneTreeNode* farNode = tree.FindZone("A")->children.at(0).get();
    tree.Select(farNode);
    EXPECT_EQ(quick.SelectTarget(), e.Room("a1"));
    EXPECT_EQ(e.World().ContextRoom, e.Room("a1"));
    quick.nnShowOnMapClick();
    EXPECT_EQ(e.store.CurrentZone(), "A");
    EXPECT_EQ(e.World().ViewLevel, 2);
    EXPECT_EQ(e.ui.shown, e.Room("a1"));
    EXPECT_TRUE(e.Room("a1")->Checked);
    EXPECT_EQ(HintsInFile(w / "B.tk2"), (Names{"b1", "b2"}));
    // A zone node is no speedwalk target.
    tree.Select(b);
    EXPECT_EQ(quick.SelectTarget(), nullptr);
}

// A zone file that fails to load part-way is never overwritten: before the zone is first saved,
// the original bytes are moved aside, and the player is told once.
TEST(World, DamagedZoneFileIsKeptBeforeTheFirstSave) {
    std::vector<TMudRoom2> rooms;
    for (int i = 0; i < 5; ++i)
        rooms.push_back(MakeRoom("r" + std::to_string(i), i + 1, i));
    const std::string whole = ZoneBytes(rooms);
    // Cut at several places, and a run of bytes corrupted in the middle.
    std::vector<std::string> damages = {whole.substr(0, 21), whole.substr(0, whole.size() / 2),
                                        whole.substr(0, whole.size() - 3)};
    std::string corrupt = whole;
    for (std::size_t i = whole.size() / 3; i < whole.size() / 3 + 8; ++i)
        corrupt[i] = '\x7F';
    damages.push_back(corrupt);

    for (const std::string& bytes : damages) {
        Env e;
        const fs::path w = e.Maps() / "W";
        TempDir::Write(w / "local.ini", "[Options]\r\nZone=Z\r\n");
        TempDir::Write(w / "Z.tk2", bytes);
        e.Load("W");
        ASSERT_FALSE(e.ui.log.empty()) << "the damage went unnoticed";
        const std::size_t loaded = e.RoomsOf("Z").size();
        EXPECT_LT(loaded, 5u);

        ASSERT_TRUE(e.store.nSaveWorldClick());
        EXPECT_EQ(TempDir::Read(w / "Z.tk2.damaged"), bytes);
        EXPECT_EQ(HintsInFile(w / "Z.tk2").size(), loaded);
        ASSERT_EQ(e.ui.errors.size(), 1u);
        EXPECT_NE(e.ui.errors[0].find("Z.tk2.damaged"), std::string::npos);
        // Later saves write the zone as usual and keep the copy.
        ASSERT_TRUE(e.store.nSaveWorldClick());
        EXPECT_EQ(e.ui.errors.size(), 1u);
        EXPECT_EQ(TempDir::Read(w / "Z.tk2.damaged"), bytes);
        EXPECT_FALSE(fs::exists(w / "Z.tk2.damaged.1"));
    }

    // A second damage of the same zone never replaces the first copy.
    Env e;
    const fs::path w = e.Maps() / "W";
    TempDir::Write(w / "local.ini", "[Options]\r\nZone=Z\r\n");
    TempDir::Write(w / "Z.tk2", damages[1]);
    TempDir::Write(w / "Z.tk2.damaged", "older");
    e.Load("W");
    ASSERT_TRUE(e.store.SaveZone());
    EXPECT_EQ(TempDir::Read(w / "Z.tk2.damaged"), "older");
    EXPECT_EQ(TempDir::Read(w / "Z.tk2.damaged.1"), damages[1]);
}

namespace {

// Makes a directory read-only for this process. Root writes anywhere, so as root the file
// system user becomes "nobody" for the while (setfsuid drops the override of permissions).
class ReadOnly {
public:
    explicit ReadOnly(const fs::path& dir) : dir_(dir) {
        fs::permissions(dir_, fs::perms::owner_write, fs::perm_options::remove);
        if (::geteuid() == 0) ::setfsuid(65534);
        std::error_code ec;
        TempDir::Write(dir_ / "probe", "x");
        works_ = !fs::exists(dir_ / "probe", ec);
    }
    ~ReadOnly() {
        if (::geteuid() == 0) ::setfsuid(0);
        fs::permissions(dir_, fs::perms::owner_write, fs::perm_options::add);
        std::error_code ec;
        fs::remove(dir_ / "probe", ec);
    }
    bool Works() const { return works_; }

private:
    fs::path dir_;
    bool works_ = false;
};

} // namespace

TEST(World, ReadOnlyWorldDirectoryKeepsTheMapUntilItCanBeSaved) {
    Env e;
    const fs::path w = e.Maps() / "W";
    TempDir::Write(w / "A.tk2", ZoneBytes({MakeRoom("a1", 1)}));
    TempDir::Write(w / "B.tk2", ZoneBytes({MakeRoom("b1", 1)}));
    e.Load("W");
    e.World().AddRoom(std::make_unique<TMudRoom2>(MakeRoom("a2", 2, 1)), "A");
    e.World().AddRoom(std::make_unique<TMudRoom2>(MakeRoom("b2", 2, 1)), "B");
    e.World().Saved = false;
    const std::string told = W("Папка мира закрыта для записи:") + " " + storage::PathToText(w) +
                             "\r\n" +
                             W("Карта осталась в памяти и будет записана, как только запись "
                               "снова станет возможна.");
    {
        ReadOnly readOnly(w);
        if (!readOnly.Works()) GTEST_SKIP() << "this process writes into read-only directories";
        // One message for the whole world, naming the directory; each zone in the log.
        EXPECT_FALSE(e.store.nSaveWorldClick());
        ASSERT_EQ(e.ui.errors, std::vector<std::string>{told});
        ASSERT_EQ(e.ui.log.size(), 2u);
        EXPECT_NE(e.ui.log[0].find("Permission denied"), std::string::npos) << e.ui.log[0];
        EXPECT_TRUE(e.store.HasUnsavedZones());
        EXPECT_FALSE(e.World().Saved);
        // A zone change saves nothing either, and does not repeat the message.
        e.World().CurrentZone = "A";
        EXPECT_FALSE(e.store.SaveZone());
        EXPECT_EQ(e.ui.errors.size(), 1u);
    }
    // The map stayed in memory, the files as they were.
    EXPECT_EQ(e.RoomsOf("A"), (Names{"a1", "a2"}));
    EXPECT_EQ(e.RoomsOf("B"), (Names{"b1", "b2"}));
    EXPECT_EQ(HintsInFile(w / "A.tk2"), (Names{"a1"}));
    EXPECT_EQ(HintsInFile(w / "B.tk2"), (Names{"b1"}));

    // Writable again: the next save of one zone writes the other one too.
    e.ui.log.clear();
    EXPECT_TRUE(e.store.SaveZone());
    EXPECT_EQ(HintsInFile(w / "A.tk2"), (Names{"a1", "a2"}));
    EXPECT_EQ(HintsInFile(w / "B.tk2"), (Names{"b1", "b2"}));
    EXPECT_FALSE(e.store.HasUnsavedZones());
    EXPECT_EQ(e.ui.log, std::vector<std::string>{W("Карта снова записана.")});
    EXPECT_EQ(e.store.CurrentZone(), "A");

    // A second outage is told again.
    ReadOnly again(w);
    EXPECT_FALSE(e.store.nSaveWorldClick());
    EXPECT_EQ(e.ui.errors.size(), 2u);
}
