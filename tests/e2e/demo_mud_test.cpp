// The demo game server is the truth that map tests compare against: its world dump must be a
// consistent grid, and the rooms it prints must be byte for byte what the dump says.

#include "support/EventLoop.h"
#include "text/Cp1251.h"
#include "tracking/RoomIdentity.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringEncoder>
#include <QTcpSocket>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <tuple>

namespace {

const char kDemo[] = QUARVELIN_BINARY_DIR "/tools/demo-mud/quarvelin-demo-mud";

QJsonObject DumpWorld() {
    QProcess proc;
    proc.start(kDemo, {"--dump-world"});
    EXPECT_TRUE(proc.waitForFinished(10000));
    EXPECT_EQ(proc.exitCode(), 0);
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(proc.readAllStandardOutput(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    return doc.object();
}

// As the game sends text: Windows-1251 with the letter "я" (0xFF) doubled.
std::string Wire(const QString& text) {
    QStringEncoder encoder("windows-1251");
    const QByteArray bytes = encoder.encode(text);
    std::string out;
    for (const char c : bytes) {
        out.push_back(c);
        if (c == '\xFF') out.push_back(c);
    }
    return out;
}

// The demo server on a free port and a raw client connected to it, collecting all it receives.
struct DemoConnection {
    QProcess server;
    QTcpSocket socket;
    std::string received;

    // False (after a test failure) when the server did not start or the client could not connect.
    bool Start(QStringList extraArgs) {
        server.start(kDemo, QStringList{"--port", "0", "--mccp", "0"} + extraArgs);
        if (!server.waitForStarted(5000)) return false;
        if (!WaitFor([&] { return server.canReadLine(); }, 5000)) return false;
        const QByteArray line = server.readLine().trimmed();
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] {
            const QByteArray b = socket.readAll();
            received.append(b.constData(), static_cast<std::size_t>(b.size()));
        });
        socket.connectToHost(QHostAddress::LocalHost,
                             line.mid(line.lastIndexOf(':') + 1).toUShort());
        return socket.waitForConnected(5000);
    }
    ~DemoConnection() {
        server.kill();
        server.waitForFinished(5000);
    }
};

using Cell = std::tuple<int, int, int>;

} // namespace

