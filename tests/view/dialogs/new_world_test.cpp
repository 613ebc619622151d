// A new world made for a game: the world chooser's Create mode offers the program's template and
// the games' profiles (the player's own before the installed ones), fills the server in from the
// profile chosen, and the main window makes the world with that profile and server.

#include "files/GameProfiles.h"
#include "files/IniFile.h"
#include "files/Language.h"
#include "support/TempDir.h"
#include "text/Cp1251.h"
#include "view/dialogs/NewWorldGameBox.h"
#include "view/dialogs/SaveLoadForm.h"
#include "view/window/QuarvelinForm.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

std::string Profile(const std::string& server, int port, const std::string& nameStart) {
    return "[Connect]\r\nClient Port=4999\r\nServer Name=" + server +
           "\r\nServer Port=" + std::to_string(port) +
           "\r\n[Messages]\r\nRoomNameStart=" + nameStart + "\r\n";
}

QStringList Names(const QComboBox& box) {
    QStringList names;
    for (int i = 0; i < box.count(); ++i)
        names << box.itemText(i);
    return names;
}

} // namespace

TEST(NewWorld, TheChooserOffersTheGamesProfilesWithTheirServers) {
    TempDir dir;
    const fs::path own = dir.path() / "profiles", installed = dir.path() / "share" / "profiles";
    TempDir::Write(own / "rom.ini", Profile("rom.example.org", 9000, "#$1B[0;36m"));
    TempDir::Write(own / "MyGame.INI", Profile("my.example.org", 7000, "<<"));
    TempDir::Write(own / "notes.txt", "not a profile");
    TempDir::Write(installed / "rom.ini", Profile("installed.example.org", 4000, "x"));
    TempDir::Write(installed / "tbamud.ini", Profile("", 4000, "#$1B[0;33m"));
    TempDir::Write(dir.path() / "local.ini", Profile("127.0.0.1", 4000, "#$1B[1;36m"));
    const auto profiles = storage::ListGameProfiles({own, installed});
    ASSERT_EQ(profiles.size(), 3u);
    EXPECT_EQ(profiles[1].file, own / "rom.ini"); // the player's own wins

    storage::Language texts(dir.path() / "language.ini");
    int style = 1;
    view::TSaveLoadForm f(texts, style, dir.path() / "Maps", {});
    f.SetGameProfiles(dir.path() / "local.ini", profiles);
    f.SetMode(storage::ChooserMode::Create, text::W("Новый мир"));
    view::TNewWorldGameBox& game = *f.GameBox();
    EXPECT_TRUE(game.isVisibleTo(&f));
    EXPECT_EQ(Names(*game.Profiles()),
              QStringList({Q("Шаблон программы (local.ini)"), "tbaMUD",
                           Q("ROM и QuickMUD (Merc с цветом ANSI)"), "MyGame"}));
    // The template is chosen at first, as a world made without a choice had it.
    EXPECT_EQ(game.Server()->text(), "127.0.0.1");
    EXPECT_EQ(game.Port()->text(), "4000");
    EXPECT_FALSE(game.Hint()->text().isEmpty());

    game.Select("rom");
    EXPECT_EQ(game.Server()->text(), "rom.example.org");
    EXPECT_EQ(game.Port()->text(), "9000");
    EXPECT_TRUE(game.Hint()->text().contains("autoexit"));
    game.Server()->setText("  mud.example.net ");
    game.Port()->setText("4242");
    std::optional<storage::NewWorldGame> chosen = f.Game();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->profile, own / "rom.ini");
    EXPECT_EQ(chosen->server.name, "mud.example.net");
    EXPECT_EQ(chosen->server.port, 4242);
    // A port the field cannot hold is the profile's.
    game.Port()->setText("");
    EXPECT_EQ(f.Game()->server.port, 9000);

    // Loading or saving a world has no game to choose.
    f.SetMode(storage::ChooserMode::Load, "");
    EXPECT_FALSE(game.isVisibleTo(&f));
    EXPECT_FALSE(f.Game());
}

TEST(NewWorld, TheMainWindowMakesTheWorldWithTheChosenProfileAndServer) {
    TempDir dir;
    TempDir::Write(dir.path() / "Maps" / "First" / "local.ini", "[Connect]\r\nClient Port=0\r\n");
    // The shipped profile, listening where the system chooses (tests run side by side).
    const fs::path shipped = fs::path(QUARVELIN_SOURCE_DIR) / "data" / "profiles" / "rom.ini";
    std::string rom = TempDir::Read(shipped);
    rom.replace(rom.find("Client Port=4999"), 16, "Client Port=0");
    TempDir::Write(dir.path() / "profiles" / "rom.ini", rom);
    view::TQuarvelinForm form({dir.path(), "First", false});
    form.show();
    QApplication::processEvents();
    ASSERT_EQ(form.Session().WorldName(), "First");

    QTimer::singleShot(0, [] {
        auto* f = qobject_cast<view::TSaveLoadForm*>(QApplication::activeModalWidget());
        ASSERT_NE(f, nullptr);
        f->WorldNameEdit()->setText("Rom");
        f->GameBox()->Select("rom");
        f->GameBox()->Server()->setText("rom.example.org");
        f->GameBox()->Port()->setText("9000");
        f->ButtonOk()->click();
    });
    form.Action("nNewWorld")->trigger();
    ASSERT_EQ(form.Session().WorldName(), "Rom");

    // The world's profile is the game's, with the server typed; the world loaded it.
    const fs::path profile = dir.path() / "Maps" / "Rom" / "local.ini";
    storage::IniFile ini(profile);
    EXPECT_EQ(ini.ReadString("Connect", "Server Name", ""), "rom.example.org");
    EXPECT_EQ(ini.ReadInteger("Connect", "Server Port", 0), 9000);
    EXPECT_EQ(ini.ReadString("Messages", "AutoexitStart", ""), "[Exits:");
    EXPECT_EQ(form.Session().Profile().RoomNameStart, "#$1B[0;36m");
    EXPECT_EQ(form.Session().Profile().ExitWords[0], "north");
    form.close();
}
