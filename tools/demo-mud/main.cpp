// quarvelin-demo-mud: a small Russian game server for trying the mapper and for its tests.
//
//   quarvelin-demo-mud --port N [--world village|region] [--mccp 0|1|2] [--msdp] [--gmcp]
//   [--flood BYTES] [--seed N] [--max-clients N]
//   quarvelin-demo-mud [--world village|region] --dump-world
//
// It listens on 127.0.0.1 only. --port 0 picks a free port; the port in use is printed as
// "listening on 127.0.0.1:PORT" on standard output.
//
// --world village (the default) is the small village of Тихая Заводь. --world region is a
// region of over three hundred rooms in six areas, with what real games do to a mapper that
// reads only text: a one-way drop, a burrow where the grid has no room for it, rooms that
// differ only by trailing blanks, a road that does not fit the village it joins, two exits of
// one room into one room, and descriptions that change with the time of day.
//
// The region keeps a clock. The game starts at 8 o'clock; every fourth command the player
// gives (any line that is not empty) moves it on by one hour before the command is carried
// out, so command 4 is done at 9 o'clock and command 48 at 20 o'clock. Day lasts from 6
// o'clock until 20 o'clock; by night some rooms print another line, or one more line, than by
// day. Each hour gives back 10 movement points (up to 150). "время" tells the hour. The
// village keeps no clock. --dump-world tells the clock and each room's text by day and by
// night.

#include "Session.h"
#include "World.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QTcpServer>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

[[noreturn]] void Usage(const char* problem) {
    std::fprintf(stderr,
                 "quarvelin-demo-mud: %s\n"
                 "usage: quarvelin-demo-mud --port N [--world village|region] [--msdp] [--gmcp] "
                 "[--mccp 0|1|2] [--flood BYTES] [--seed N] [--max-clients N]\n"
                 "       quarvelin-demo-mud [--world village|region] --dump-world\n",
                 problem);
    std::exit(2);
}

long long Number(const QStringList& args, int& i, long long low, long long high) {
    if (i + 1 >= args.size()) Usage("a number is missing");
    bool ok = false;
    const long long value = args[++i].toLongLong(&ok);
    if (!ok || value < low || value > high) Usage("a number is out of range");
    return value;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    demo::Options options;
    bool dump = false;
    bool region = false;
    int maxClients = 8;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == "--port")
            options.port = static_cast<quint16>(Number(args, i, 0, 65535));
        else if (a == "--mccp")
            options.mccp = static_cast<int>(Number(args, i, 0, 2));
        else if (a == "--flood")
            options.flood = Number(args, i, 0, 1LL << 40);
        else if (a == "--seed")
            options.seed = static_cast<unsigned>(Number(args, i, 0, 1LL << 31));
        else if (a == "--max-clients")
            maxClients = static_cast<int>(Number(args, i, 1, 1000));
        else if (a == "--world") {
            if (i + 1 >= args.size()) Usage("a world name is missing");
            const QString name = args[++i];
            if (name != "village" && name != "region") Usage("the world is village or region");
            region = name == "region";
        } else if (a == "--dump-world")
            dump = true;
        else if (a == "--msdp")
            options.msdp = true;
        else if (a == "--gmcp")
            options.gmcp = true;
        else if (a == "--help" || a == "-h")
            Usage("help");
        else
            Usage(("unknown option " + a.toStdString()).c_str());
    }

    const demo::World world = region ? demo::World::Region() : demo::World();
    if (dump) {
        const QByteArray json = world.Dump().toJson(QJsonDocument::Indented);
        std::fwrite(json.constData(), 1, static_cast<std::size_t>(json.size()), stdout);
        return 0;
    }

    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, options.port)) {
        std::fprintf(stderr, "quarvelin-demo-mud: cannot listen on 127.0.0.1:%u: %s\n",
                     options.port, qPrintable(server.errorString()));
        return 1;
    }
    std::printf("quarvelin-demo-mud: listening on 127.0.0.1:%u\n", server.serverPort());
    std::fflush(stdout);

    int clients = 0;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* socket = server.nextPendingConnection()) {
            if (clients >= maxClients) {
                socket->write(demo::Cp1251("Слишком много игроков, зайдите позже.\r\n").c_str());
                socket->disconnectFromHost();
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                continue;
            }
            ++clients;
            auto* session = new demo::Session(socket, world, options, &server);
            QObject::connect(session, &QObject::destroyed, [&clients] { --clients; });
        }
    });
    return app.exec();
}