TEST(DemoMud, WorldDumpIsAConsistentGridWithEveryFeatureTheMapNeeds) {
    const QJsonObject world = DumpWorld();
    const QJsonArray rooms = world["rooms"].toArray();
    std::map<int, QJsonObject> byId;
    std::map<Cell, int> byCell;
    std::set<int> levels;
    for (const auto& value : rooms) {
        const QJsonObject room = value.toObject();
        const int id = room["id"].toInt();
        const Cell cell{room["x"].toInt(), room["y"].toInt(), room["level"].toInt()};
        EXPECT_TRUE(byId.emplace(id, room).second) << "duplicate id " << id;
        EXPECT_TRUE(byCell.emplace(cell, id).second) << "two rooms in one cell, id " << id;
        levels.insert(room["level"].toInt());
    }
    EXPECT_GE(byId.size(), 30u);
    EXPECT_GE(levels.size(), 3u);
    ASSERT_TRUE(byId.count(world["start"].toInt()));

    const std::map<QString, std::tuple<int, int, int, QString>> steps = {
        {"n", {-1, 0, 0, "s"}}, {"s", {1, 0, 0, "n"}}, {"e", {0, 1, 0, "w"}},
        {"w", {0, -1, 0, "e"}}, {"u", {0, 0, 1, "d"}}, {"d", {0, 0, -1, "u"}}};
    int corridors = 0, doors = 0, deadEnds = 0, darkRooms = 0, withoutExits = 0, links = 0;
    for (const auto& [id, room] : byId) {
        const QJsonArray exits = room["exits"].toArray();
        deadEnds += exits.size() == 1;
        withoutExits += exits.isEmpty();
        darkRooms += room["dark"].toBool();
        if (!room["dark"].toBool()) {
            EXPECT_EQ(room["exitLine"].toString(),
                      "\x1b[36m[ Exits:" + room["exitList"].toString() + "]\r\n");
        }
        if (exits.isEmpty()) {
            EXPECT_EQ(room["exitList"].toString(), " None! ");
        }
        for (const auto& e : exits) {
            const QJsonObject exit = e.toObject();
            const auto& [dx, dy, dl, back] = steps.at(exit["dir"].toString());
            ASSERT_TRUE(byId.count(exit["to"].toInt())) << id;
            const QJsonObject& target = byId.at(exit["to"].toInt());
            // The target lies k cells away in the exit's direction, with empty cells between.
            const int k = std::abs(target["x"].toInt() - room["x"].toInt()) +
                          std::abs(target["y"].toInt() - room["y"].toInt()) +
                          std::abs(target["level"].toInt() - room["level"].toInt());
            ASSERT_GE(k, 1);
            EXPECT_EQ(target["x"].toInt(), room["x"].toInt() + dx * k) << id;
            EXPECT_EQ(target["y"].toInt(), room["y"].toInt() + dy * k) << id;
            EXPECT_EQ(target["level"].toInt(), room["level"].toInt() + dl * k) << id;
            for (int i = 1; i < k; ++i)
                EXPECT_FALSE(byCell.count({room["x"].toInt() + dx * i, room["y"].toInt() + dy * i,
                                           room["level"].toInt() + dl * i}))
                    << "a room stands in the corridor from " << id;
            corridors += k > 1;
            doors += exit["door"].toBool();
            ++links;
            // The way back exists and has the same door.
            bool backFound = false;
            for (const auto& b : target["exits"].toArray()) {
                const QJsonObject backExit = b.toObject();
                if (backExit["dir"].toString() == back && backExit["to"].toInt() == id) {
                    backFound = true;
                    EXPECT_EQ(backExit["door"].toBool(), exit["door"].toBool());
                }
            }
            EXPECT_TRUE(backFound) << id << " " << exit["dir"].toString().toStdString();
        }
    }
    EXPECT_GE(corridors, 2);
    EXPECT_GE(doors, 2);
    EXPECT_GE(deadEnds, 1);
    EXPECT_GE(darkRooms, 1);
    EXPECT_GE(withoutExits, 1);
    // More links than a tree of the rooms that have exits could hold: there is a loop.
    const int linked = static_cast<int>(byId.size()) - withoutExits;
    EXPECT_GT(links / 2, linked - 1);
}

TEST(DemoMud, PrintsRoomsExactlyAsTheDumpDescribesThem) {
    const QJsonObject world = DumpWorld();
    std::map<int, QJsonObject> byId;
    for (const auto& value : world["rooms"].toArray())
        byId.emplace(value.toObject()["id"].toInt(), value.toObject());

    DemoConnection demo;
    ASSERT_TRUE(demo.Start({}));
    QTcpSocket& socket = demo.socket;
    std::string& received = demo.received;
    auto prompts = [&] {
        std::size_t n = 0;
        for (std::size_t at = received.find("> \xFF\xF9"); at != std::string::npos;
             at = received.find("> \xFF\xF9", at + 1))
            ++n;
        return n;
    };
    ASSERT_TRUE(WaitFor([&] { return prompts() == 1; }, 10000));

    // A walk through the long corridor, down into the cellar and into the dark corner.
    int room = world["start"].toInt();
    for (const char* move : {"w", "w", "e", "e", "s", "s", "d", "e", "e"}) {
        for (const auto& e : byId.at(room)["exits"].toArray())
            if (e.toObject()["dir"].toString() == move) room = e.toObject()["to"].toInt();
        const std::size_t before = received.size();
        const std::size_t promptsBefore = prompts();
        socket.write(move);
        socket.write("\r\n");
        ASSERT_TRUE(WaitFor([&] { return prompts() > promptsBefore; }, 10000)) << move;
        const std::string answer = received.substr(before);
        const QJsonObject& r = byId.at(room);
        std::string expected;
        if (r["dark"].toBool()) {
            expected = Wire(world["darkText"].toString() + "\r\n");
        } else {
            expected = "\x1b[1;36m" + Wire(r["name"].toString()) + "\x1b[0;37m\r\n" +
                       Wire(r["description"].toString()) + "\r\n" + Wire(r["exitLine"].toString());
        }
        EXPECT_NE(answer.find(expected), std::string::npos)
            << "room " << room << " after " << move << ":\n"
            << answer;
    }
}

