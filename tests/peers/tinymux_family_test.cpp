// The TinyMUX family on the real server: the town of tests/data/families is built in a fresh
// TinyMUX with the shipped room parent, and a player walks walk.txt through the headless
// program with the shipped profile data/profiles/tinymux.ini. The map must be the town: every
// room once, every walked exit both ways. The session is recorded; QUARVELIN_FAMILY_SESSIONS=DIR
// writes it to DIR/tinymux/ (the committed sessions were made so).

#include "TinyMux.h"
#include "families/FamilyReplay.h"
#include "families/FamilyStyle.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using namespace families;

const fs::path kParent =
    fs::path(QUARVELIN_SOURCE_DIR) / "data" / "examples" / "tinymux" / "room-parent.mux";

std::string ExitNames(char dir) {
    switch (dir) {
    case 'n':
        return "North;n";
    case 's':
        return "South;s";
    case 'e':
        return "East;e";
    case 'w':
        return "West;w";
    case 'u':
        return "Up;u";
    }
    return "Down;d";
}

// Builds the town as its wizard would: the room parent, the rooms with their descriptions and
// things, the exits with their ways back, and the player "Walker" at the town's start.
::testing::AssertionResult Build(quint16 port, const Town& town) {
    MuxLogin wizard(port);
    if (!wizard.Connect("wizard", "potrzebie"))
        return ::testing::AssertionFailure() << "no wizard login:\n" << wizard.Received();
    auto send = [&](const std::string& command) { return wizard.Must(command); };
    try {
        const int parent = wizard.MakeRoomParent(kParent);
        std::map<int, int> dbref;
        for (const auto& [id, r] : town.rooms) {
            dbref[id] = MuxLogin::CreatedRoom(send("@dig " + r.name.en));
            if (!dbref[id]) return ::testing::AssertionFailure() << "no room " << r.name.en;
            const std::string ref = "#" + std::to_string(dbref[id]);
            std::string desc;
            for (const std::string& line : r.desc)
                desc += (desc.empty() ? "" : "%r") + line;
            send("@desc " + ref + "=" + desc);
            send("@parent " + ref + "=" + "#" + std::to_string(parent));
            send("@teleport me=" + ref);
            for (const auto& things : {r.objs, r.mobs})
                for (const Said& thing : things) {
                    send("@create " + thing.en.substr(0, thing.en.size() - 1));
                    send("drop " + thing.en.substr(0, thing.en.size() - 1));
                }
        }
        for (const auto& [id, r] : town.rooms)
            for (const auto& [dir, to] : r.exits) {
                if (to < id) continue; // opened with its way back from the other side
                send("@teleport me=#" + std::to_string(dbref[id]));
                const std::string answer =
                    send("@open " + ExitNames(dir) + "=#" + std::to_string(dbref[to]) + "," +
                         ExitNames(Opposite(dir)));
                if (answer.find("Linked.") == std::string::npos)
                    return ::testing::AssertionFailure() << "@open -> " << answer;
            }
        const std::string start = "#" + std::to_string(dbref[town.start]);
        send("@pcreate Walker=secret");
        send("@link *Walker=" + start);
        send("@teleport *Walker=" + start);
        send("@teleport me=#" + std::to_string(parent));
    } catch (const std::exception& e) {
        return ::testing::AssertionFailure() << e.what() << "\n" << wizard.Received();
    }
    return ::testing::AssertionSuccess();
}

// The player's telnet client: sends a line and waits for what its answer must hold.
class Player {
public:
    explicit Player(quint16 port) {
        QObject::connect(&socket_, &QTcpSocket::readyRead,
                         [this] { received_ += socket_.readAll().toStdString(); });
        socket_.connectToHost(QHostAddress::LocalHost, port);
    }
    bool Send(const std::string& line, const std::string& expected) {
        const std::size_t from = received_.size();
        const std::string bytes = line + "\r\n";
        socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return WaitFor([&] { return received_.find(expected, from) != std::string::npos; }, 10000);
    }
    const std::string& Received() const { return received_; }

private:
    QTcpSocket socket_;
    std::string received_;
};

} // namespace

