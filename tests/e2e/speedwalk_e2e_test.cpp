// Speedwalks through the headless program against the demo game: the map of the village is
// prepared on disk (the tract and the forest split off into a zone of their own at the west
// gate), then a scripted client runs to aliases, walks back, and runs into a closed door.

#include "E2eSupport.h"
#include "files/IniFile.h"
#include "files/Language.h"
#include "files/Paths.h"
#include "files/ProfileFile.h"
#include "files/ZoneFile.h"
#include "map/Direction.h"
#include "map/MapModel.h"
#include "profile/WorldProfile.h"
#include "support/FakeWorldUi.h"
#include "text/Text.h"
#include "world/WorldStore.h"
#include "world/ZoneLinks.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using map::TMudRoom2;

std::string W(const char* utf8) {
    return text::FromUnicode(QString::fromUtf8(utf8));
}

map::Dir DirOf(char letter) {
    for (const auto& i : map::kDirs)
        if (i.letter == letter) return i.dir;
    return map::North;
}

// The village as the player would have mapped it: every room the game prints (no dark room, no
// room behind the portal), walked both ways, corridor rooms over the gaps.
std::vector<TMudRoom2> VillageMap(const DemoWorld& world, const profile::WorldProfile& profile) {
    std::vector<TMudRoom2> rooms;
    std::map<int, std::tuple<int, int, int>> pos;
    QProcess p;
    p.start(DemoBinary(), {"--dump-world"});
    p.waitForFinished(10000);
    for (const auto& v : QJsonDocument::fromJson(p.readAllStandardOutput())["rooms"].toArray()) {
        QJsonObject o = v.toObject();
        pos[o["id"].toInt()] = {o["x"].toInt(), o["y"].toInt(), o["level"].toInt()};
    }
    for (const auto& [id, r] : world.rooms) {
        if (r.dark || r.exits.empty()) continue;
        TMudRoom2 room;
        room.Tag = id;
        room.Hint = r.name;
        room.Description = text::NormaliseDescription(r.descriptionPlain);
        room.SetExits(r.exitList, profile);
        std::tie(room.X, room.Y, room.L) = pos[id];
        room.BColor = map::kSilver;
        for (const auto& [d, to] : r.exits) {
            if (world.rooms.at(to).dark) continue;
            room.Ch(DirOf(d)) = true;
            if (id > to) continue;
            // Cells between two linked rooms are corridor rooms.
            const auto& s = map::Info(DirOf(d));
            auto [x, y, l] = pos[id];
            for (x += s.dx, y += s.dy, l += s.dl; std::tuple(x, y, l) != pos[to];
                 x += s.dx, y += s.dy, l += s.dl) {
                TMudRoom2 pipe;
                pipe.Pipe = true;
                pipe.X = x, pipe.Y = y, pipe.L = l;
                pipe.BColor = map::kSilver;
                pipe.SetExits(s.dy ? "E W" : "N S", profile);
                pipe.Ch(s.dir) = pipe.Ch(s.opposite) = true;
                rooms.push_back(pipe);
            }
        }
        rooms.push_back(room);
    }
    return rooms;
}

// Writes the village zone, then splits the tract and the forest off at the west gate with the
// program's own zone operation; the forest glade and the gallery get aliases.
void PrepareMap(const fs::path& dataDir, const DemoWorld& world) {
    const fs::path worldDir = dataDir / "Maps" / "Demo";
    const std::string village = W("Деревня");
    profile::WorldProfile profile;
    storage::ReadProfile(profile, storage::IniFile(worldDir / "local.ini"));
    std::vector<TMudRoom2> rooms = VillageMap(world, profile);
    for (TMudRoom2& r : rooms) {
        if (r.Hint == W("Поляна")) r.QuickList = W("поляна");
        if (r.Hint == W("Галерея")) r.QuickList = W("галерея");
    }
    std::vector<const TMudRoom2*> list;
    for (const auto& r : rooms)
        list.push_back(&r);
    TempDir::Write(worldDir / (text::ToUnicode(village).toStdString() + ".tk2"),
                   storage::WriteZone(list));
    storage::IniFile(worldDir / "local.ini").WriteString("Options", "Zone", village);

    map::NullMapUi mapUi;
    map::MapModel model(profile, mapUi);
    storage::Language language(dataDir / "language.ini");
    FakeWorldUi ui;
    storage::WorldStore store(model, profile, language, ui, dataDir, "test");
    ui.store = &store;
    ui.profile = &profile;
    store.SetWorldName("Demo");
    store.LoadWorld();
    ASSERT_EQ(store.CurrentZone(), village);
    model.World().Lists().ForEachWorldRoom([&](TMudRoom2* r, const std::string&) {
        if (r->Hint == W("Западные ворота")) model.World().ContextRoom = r;
    });
    ASSERT_NE(model.World().ContextRoom, nullptr);
    ASSERT_TRUE(storage::ZoneLinks(store).StartNewZone(map::West));
    ASSERT_TRUE(store.nSaveWorldClick());
    ASSERT_TRUE(ui.errors.empty() && ui.log.empty());
    storage::IniFile(worldDir / "local.ini").WriteString("Options", "Zone", village);
}

