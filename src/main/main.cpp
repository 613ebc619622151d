// Quarvelin: an automatic mapper for text MUD games, running as a telnet relay between the
// player's MUD client and the game server.

#include "app/HeadlessRunner.h"
#include "app/SignalWatcher.h"
#include "app/core/DataDir.h"
#include "app/core/LearnProfileCommand.h"
#include "relay/Relay.h"
#include "text/Cp1251.h"
#include "view/map/RenderZone.h"
#include "view/window/LanguageTemplate.h"
#include "view/window/QuarvelinForm.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

namespace {

struct CommandLine {
    bool headless = false;
    app::Session::Options options;
    // --render: a picture of one zone's level instead of the program.
    std::optional<std::string> renderZone;
    int renderLevel = 0;
    std::string renderOut;
    // --write-language: a complete language file instead of the program.
    std::string languageOut;
    // --replay: a recorded session run through tracking instead of the program.
    std::string replayFile;
    // --learn-profile: the profile learnt from a session file instead of the program.
    std::string learnFile;
};

const char kHelp[] =
    "Usage: quarvelin [options]\n"
    "Automatic mapper for text MUD games: point your MUD client at 127.0.0.1 and the\n"
    "port of the world's profile (4999 by default).\n\n"
    "Options:\n"
    "  --headless        run without a window (relaying and mapping only)\n"
    "  --data-dir DIR    keep settings, language file and maps in DIR\n"
    "  --world NAME      load this world instead of the one in the settings\n"
    "                    (headless: a missing world directory is created)\n"
    "  --render ZONE     write a picture of the zone's level painted with the world's\n"
    "                    skin, and exit; needs --world and --out, no network, no display\n"
    "  --out FILE        with --render: the picture to write (FILE.png); with\n"
    "                    --learn-profile: the profile to write the learnt keys into\n"
    "                    (an existing one keeps its other keys)\n"
    "  --level N         with --render: the level to paint (default 0)\n"
    "  --write-language FILE  write a language file with every text of every window\n"
    "                    (the built-in Russian texts), to translate, and exit\n"
    "  --record FILE     record the session (both directions, decoded) to FILE\n"
    "  --replay FILE     run a recorded session through recognition and tracking on the\n"
    "                    world (no network), save the world and exit\n"
    "  --learn-profile FILE  learn a world's profile from a session file in which you\n"
    "                    looked and walked a few rooms, write it (standard output\n"
    "                    without --out) and exit; what cannot be told goes to standard\n"
    "                    error. Exit status 0: learnt; 1: nothing that recognises rooms\n"
    "                    could be learnt; 2: not a readable session file; 3: learnt from\n"
    "                    the part before the damage of a damaged file; 4: cannot write\n"
    "  --version         print the version and exit\n"
    "  -h, --help        print this help and exit\n\n"
    "The data directory (quarvelin.ini, language.ini, tkdebug.log, Maps/) is --data-dir,\n"
    "else the program's own directory when it holds quarvelin.ini or Maps (portable),\n"
    "else $XDG_DATA_HOME/Quarvelin/Quarvelin (~/.local/share/...). A world without its\n"
    "own local.ini uses the one in the data directory, else the template installed in\n"
    "share/quarvelin beside the program.\n"
    "SIGINT or SIGTERM saves the world and exits, with or without a window.\n";

// Parsed before any Qt application exists, so that --help and --version need no display.
bool Parse(int argc, char** argv, CommandLine& cl, std::string& dataDir, int& exitCode) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "quarvelin: %s needs a value\n", a.c_str());
                return false;
            }
            out = argv[++i];
            return true;
        };
        if (a == "--help" || a == "-h") {
            std::fputs(kHelp, stdout);
            exitCode = 0;
            return false;
        } else if (a == "--version") {
            std::printf("Quarvelin %s\n", relay::VersionText().c_str());
            exitCode = 0;
            return false;
        } else if (a == "--headless") {
            cl.headless = true;
        } else if (a == "--data-dir") {
            if (!value(dataDir)) return exitCode = 2, false;
        } else if (a == "--render") {
            std::string zone;
            if (!value(zone)) return exitCode = 2, false;
            bool ok = false;
            cl.renderZone = text::FromUnicode(QString::fromLocal8Bit(zone.c_str()), &ok);
            if (!ok) {
                std::fprintf(stderr,
                             "quarvelin: the zone name cannot be written in Windows-1251: %s\n",
                             zone.c_str());
                return exitCode = 2, false;
            }
        } else if (a == "--level") {
            std::string level;
            if (!value(level)) return exitCode = 2, false;
            char* end = nullptr;
            const long n = std::strtol(level.c_str(), &end, 10);
            if (level.empty() || *end || n < -100000 || n > 100000) {
                std::fprintf(stderr, "quarvelin: --level needs a whole number: %s\n",
                             level.c_str());
                return exitCode = 2, false;
            }
            cl.renderLevel = static_cast<int>(n);
        } else if (a == "--out") {
            if (!value(cl.renderOut)) return exitCode = 2, false;
        } else if (a == "--write-language") {
            if (!value(cl.languageOut)) return exitCode = 2, false;
        } else if (a == "--record") {
            std::string file;
            if (!value(file)) return exitCode = 2, false;
            cl.options.recordFile = file;
        } else if (a == "--replay") {
            if (!value(cl.replayFile)) return exitCode = 2, false;
            cl.headless = true;
            cl.options.replay = true;
        } else if (a == "--learn-profile") {
            if (!value(cl.learnFile)) return exitCode = 2, false;
        } else if (a == "--world") {
            std::string world;
            if (!value(world)) return exitCode = 2, false;
            bool ok = false;
            cl.options.world = text::FromUnicode(QString::fromLocal8Bit(world.c_str()), &ok);
            if (!ok || cl.options.world.empty()) {
                std::fprintf(stderr,
                             "quarvelin: the world name cannot be written in Windows-1251: %s\n",
                             world.c_str());
                return exitCode = 2, false;
            }
        } else {
            std::fprintf(stderr, "quarvelin: unknown option %s (see --help)\n", a.c_str());
            return exitCode = 2, false;
        }
    }
    if (cl.renderZone && (cl.options.world.empty() || cl.renderOut.empty())) {
        std::fprintf(stderr, "quarvelin: --render needs --world NAME and --out FILE.png\n");
        return exitCode = 2, false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    CommandLine cl;
    std::string dataDir;
    int exitCode = 0;
    if (!Parse(argc, argv, cl, dataDir, exitCode)) return exitCode;

    if (!cl.learnFile.empty())
        return app::LearnProfileCommand(std::filesystem::path(cl.learnFile),
                                        std::filesystem::path(cl.renderOut));

    if (cl.renderZone) {
        // Painting needs no screen.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication gapp(argc, argv);
        view::RenderRequest rq;
        rq.dataDir =
            app::ResolveDataDir(dataDir, QCoreApplication::applicationDirPath().toStdString());
        rq.world = cl.options.world;
        rq.zone = *cl.renderZone;
        rq.level = cl.renderLevel;
        rq.out = cl.renderOut;
        return view::RenderZone(rq);
    }

    if (!cl.languageOut.empty()) {
        // The windows are opened, never shown: no screen is needed.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        return view::WriteLanguageTemplate(std::filesystem::path(cl.languageOut));
    }

    std::unique_ptr<QCoreApplication> qapp;
    if (cl.headless)
        qapp = std::make_unique<QCoreApplication>(argc, argv);
    else
        qapp = std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName("Quarvelin");
    QCoreApplication::setOrganizationName("Quarvelin");

    cl.options.dataDir =
        app::ResolveDataDir(dataDir, QCoreApplication::applicationDirPath().toStdString());
    cl.options.sharedDataDir =
        app::SharedDataDir(QCoreApplication::applicationDirPath().toStdString());
    cl.options.createMissingWorld = cl.headless;

    if (cl.options.replay) {
        app::HeadlessRunner runner(cl.options);
        return runner.Replay(cl.replayFile);
    }
    if (cl.headless) {
        app::HeadlessRunner runner(cl.options);
        if (!runner.Start()) return 1;
        return QCoreApplication::exec();
    }
    view::TQuarvelinForm form(cl.options);
    // Ctrl+C in the terminal or a logout closes the window as its own close button does, which
    // saves the world.
    app::SignalWatcher stopOnSignal([&form] { form.CloseOnSignal(); });
    stopOnSignal.Install();
    form.show();
    return QApplication::exec();
}