// The demo tells the room's identity out of band when started so and asked: MSDP's ROOM after
// REPORT ROOM, GMCP's Room.Info once Room is supported; never for the dark corner, never
// without the switch. The payloads read with the program's own parsers.
TEST(DemoMud, TellsTheRoomsIdentityOverMsdpAndGmcpWhenAsked) {
    const QJsonObject world = DumpWorld();
    std::map<int, QJsonObject> byVnum;
    std::set<QString> areas;
    for (const auto& value : world["rooms"].toArray()) {
        byVnum.emplace(value.toObject()["vnum"].toInt(), value.toObject());
        areas.insert(value.toObject()["area"].toString());
    }
    EXPECT_GE(areas.size(), 2u);

    for (const char* protocol : {"msdp", "gmcp", "none"}) {
        const bool msdp = std::string(protocol) == "msdp", gmcp = std::string(protocol) == "gmcp";
        QStringList args;
        if (msdp) args << "--msdp";
        if (gmcp) args << "--gmcp";
        if (!msdp && !gmcp)
            args << "--msdp"
                 << "--gmcp";
        DemoConnection demo;
        ASSERT_TRUE(demo.Start(args));
        QTcpSocket& socket = demo.socket;
        std::string& received = demo.received;
        // "none": a client that refuses both offers and asks anyway gets nothing.
        const char verb = std::string(protocol) == "none" ? '\xFE' : '\xFD';
        const std::string option = gmcp ? "\xC9" : "\x45";
        std::string hello = std::string("\xFF") + verb + option + "\xFF\xFA" + option;
        hello += gmcp ? std::string("Core.Supports.Set [ \"Room 1\" ]")
                      : std::string("\x01REPORT\x02ROOM");
        hello += "\xFF\xF0";
        socket.write(hello.data(), static_cast<qint64>(hello.size()));
        for (const char* move : {"n", "s", "s", "s", "d", "e", "e"}) {
            socket.write(move);
            socket.write("\r\n");
        }
        // The identities, in order: the start after the request, then every lit room.
        std::vector<std::string> ids, areasSeen;
        WaitFor(
            [&] {
                ids.clear();
                areasSeen.clear();
                const std::string head = "\xFF\xFA" + option;
                for (std::size_t at = received.find(head); at != std::string::npos;
                     at = received.find(head, at + 1)) {
                    const std::size_t end = received.find("\xFF\xF0", at);
                    if (end == std::string::npos) break;
                    std::string payload;
                    for (std::size_t i = at + 3; i < end; ++i) {
                        payload.push_back(received[i]);
                        if (received[i] == '\xFF') ++i; // doubled inside
                    }
                    const auto room = gmcp ? tracking::ParseGmcpRoomInfo(payload)
                                           : tracking::ParseMsdpRoom(payload);
                    if (!room) continue;
                    ids.push_back(room->id);
                    areasSeen.push_back(room->area);
                }
                return ids.size() >= 7;
            },
            std::string(protocol) == "none" ? 1500 : 10000);
        if (std::string(protocol) == "none") {
            EXPECT_TRUE(ids.empty()) << ids.size();
        } else {
            // Start, north, back, south twice, down: the cellar; east, east: the dark corner
            // sends nothing, so seven identities for eight rooms shown.
            ASSERT_EQ(ids.size(), 7u) << protocol;
            EXPECT_EQ(ids[0], std::to_string(world["start"].toInt() + 6000));
            for (std::size_t i = 0; i < ids.size(); ++i) {
                const QJsonObject& r = byVnum.at(std::stoi(ids[i]));
                EXPECT_FALSE(r["dark"].toBool());
                EXPECT_EQ(text::ToUnicode(areasSeen[i]), r["area"].toString()) << ids[i];
            }
            EXPECT_NE(areasSeen.front(), areasSeen.back()) << "the walk crosses into another area";
        }
    }
}
