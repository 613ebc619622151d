// Either end dying at the worst moment: in the middle of a room block, in the middle of a
// compressed stream, during a speedwalk. Quarvelin keeps running, maps nothing that was cut
// off, and sends nothing stale to the next connection.

#include "RoadRig.h"

#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string W(const char* utf8) {
    return text::FromUnicode(QString::fromUtf8(utf8));
}

std::vector<std::string> Road() {
    std::vector<std::string> names;
    for (int i = 0; i <= 24; ++i)
        names.push_back("Road " + std::to_string(i));
    return names;
}

const std::string kIacWillCompress2 = "\xff\xfb\x56";
const std::string kIacDoCompress2 = "\xff\xfd\x56";
const std::string kCompressStart = "\xff\xfa\x56\xff\xf0";

} // namespace

TEST(FaultsE2e, ServerDyingInARoomBlockOrACompressedStreamLeavesNoTrace) {
    RoadRig rig;
    ASSERT_TRUE(rig.Start()) << rig.output;

    // A room block cut off after its name and half its description.
    {
        ScriptedClient client(rig.clientPort);
        ASSERT_TRUE(client.Connected());
        ASSERT_TRUE(rig.game.WaitConnections(1));
        ASSERT_TRUE(client.Send({"look"})) << rig.output;
        rig.game.onMove = [&](FakeGame::Connection&) {
            rig.game.Send("\x1b[1;36mRoad 1\r\nDesc of ro");
            rig.game.Die();
            return false;
        };
        client.socket.write("e\r\n");
        ASSERT_TRUE(WaitDisconnected(client.socket)) << "the client stays connected to nothing";
        EXPECT_NE(client.received.find("Road 1\r\nDesc of ro"), std::string::npos);
    }
    ASSERT_TRUE(rig.Running());
    rig.game.onMove = nullptr;

    // A compressed stream cut off in its middle.
    {
        ScriptedClient client(rig.clientPort);
        ASSERT_TRUE(client.Connected());
        ASSERT_TRUE(rig.game.WaitConnections(2));
        ASSERT_TRUE(client.Send({"look"}));
        rig.game.Send(kIacWillCompress2);
        ASSERT_TRUE(WaitFor([&] {
            return rig.game.Latest()->received.find(kIacDoCompress2) != std::string::npos;
        }));
        std::string rooms;
        for (int i = 1; i <= 24; ++i)
            rooms += RoadRoom(i, 24);
        QByteArray packed = qCompress(QByteArray::fromStdString(rooms)).mid(4); // zlib stream
        rig.game.answer = false;
        client.socket.write("e\r\n");
        rig.game.Send(kCompressStart + packed.left(packed.size() / 2).toStdString());
        Pump(300);
        rig.game.Die();
        ASSERT_TRUE(WaitDisconnected(client.socket));
        // What was inflated before the cut reached the client as plain text.
        EXPECT_NE(client.received.find("Road 1\r\n"), std::string::npos);
        rig.game.answer = true;
    }
    ASSERT_TRUE(rig.Running());

    // The next connection is a fresh, uncompressed game, tracked from the first look.
    ScriptedClient client(rig.clientPort);
    ASSERT_TRUE(client.Connected());
    ASSERT_TRUE(rig.game.WaitConnections(3));
    ASSERT_TRUE(client.Send({"look"}));
    ASSERT_TRUE(client.Send({"e", "e"}));
    EXPECT_NE(client.received.find("Road 2"), std::string::npos);
    ASSERT_TRUE(rig.Stop()) << rig.output;
    std::string selected;
    EXPECT_EQ(rig.SavedRooms(&selected), Road()) << "a cut-off room was mapped";
    EXPECT_EQ(selected, "Road 2");
}