TEST(TinyMuxFamily, TheTownBuiltInTinyMuxIsMappedWithTheShippedProfile) {
    if (!TinyMux::Installed()) GTEST_SKIP() << "tinymux is not installed";
    const Town town = Town::Load(DataDir() / "world.txt");
    // TinyMUX has no doors to open and no leader to follow.
    const Walk walk = Walk::Load(DataDir() / "walk.txt", town, false, false);
    TempDir dir;
    const quint16 muxPort = FreePort();
    TinyMux mux(dir.path(), muxPort);
    ASSERT_TRUE(mux.Running());
    ASSERT_TRUE(Build(muxPort, town));

    const fs::path data = dir.path() / "data";
    const fs::path world = data / "Maps" / "Town";
    const quint16 clientPort = FreePort();
    TempDir::Write(world / "local.ini", TempDir::Read(ShippedProfile("tinymux")));
    {
        storage::IniFile ini(world / "local.ini");
        ASSERT_TRUE(ini.WriteInteger("Connect", "Client Port", clientPort));
        ASSERT_TRUE(ini.WriteInteger("Connect", "Server Port", muxPort));
    }
    TempDir::Write(data / "quarvelin.ini", "[Options]\r\nDebugActiv=1\r\n");
    const fs::path session = dir.path() / "walk.session";
    QProcess quarvelin;
    quarvelin.setProcessChannelMode(QProcess::MergedChannels);
    quarvelin.start(QuarvelinBinary(),
                    {"--headless", "--data-dir", QString::fromStdString(data.string()), "--world",
                     "Town", "--record", QString::fromStdString(session.string())});
    std::string output;
    ASSERT_TRUE(WaitFor(
        [&] {
            output += quarvelin.readAll().toStdString();
            return output.find("listening: ") != std::string::npos;
        },
        30000))
        << output;
    {
        Player player(clientPort);
        const Room& first = town.rooms.at(town.start);
        ASSERT_TRUE(player.Send("connect Walker secret", "<< " + first.name.en + " >>"))
            << player.Received();
        for (const auto& send : walk.sends)
            for (const Step& step : send) {
                const std::string expected = step.kind == Step::Refused
                                                 ? std::string("Huh?")
                                                 : "<< " + town.rooms.at(step.to).name.en + " >>";
                ASSERT_TRUE(player.Send(step.command, expected)) << step.command << "\n"
                                                                 << player.Received();
            }
        EXPECT_EQ(player.Received().find("Tracing now \x1b[1;31mOFF"), std::string::npos)
            << text::ToUnicode(TempDir::Read(data / "tkdebug.log")).toStdString();
        ASSERT_TRUE(player.Send("QUIT", "")) << player.Received();
    }
    quarvelin.terminate();
    ASSERT_TRUE(quarvelin.waitForFinished(20000));
    ASSERT_EQ(quarvelin.exitCode(), 0) << output;

    const SavedMap saved = SavedMap::Load(world);
    const WalkFigures f = CheckWalk(PlanOf(walk), saved, saved.FirstRoom());
    EXPECT_EQ(f.gameRooms, static_cast<int>(town.rooms.size()));
    EXPECT_EQ(f.roomsRight, f.gameRooms) << f.Summary();
    EXPECT_EQ(f.linksRight, f.walkedExits) << f.Summary();
    EXPECT_EQ(f.mapRooms, f.gameRooms) << f.Summary();
    EXPECT_EQ(f.firstWrong, -1) << f.Summary();

    const std::string recorded = TempDir::Read(session);
    if (const char* out = std::getenv("QUARVELIN_FAMILY_SESSIONS")) {
        TempDir::Write(fs::path(out) / "tinymux" / "walk.session", recorded);
        // The login, the look and the next five commands.
        TempDir::Write(fs::path(out) / "tinymux" / "look.session",
                       CutSession(recorded, 1 + kLookSends));
    }
}