std::string Sent(const std::string& burst) {
    return "<Quarvelin> : Speedwalk sent: \r\n\x1b[1;32m" + burst + "\x1b[0m";
}

} // namespace

TEST(SpeedwalkE2e, RunsToAliasesAcrossZonesInBurstsAndBack) {
    const DemoWorld world = DemoWorld::Load();
    DemoRig rig(0, [&](const fs::path& dataDir) {
        TempDir::Write(dataDir / "quarvelin.ini",
                       "[Options]\r\nDebugActiv=1\r\nSpeedWalkLength=2\r\n");
        PrepareMap(dataDir, world);
    });
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    ScriptedClient client(rig.clientPort);
    ASSERT_TRUE(client.Connected());
    ASSERT_TRUE(client.WaitPrompts(1)) << rig.output;
    ASSERT_TRUE(client.Send({"look"}));
    const std::string off = "Tracing now \x1b[1;31mOFF";

    // To the glade in the forest zone: six moves in bursts of two, the second burst crossing
    // into the other zone through the link line at the west gate.
    int prompts = client.prompts;
    client.SendQuiet(W("гоу поляна"));
    ASSERT_TRUE(client.WaitPrompts(prompts + 6)) << client.received;
    EXPECT_EQ(client.Count(Sent("w;w;")), 1u);
    EXPECT_EQ(client.Count(Sent("w;n;")), 1u);
    EXPECT_EQ(client.Count(Sent("n;w;")), 1u);
    EXPECT_EQ(client.Count(off), 0u);

    // Back to where the run started.
    prompts = client.prompts;
    client.SendQuiet(W("назад"));
    ASSERT_TRUE(client.WaitPrompts(prompts + 6)) << client.received;
    EXPECT_EQ(client.Count(Sent("e;s;")), 1u);
    EXPECT_EQ(client.Count(Sent("s;e;")), 1u);
    EXPECT_EQ(client.Count(Sent("e;e;")), 1u);

    // To the gallery over the smithy: the game refuses the closed door in the first burst,
    // and the rest of the way is never sent.
    prompts = client.prompts;
    client.SendQuiet(W("гоу галерея"));
    ASSERT_TRUE(client.WaitPrompts(prompts + 2)) << client.received;
    Pump(500);
    EXPECT_EQ(client.Count(Sent("e;e;")), 2u);
    EXPECT_EQ(client.Count(Sent("u;n;")), 0u);
    EXPECT_EQ(client.prompts, prompts + 2);
    ASSERT_TRUE(client.Send({"look"}));
    EXPECT_EQ(client.Count(off), 0u);
    ASSERT_TRUE(rig.Stop()) << rig.output;

    // The player stands in the street before the smithy, in the village zone.
    profile::WorldProfile profile;
    std::string selected;
    int zones = 0;
    for (const auto& file : storage::ListZoneFiles(rig.dir.path() / "Maps" / "Demo")) {
        storage::ZoneReadResult r = storage::ReadZoneFile(file, profile);
        ASSERT_TRUE(r.ok()) << r.LogLine();
        ++zones;
        for (const auto& room : r.rooms)
            if (room.Selected) selected += room.Hint;
    }
    EXPECT_EQ(zones, 2);
    EXPECT_EQ(selected, W("Восточная улица")) << rig.LogTail();

    // Each burst went out only once tracking had matched every move of the one before with
    // the room the game printed (the first burst of a run goes out while the log is quiet).
    const std::string log = TempDir::Read(rig.dir.path() / "tkdebug.log");
    const std::string done = W("Отработавшая команда: ");
    const std::string sent = W("Спидволк: отправлено ");
    for (auto [first, next] : {std::pair{"w;n;", "n;w;"}, std::pair{"s;e;", "e;e;"}}) {
        const size_t from = log.find(sent + first);
        const size_t to = log.find(sent + next, from);
        ASSERT_NE(to, std::string::npos) << next;
        std::size_t confirmed = 0;
        for (size_t i = log.find(done, from); i < to; i = log.find(done, i + 1))
            ++confirmed;
        EXPECT_EQ(confirmed, 2u) << next;
    }
}