TEST(FaultsE2e, SpeedwalkEndsWhenTheServerOrTheClientDies) {
    RoadRig rig(/*speedWalkLength=*/5);
    ASSERT_TRUE(rig.Start()) << rig.output;

    // The server dies in the second burst of a run to the end of the road.
    {
        ScriptedClient client(rig.clientPort);
        ASSERT_TRUE(client.Connected());
        ASSERT_TRUE(rig.game.WaitConnections(1));
        ASSERT_TRUE(client.Send({"look"}));
        rig.game.onMove = [&](FakeGame::Connection& c) {
            if (c.moves < 7) return true;
            rig.game.Die();
            return false;
        };
        client.SendQuiet(W("гоу end"));
        ASSERT_TRUE(WaitDisconnected(client.socket)) << client.received;
        EXPECT_EQ(client.Count("Speedwalk sent"), 2u);
    }
    ASSERT_TRUE(rig.Running());
    ASSERT_EQ(rig.game.at, 6);
    rig.game.onMove = nullptr;

    // The next connection gets nothing of the old run: not at once, not once tracing is on
    // again (the clear command starts it without a look), not after a look.
    {
        ScriptedClient client(rig.clientPort);
        ASSERT_TRUE(client.Connected());
        ASSERT_TRUE(rig.game.WaitConnections(2));
        FakeGame::Connection* game = rig.game.Latest();
        Pump(500);
        EXPECT_TRUE(game->lines.empty()) << game->lines.front();
        client.SendQuiet(W("очистить"));
        rig.game.Send("You feel refreshed.\r\n");
        Pump(500);
        EXPECT_EQ(game->moves, 0) << "the rest of the old run went to the new connection";
        ASSERT_TRUE(client.Send({"look"}));
        Pump(1000);
        EXPECT_EQ(game->moves, 0) << "the rest of the old run went to the new connection";
        EXPECT_EQ(rig.game.at, 6);

        // The client dies right after a run back to the start began: the run ends there.
        rig.game.onMove = [&](FakeGame::Connection&) {
            client.socket.abort();
            return true;
        };
        client.SendQuiet(W("гоу start"));
        ASSERT_TRUE(WaitFor([&] { return game->closed; }))
            << "the server connection outlived the client";
        Pump(500);
        EXPECT_LE(game->moves, 5) << "more than the first burst went out";
    }
    ASSERT_TRUE(rig.Running());
    rig.game.onMove = nullptr;
    const int at = rig.game.at;

    ScriptedClient client(rig.clientPort);
    ASSERT_TRUE(client.Connected());
    ASSERT_TRUE(rig.game.WaitConnections(3));
    FakeGame::Connection* game = rig.game.Latest();
    ASSERT_TRUE(client.Send({"look"}));
    Pump(1000);
    EXPECT_EQ(game->moves, 0);
    EXPECT_EQ(rig.game.at, at);
    ASSERT_TRUE(rig.Stop()) << rig.output;
    std::string selected;
    EXPECT_EQ(rig.SavedRooms(&selected), Road());
    EXPECT_EQ(selected, "Road " + std::to_string(at));
}

namespace {

// Quarvelin must meet the permissions of the world's directory: as root, it runs as "nobody"
// in a data directory that "nobody" owns.
QStringList AsOrdinaryUser(const fs::path& dir) {
    if (::geteuid() != 0) return {};
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (::lchown(e.path().c_str(), 65534, 65534) != 0) return {};
    if (::lchown(dir.c_str(), 65534, 65534) != 0) return {};
    return {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
}

void SetWritable(const fs::path& dir, bool writable) {
    fs::permissions(dir, fs::perms::owner_write,
                    writable ? fs::perm_options::add : fs::perm_options::remove);
}

} // namespace

TEST(FaultsE2e, ReadOnlyWorldDirectoryKeepsTheMapUntilItCanBeSaved) {
    if (::geteuid() == 0 && !QFile::exists("/usr/bin/setpriv"))
        GTEST_SKIP() << "running as root without setpriv";
    RoadRig rig;
    const fs::path world = rig.dir.path() / "Maps" / "Road";
    const std::string before = TempDir::Read(world / "Road.tk2");
    const QStringList wrapper = AsOrdinaryUser(rig.dir.path());
    size_t connections = 0;
    for (bool giveUp : {true, false}) {
        ASSERT_TRUE(rig.Start(wrapper)) << rig.output;
        // The player stays connected: the room he stands in is saved as selected.
        auto client = std::make_unique<ScriptedClient>(rig.clientPort);
        ASSERT_TRUE(client->Connected());
        ASSERT_TRUE(rig.game.WaitConnections(++connections));
        ASSERT_TRUE(client->Send({"look"}));
        ASSERT_TRUE(client->Send({"e"}));
        SetWritable(world, false);
        rig.quarvelin.terminate();
        const std::string told = "The map could not be saved.";
        ASSERT_TRUE(WaitFor([&] {
            rig.output += rig.quarvelin.readAll().toStdString();
            return rig.output.find(told) != std::string::npos;
        })) << rig.output;
        EXPECT_NE(rig.output.find("error: Папка мира закрыта для записи: "), std::string::npos)
            << rig.output;
        Pump(1000);
        ASSERT_TRUE(rig.Running()) << "exited with the map unsaved";
        EXPECT_EQ(TempDir::Read(world / "Road.tk2"), before);

        if (giveUp) {
            // Stopped once more: out without saving, and says so.
            ASSERT_FALSE(rig.Stop());
            EXPECT_EQ(rig.quarvelin.exitCode(), 1);
            EXPECT_NE(rig.output.find("stopped without saving"), std::string::npos);
            EXPECT_EQ(TempDir::Read(world / "Road.tk2"), before);
            SetWritable(world, true);
            rig.output.clear();
            rig.game.at = 0;
            continue;
        }
        // Writable again: saved within the retry interval, then out.
        SetWritable(world, true);
        ASSERT_TRUE(rig.quarvelin.waitForFinished(15000));
        rig.output += rig.quarvelin.readAll().toStdString();
        EXPECT_EQ(rig.quarvelin.exitCode(), 0) << rig.output;
        std::string selected;
        EXPECT_EQ(rig.SavedRooms(&selected), Road());
        EXPECT_EQ(selected, "Road 1");
    }
}
