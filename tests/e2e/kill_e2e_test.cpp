// Killing Quarvelin while it saves a large world never leaves a zone file that fails to load,
// and the next start loads every zone whole.

#include "E2eSupport.h"
#include "files/Paths.h"
#include "files/ZoneFile.h"
#include "map/MudRoom.h"
#include "profile/WorldProfile.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <random>

namespace {

constexpr int kZones = 30;
constexpr int kRoomsPerZone = 2000;

void WriteWorld(const std::filesystem::path& dir, const profile::WorldProfile& profile) {
    std::vector<map::TMudRoom2> rooms(kRoomsPerZone);
    std::vector<const map::TMudRoom2*> order;
    for (int i = 0; i < kRoomsPerZone; ++i) {
        map::TMudRoom2& r = rooms[i];
        r.Tag = i + 1;
        r.X = i / 50;
        r.Y = i % 50;
        r.Hint = "Room " + std::to_string(i);
        r.Description = std::string(280, 'a' + i % 26) + "\r\n" + std::to_string(i);
        r.SetExits(" N S E W ", profile);
        r.BColor = map::kSilver;
        order.push_back(&r);
    }
    std::string bytes = storage::WriteZone(order);
    for (int z = 0; z < kZones; ++z)
        TempDir::Write(dir / ("Zone" + std::to_string(z) + ".tk2"), bytes);
}

bool HasTemporary(const std::filesystem::path& dir) {
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator(dir, ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec))
        if (it->path().filename().string().find(".tmp") != std::string::npos) return true;
    return false;
}

} // namespace

TEST(KillE2e, KilledWhileSavingEveryZoneStillLoads) {
    TempDir dir;
    const auto world = dir.path() / "Maps" / "Big";
    profile::WorldProfile profile;
    WriteWorld(world, profile);
    const quint16 port = FreePort();
    TempDir::Write(world / "local.ini",
                   "[Connect]\r\nClient Port=" + std::to_string(port) + "\r\n");

    std::mt19937 rng(7);
    int interrupted = 0; // rounds whose kill cut a save short (a temporary file was left)
    for (int round = 0; round < 8; ++round) {
        QProcess q;
        std::string out;
        ASSERT_TRUE(StartHeadless(q, dir.path(), "Big", out)) << out;
        q.terminate(); // starts saving every zone
        if (round % 2 == 0) {
            // Wait until a save is under way (its temporary file exists), then kill.
            QElapsedTimer t;
            t.start();
            while (t.elapsed() < 5000 && q.state() == QProcess::Running && !HasTemporary(world)) {
            }
        } else {
            QThread::msleep(rng() % 150);
        }
        q.kill();
        ASSERT_TRUE(q.waitForFinished(10000));

        for (const auto& file : storage::ListZoneFiles(world)) {
            storage::ZoneReadResult r = storage::ReadZoneFile(file, profile);
            ASSERT_TRUE(r.ok()) << "round " << round << ": " << r.LogLine();
            ASSERT_EQ(r.rooms.size(), size_t(kRoomsPerZone)) << file;
        }
        ASSERT_EQ(storage::ListZoneFiles(world).size(), size_t(kZones));
        if (HasTemporary(world)) ++interrupted;
    }
    EXPECT_GT(interrupted, 0) << "no kill landed inside a save";

    // A normal start loads every zone without a fault; its stop clears what the killed saves
    // left behind and writes every room back.
    QProcess q;
    std::string out;
    ASSERT_TRUE(StartHeadless(q, dir.path(), "Big", out)) << out;
    q.terminate();
    ASSERT_TRUE(q.waitForFinished(30000));
    out += q.readAll().toStdString();
    EXPECT_EQ(q.exitCode(), 0);
    EXPECT_EQ(out.find("File: \""), std::string::npos) << "a zone failed to load:\n" << out;
    EXPECT_EQ(out.find("error: "), std::string::npos) << out;
    for (const auto& e : std::filesystem::directory_iterator(world)) {
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
        EXPECT_EQ(e.path().filename().string().find(".damaged"), std::string::npos) << e.path();
    }
    for (const auto& file : storage::ListZoneFiles(world))
        EXPECT_EQ(storage::ReadZoneFile(file, profile).rooms.size(), size_t(kRoomsPerZone));
}