// The temple's portal as the player would have linked it by hand: the hermit's cell in a zone
// of its own, reached by "войти в портал" and left by "войти". A run there and back sends those
// texts, never the search's "++", and tracking follows both links.
TEST(SpeedwalkE2e, APortalLinkIsTakenByItsExitText) {
    const DemoWorld world = DemoWorld::Load();
    const std::string village = W("Деревня"), cellZone = W("Келья");
    DemoRig rig(0, [&](const fs::path& dataDir) {
        TempDir::Write(dataDir / "quarvelin.ini",
                       "[Options]\r\nDebugActiv=1\r\nSpeedWalkLength=10\r\n");
        PrepareMap(dataDir, world);
        const fs::path worldDir = dataDir / "Maps" / "Demo";
        profile::WorldProfile profile;
        storage::ReadProfile(profile, storage::IniFile(worldDir / "local.ini"));
        const fs::path villageFile = *storage::ZoneFilePath(worldDir, village);
        std::vector<TMudRoom2> rooms = storage::ReadZoneFile(villageFile, profile).rooms;
        int templeTag = 0;
        for (TMudRoom2& r : rooms)
            if (r.Hint == W("Храм")) {
                r.AutoMaps.push_back(cellZone + "|" + W("войти в портал") + "|1||-1");
                templeTag = r.Tag;
            }
        ASSERT_GT(templeTag, 0);
        std::vector<const TMudRoom2*> list;
        for (const auto& r : rooms)
            list.push_back(&r);
        TempDir::Write(villageFile, storage::WriteZone(list));

        const DemoRoom* hermit = nullptr;
        for (const auto& [id, r] : world.rooms)
            if (r.portal && r.exits.empty()) hermit = &r;
        ASSERT_NE(hermit, nullptr);
        TMudRoom2 cell;
        cell.Tag = 1;
        cell.Hint = hermit->name;
        cell.Description = text::NormaliseDescription(hermit->descriptionPlain);
        cell.SetExits(hermit->exitList, profile);
        cell.BColor = map::kSilver;
        cell.QuickList = W("келья");
        cell.AutoMaps = {village + "|" + W("войти") + "|" + std::to_string(templeTag) + "||-1"};
        const std::vector<const TMudRoom2*> cellList{&cell};
        TempDir::Write(*storage::ZoneFilePath(worldDir, cellZone), storage::WriteZone(cellList));
    });
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    ScriptedClient client(rig.clientPort);
    ASSERT_TRUE(client.Connected());
    ASSERT_TRUE(client.WaitPrompts(1)) << rig.output;
    ASSERT_TRUE(client.Send({"look"}));
    const std::string off = "Tracing now \x1b[1;31mOFF";

    int prompts = client.prompts;
    client.SendQuiet(W("гоу келья"));
    ASSERT_TRUE(client.WaitPrompts(prompts + 3)) << client.received;
    Pump(300);
    EXPECT_EQ(client.Count(Sent("n;n;" + W("войти в портал") + ";")), 1u) << client.received;
    EXPECT_EQ(client.Count("++"), 0u);
    EXPECT_EQ(client.Count(W("Кельяя отшельника")), 1u); // "я" doubled on the wire

    prompts = client.prompts;
    client.SendQuiet(W("назад"));
    ASSERT_TRUE(client.WaitPrompts(prompts + 3)) << client.received;
    Pump(300);
    EXPECT_EQ(client.Count(Sent(W("войти") + ";s;s;")), 1u) << client.received;
    EXPECT_EQ(client.Count(off), 0u) << rig.LogTail();
    ASSERT_TRUE(client.Send({"look"}));
    ASSERT_TRUE(rig.Stop()) << rig.output;

    // Tracking took both links: the player stands on the square again, and the log shows the
    // jumps into the cell's zone and back.
    const std::string log = TempDir::Read(rig.dir.path() / "tkdebug.log");
    EXPECT_NE(log.find(W("Прыжок по карте ") + cellZone + "/" + W("войти в портал") + "/1"),
              std::string::npos);
    EXPECT_NE(log.find(W("Прыжок по карте ") + village + "/" + W("войти") + "/"),
              std::string::npos);
    profile::WorldProfile profile;
    std::string selected;
    for (const auto& file : storage::ListZoneFiles(rig.dir.path() / "Maps" / "Demo"))
        for (const auto& room : storage::ReadZoneFile(file, profile).rooms)
            if (room.Selected) selected += room.Hint;
    EXPECT_EQ(selected, W("Центральная площадь")) << rig.LogTail();
}
