#include "files/AppSettings.h"
#include "map/MapModel.h"
#include "profile/WorldProfile.h"
#include "relay/ClientIntake.h"
#include "text/Cp1251.h"
#include "tracking/TrackingState.h"

#include <gtest/gtest.h>

namespace {

std::string W8(const char* utf8) {
    return text::FromUnicode(QString::fromUtf8(utf8));
}

struct IntakeRig : relay::IntakeHost {
    profile::WorldProfile profile;
    storage::AppSettings settings;
    map::NullMapUi ui;
    map::MapModel map{profile, ui};
    tracking::TrackingState state;
    relay::ClientIntake intake{map, profile, settings, state, *this};

    std::string server, client;
    std::vector<bool> modes;
    int speedwalks = 0;
    std::vector<std::string> searches, zones, aliases;

    void SendToServer(const std::string& b) override { server += b; }
    void SendToClient(const std::string& b) override { client += b; }
    void ModeClick(bool on) override { modes.push_back(on); }
    void StartSpeedwalk() override { ++speedwalks; }
    void SearchObjects(const std::string& q) override { searches.push_back(q); }
    void NewZone(const std::string& name, bool named) override {
        zones.push_back(named ? name : "<unnamed>");
    }
    void AliasAdded(map::TMudRoom2* room) override { aliases.push_back(room->QuickList); }

    map::TMudRoom2* Room(int x, const char* name, const char* zone = "Z") {
        auto r = std::make_unique<map::TMudRoom2>();
        r->X = x;
        r->Hint = name;
        return map.World().AddRoom(std::move(r), zone);
    }
    std::vector<std::string> Queue() const {
        return {state.CommandQueue.begin(), state.CommandQueue.end()};
    }
};

} // namespace

TEST(ClientIntake, MovesAreForwardedAsTypedAndQueuedLowered) {
    IntakeRig rig;
    rig.intake.SSClientRead("N\r\n");
    EXPECT_EQ(rig.server, "N\r\n");
    EXPECT_EQ(rig.Queue(), std::vector<std::string>{"n"});
    rig.intake.SSClientRead("e\r\nw\r\n\r\n");
    EXPECT_EQ(rig.Queue(), (std::vector<std::string>{"n", "e", "w"}));
}

TEST(ClientIntake, DoubledYaFromTheClientIsForwardedDoubledAndTrackedSingle) {
    IntakeRig rig;
    std::string sneak = rig.profile.Sneakwalk; // "подкрасться" ends in "я"
    std::string typed = text::ReplaceAll(sneak, "\xFF", "\xFF\xFF") + " n\r\n";
    rig.intake.SSClientRead(typed);
    EXPECT_EQ(rig.server, typed);
    EXPECT_EQ(rig.Queue(), std::vector<std::string>{sneak + " n"});
}

TEST(ClientIntake, LookAndClearResetAndStartTracing) {
    IntakeRig rig;
    rig.state.CommandQueue = {"x", "y"};
    rig.state.PendingText = "old";
    rig.intake.SSClientRead("LOOK\r\n");
    EXPECT_EQ(rig.server, "LOOK\r\n");
    EXPECT_EQ(rig.Queue(), std::vector<std::string>{"look"});
    EXPECT_EQ(rig.state.PendingText, "");
    EXPECT_EQ(rig.modes, std::vector<bool>{true});
    rig.intake.SSClientRead(rig.profile.Clear + "\r\n");
    EXPECT_EQ(rig.modes, (std::vector<bool>{true, true}));
}

TEST(ClientIntake, OwnCommandsAreNotForwarded) {
    IntakeRig rig;
    // StopTrace inside a chat line: forwarded, and tracing stops; nothing is queued.
    std::string chat = W8("say набери стоптр\r\n");
    rig.intake.SSClientRead(chat);
    EXPECT_EQ(rig.server, chat);
    EXPECT_EQ(rig.modes, std::vector<bool>{false});
    EXPECT_TRUE(rig.Queue().empty());
    rig.server.clear();
    rig.intake.SSClientRead(rig.profile.StopTrace + "\r\n");
    EXPECT_EQ(rig.server, "");

    // The item command alone is a game command; with an argument it searches the object base.
    rig.intake.SSClientRead(W8("лор\r\n"));
    EXPECT_EQ(rig.server, W8("лор\r\n"));
    rig.server.clear();
    rig.intake.SSClientRead(W8("лор *меч\r\n"));
    EXPECT_EQ(rig.server, "");
    EXPECT_EQ(rig.searches, std::vector<std::string>{W8("*меч")});

    rig.intake.SSClientRead(W8("нз"));
    rig.intake.SSClientRead(W8("нзДом") + "\xFF\xFF\n");
    EXPECT_EQ(rig.zones, (std::vector<std::string>{"<unnamed>", W8("Дом") + "\xFF"}));
    EXPECT_EQ(rig.server, "");
}

TEST(ClientIntake, CrossZoneLinkRewritesTheMove) {
    IntakeRig rig;
    map::TMudRoom2* room = rig.Room(0, "Gate");
    rig.map.World().CurrentRoom = room;
    room->AutoMaps = {"Town|" + rig.profile.Directions[0] + "|5|open door;unlock|0"};
    rig.intake.SSClientRead("n\r\n");
    EXPECT_EQ(rig.server, "open door\nunlock\n");
    rig.server.clear();
    room->AutoMaps = {"Town|" + rig.profile.Directions[0] + "|5|open door;unlock|True"};
    rig.intake.SSClientRead("n\r\n");
    EXPECT_EQ(rig.server, "open door\nunlock\nn\r\n");
    // Another direction is left alone.
    rig.server.clear();
    rig.intake.SSClientRead("s\r\n");
    EXPECT_EQ(rig.server, "s\r\n");
}

TEST(ClientIntake, SpeedwalkAliasesAndReturn) {
    IntakeRig rig;
    map::TMudRoom2* home = rig.Room(0, "Home");
    map::TMudRoom2* inn = rig.Room(1, "Inn\xFF", "Town");
    inn->QuickList = W8("трактир");
    rig.profile.AddDoubleYaLor = true;

    rig.intake.SSClientRead(rig.profile.Speedwalk + "\r\n");
    EXPECT_EQ(rig.client, "\r\n\x1b[1;32m" + W8("трактир") + "\x1b[0m  - Town.Inn\xFF\xFF\r\n\r\n");

    rig.intake.SSClientRead(rig.profile.Speedwalk + W8(" ТРАКТИР\r\n"));
    EXPECT_EQ(rig.speedwalks, 0); // no current room: nothing happens
    rig.map.World().CurrentRoom = home;
    rig.intake.SSClientRead(rig.profile.Speedwalk + W8(" ТРАКТИР\r\n"));
    EXPECT_EQ(rig.speedwalks, 1);
    EXPECT_EQ(rig.map.World().ContextRoom, inn);
    EXPECT_EQ(rig.map.World().ReturnRoom, home);
    rig.intake.SSClientRead(rig.profile.Returnwalk + "\r\n");
    EXPECT_EQ(rig.speedwalks, 2);
    EXPECT_EQ(rig.map.World().ContextRoom, home);
    EXPECT_EQ(rig.server, "");

    rig.map.World().ContextRoom = nullptr;
    rig.intake.SSClientRead(rig.settings.SetAlias + W8(" дом\r\n"));
    EXPECT_EQ(home->QuickList, W8("дом"));
    EXPECT_EQ(rig.aliases, std::vector<std::string>{W8("дом")});
}
