#include "TrackingRig.h"

#include <gtest/gtest.h>

namespace {
const std::string kHall = RoomText("Hall", "A hall.", "N E");
const std::string kNorth = RoomText("North room", "Cold.", "S");
const std::string kEast = RoomText("East room", "Warm.", "W");
} // namespace

TEST(Tracker, FirstLookThenWalkingGrowsTheMapAndWalkingBackFindsIt) {
    TrackingRig rig;
    rig.Send({"look"});
    rig.Server(kHall + "> ");
    ASSERT_NE(rig.current(), nullptr);
    map::TMudRoom2* hall = rig.current();
    EXPECT_EQ(hall->Hint, "Hall");
    EXPECT_EQ(std::tie(hall->X, hall->Y, hall->L), std::make_tuple(0, 0, 0));
    EXPECT_TRUE(hall->Selected);
    EXPECT_TRUE(rig.tracker.State().CommandQueue.empty());

    rig.Send({"n"});
    rig.Server(kNorth + "> ");
    map::TMudRoom2* north = rig.current();
    ASSERT_NE(north, hall);
    EXPECT_EQ(std::tie(north->X, north->Y), std::make_tuple(-1, 0));
    EXPECT_TRUE(hall->ChN);
    EXPECT_TRUE(north->ChS);
    EXPECT_FALSE(hall->Selected);

    rig.Send({"s"});
    rig.Server(kHall);
    EXPECT_EQ(rig.current(), hall);
    EXPECT_TRUE(rig.host.Logged(W8("TranslateCMD.Moves: уже ходили, комната подошла")));
    EXPECT_EQ(rig.world().Lists().ZoneCount(), 2u);
}

TEST(Tracker, TwoMovesInOneReadAreTwoPasses) {
    TrackingRig rig;
    rig.Send({"look"});
    rig.Server(kHall);
    rig.Send({"n", "s"});
    rig.Server(kNorth + "> " + kHall + "> ");
    EXPECT_EQ(rig.current()->Hint, "Hall");
    EXPECT_TRUE(rig.tracker.State().CommandQueue.empty());
    EXPECT_EQ(rig.world().Lists().ZoneCount(), 2u);
}

TEST(Tracker, RefusedMoveDropsTheCommandAndTheSpeedwalk) {
    TrackingRig rig;
    rig.profile.CantMove = {W8("Вы не сможете туда пройти...")};
    rig.Send({"look"});
    rig.Server(kHall);
    map::TMudRoom2* hall = rig.current();
    rig.host.speedwalk = {"e", "e"};
    rig.Send({"n"});
    rig.Server(W8("Вы не сможете туда пройти...\r\n> "));
    EXPECT_EQ(rig.current(), hall);
    EXPECT_TRUE(rig.tracker.State().CommandQueue.empty());
    EXPECT_TRUE(rig.host.speedwalk.empty());
    EXPECT_TRUE(rig.host.tracing);
}

TEST(Tracker, UnannouncedRoomIsALookAndAMoveWithoutExitStopsTracing) {
    TrackingRig rig;
    rig.Send({"look"});
    rig.Server(kHall);
    rig.Server(kHall); // printed with nothing outstanding (summoned, say)
    EXPECT_EQ(rig.current()->Hint, "Hall");
    EXPECT_TRUE(
        rig.host.Logged(W8("Список команд пуст, но есть описание комнаты, вставлено: ") + "look"));

    rig.Send({"w"}); // the hall has no west exit and nothing on the map matches
    rig.Server(RoomText("Elsewhere", "?", "E"));
    EXPECT_FALSE(rig.host.tracing);
    EXPECT_EQ(rig.current(), nullptr);
    EXPECT_TRUE(rig.tracker.State().CommandQueue.empty());
    EXPECT_TRUE(rig.tracker.State().PendingText.empty());

    // With tracing off every read empties the queue and the pending text.
    rig.Send({"n"});
    rig.Server("text");
    EXPECT_TRUE(rig.tracker.State().CommandQueue.empty());
    EXPECT_TRUE(rig.tracker.State().PendingText.empty());
}

TEST(Tracker, FlightIsQueuedBehindWaitingCommandsAndPlacesOnANeighbour) {
    TrackingRig rig;
    rig.Send({"look"});
    rig.Server(kHall);
    rig.Send({"e"});
    rig.Server(kEast);
    rig.Send({"w"});
    rig.Server(kHall);
    ASSERT_EQ(rig.current()->Hint, "Hall");
    rig.Server(rig.profile.Retreat + "!\r\n" + kEast);
    EXPECT_EQ(rig.current()->Hint, "East room");
    EXPECT_TRUE(rig.host.Logged(W8("Паника.")));
    EXPECT_EQ(rig.tracker.State().PendingText.find(rig.profile.Retreat), std::string::npos);
}

TEST(Tracker, FollowingTheLeader) {
    TrackingRig rig;
    rig.profile.LeaderMove = {W8("ушел")};
    rig.Send({"look"});
    rig.Server(kHall);
    rig.Server(W8("Вася ушел на север.\r\nВы последовали за Васей.\r\n") + kNorth);
    EXPECT_EQ(rig.current()->Hint, "North room");
    EXPECT_TRUE(rig.host.Logged(W8("Направление :") + W8("на север.")));

    // No recognisable leader line: tracing stops.
    rig.Server(W8("Вы последовали за Петей.\r\n"));
    EXPECT_FALSE(rig.host.tracing);

    TrackingRig line;
    line.profile.FollowLine = true;
    line.Send({"look"});
    line.Server(kHall);
    line.Server(W8("Вы последовали за Васей на восток.\r\n") + kEast);
    EXPECT_EQ(line.current()->Hint, "East room");
}

TEST(Tracker, SneakPrefixObjectLinesAndBuffersBounded) {
    TrackingRig rig;
    rig.Send({"look"});
    rig.Server(kHall);
    rig.Send({(rig.profile.Sneakwalk + " n").c_str()});
    rig.Server("x->>Quarvelin objecs base <begin> (v.2)\r\n" + kNorth);
    EXPECT_EQ(rig.current()->Hint, "North room");
    ASSERT_EQ(rig.host.objectLines.size(), 1u);
    EXPECT_EQ(rig.host.objectLines[0], "->>Quarvelin objecs base <begin> (v.2)");

    // Idle chatter keeps only its last 4096 characters.
    rig.Server(std::string(5000, 'a') + "END");
    EXPECT_EQ(rig.tracker.State().PendingText.size(), 4096u);
    EXPECT_EQ(rig.tracker.State().PendingText.substr(4093), "END");

    // A move whose room never comes: the buffer stops at 64 KiB.
    rig.Send({"e"});
    for (int i = 0; i < 40; ++i)
        rig.Server(std::string(4000, 'b'));
    EXPECT_LE(rig.tracker.State().PendingText.size(), tracking::Tracker::kPendingLimit);
    EXPECT_EQ(rig.tracker.State().CommandQueue.size(), 1u);
}

TEST(Tracker, RoomSeenElsewhereIsLinkedInsteadOfCopied) {
    TrackingRig rig;
    // A loop: hall -> east -> north -> west comes back to the hall's north room.
    rig.Send({"look"});
    rig.Server(RoomText("Hall", "A hall.", "N E"));
    rig.Send({"n"});
    rig.Server(RoomText("North", "n.", "S E"));
    rig.Send({"s"});
    rig.Server(RoomText("Hall", "A hall.", "N E"));
    rig.Send({"e"});
    rig.Server(RoomText("East", "e.", "W N"));
    rig.Send({"n"});
    rig.Server(RoomText("NorthEast", "ne.", "S W"));
    rig.Send({"w"});
    rig.Server(RoomText("North", "n.", "S E"));
    EXPECT_EQ(rig.world().Lists().ZoneCount(), 4u);
    map::TMudRoom2* north = rig.current();
    EXPECT_EQ(north->Hint, "North");
    EXPECT_TRUE(north->ChE);
    EXPECT_EQ(std::tie(north->X, north->Y), std::make_tuple(-1, 0));
}

TEST(Tracker, ChatLinesFloodingTheQueueDoNotEatTheRoomOfTheMove) {
    TrackingRig rig;
    rig.Send({"look"});
    rig.Server(kHall);
    rig.Send({"say one", "say two", "say three", "n"});
    // The game answers everything at once.
    rig.Server("You say 'one'\r\n> You say 'two'\r\n> You say 'three'\r\n> " + kNorth + "> ");
    ASSERT_NE(rig.current(), nullptr);
    EXPECT_EQ(rig.current()->Hint, "North room");
    EXPECT_TRUE(rig.tracker.State().CommandQueue.empty());
    EXPECT_TRUE(rig.host.tracing);
}

TEST(Tracker, FlightIntoADarkRoomStopsTracing) {
    TrackingRig rig;
    rig.profile.DarkList = {rig.profile.Dark};
    rig.Send({"look"});
    rig.Server(kHall);
    rig.Server(rig.profile.Retreat + ".\r\n" + rig.profile.Dark + "\r\n> ");
    EXPECT_FALSE(rig.host.tracing);
    EXPECT_EQ(rig.current(), nullptr);
}

TEST(Tracker, CrossZoneLinkJumpsIntoTheOtherZone) {
    TrackingRig rig;
    rig.Send({"look"});
    rig.Server(kHall);
    map::TMudRoom2* hall = rig.current();
    // A room of another zone, reached through the hall's portal.
    rig.world().CurrentZone = "Town";
    rig.world().LoadZoneRooms();
    map::TMudRoom2* inn = rig.map.Linker().NewRoomAt(5, 5, 0, "Inn", "Cosy.", "S");
    int innTag = inn->Tag;
    rig.world().CurrentZone = "Zone";
    rig.world().LoadZoneRooms();
    hall->AutoMaps = {"Town|" + rig.profile.Portal + "|" + std::to_string(innTag) + "||0"};
    rig.Send({rig.profile.Portal.c_str()});
    rig.Server("You step through.\r\n" + RoomText("Inn", "Cosy.", "S"));
    EXPECT_EQ(rig.current(), inn);
    EXPECT_EQ(rig.world().CurrentZone, "Town");
    ASSERT_FALSE(rig.host.switches.empty());
    EXPECT_EQ(rig.host.switches.back(), "Town (saved)");
    EXPECT_TRUE(rig.host.tracing);
}

// A speedwalk sends a link's exit text and the next moves at once; the game's answer to the
// link may come in several reads. The link command waits for its room (or its refusal) and
// the next room is the next command's.
TEST(Tracker, LinkCommandWaitsForItsRoomOrItsRefusal) {
    TrackingRig rig;
    rig.profile.CantMove = {"The portal is dark."};
    rig.Send({"look"});
    rig.Server(kHall);
    map::TMudRoom2* hall = rig.current();
    rig.world().CurrentZone = "Town";
    rig.world().LoadZoneRooms();
    map::TMudRoom2* inn = rig.map.Linker().NewRoomAt(5, 5, 0, "Inn", "Cosy.", "N");
    map::TMudRoom2* yard = rig.map.Linker().NewRoomAt(4, 5, 0, "Yard", "Muddy.", "S");
    inn->ChN = yard->ChS = true;
    const int innTag = inn->Tag;
    rig.world().CurrentZone = "Zone";
    rig.world().LoadZoneRooms();
    const std::string link = "Town|enter the portal|" + std::to_string(innTag) + "||-1";
    hall->AutoMaps = {link};

    // Refused: the player stays, and the move after it is matched with its own room.
    rig.Send({"enter the portal", "e"});
    rig.Server("The portal is dark.\r\n");
    EXPECT_EQ(rig.current(), hall);
    rig.Server("You walk east.\r\n" + kEast);
    ASSERT_NE(rig.current(), nullptr);
    EXPECT_EQ(rig.current()->Hint, "East room");
    rig.Send({"w"});
    rig.Server(kHall);
    ASSERT_EQ(rig.current(), hall);

    // Taken: the text before the room arrives alone, then the room, then the next move's.
    rig.Send({"enter the portal", "n"});
    rig.Server("You step through.\r\n");
    EXPECT_EQ(rig.current(), hall);
    EXPECT_EQ(rig.tracker.State().CommandQueue.size(), 2u);
    rig.Server(RoomText("Inn", "Cosy.", "N"));
    EXPECT_EQ(rig.current(), inn);
    rig.Server(RoomText("Yard", "Muddy.", "S"));
    EXPECT_EQ(rig.current(), yard);
    EXPECT_TRUE(rig.host.tracing);
}

TEST(Tracker, WithTracingOffOnlyTellsAndReportsAreLookedFor) {
    TrackingRig rig;
    rig.host.tracing = false;
    rig.profile.StuffTem = W8("Вы узнали следующее:") + "\r\n/$\r\n";
    auto& state = rig.tracker.State();
    // A read with nothing for the object base empties the queue without making the text.
    rig.Send({"n", "s"});
    rig.tracker.TranslateIdle(RoomText("Square", "Quiet.", "N S"));
    EXPECT_TRUE(state.CommandQueue.empty());
    EXPECT_TRUE(state.PendingText.empty());
    // A tell line split over two reads arrives whole; "я" doubled on the wire is single.
    rig.tracker.TranslateIdle("chatter\r\nYou tell the group '->>Quarvelin objecs");
    EXPECT_TRUE(rig.host.objectLines.empty());
    rig.tracker.TranslateIdle(" base <begin> (v.2)'\r\nmore\r\n->>\xFF\xFF'\r\n");
    EXPECT_EQ(rig.host.objectLines,
              (std::vector<std::string>{"->>Quarvelin objecs base <begin> (v.2)'", "->>\xFF'"}));
    EXPECT_TRUE(state.PendingText.empty());
}

TEST(Tracker, AMoveThroughADoorOpenedSinceTheRoomWasPrinted) {
    // Games that leave a closed door out of the exit line: the hall was printed "N E", the
    // door south opened, and the chapel beyond lists the way back north.
    const std::string chapel = RoomText("Chapel", "Quiet.", "N");
    TrackingRig rig;
    rig.Send({"look"});
    rig.Server(kHall);
    rig.Send({"open door"});
    rig.Server("Ok.\r\n");
    rig.Send({"s"});
    rig.Server(chapel);
    ASSERT_TRUE(rig.host.tracing);
    ASSERT_EQ(rig.current()->Hint, "Chapel");
    rig.Send({"n"});
    rig.Server(kHall);
    EXPECT_EQ(rig.current()->Hint, "Hall");
    EXPECT_EQ(rig.world().FindRoom(1, 0, 0)->Hint, "Chapel");

    // Without a command that may have opened a door, or when the room reached lists no way
    // back, a move the printed exits do not have still stops tracing.
    for (const char* other : {"", "open door"}) {
        TrackingRig stop;
        stop.Send({"look"});
        stop.Server(kHall);
        if (*other) {
            stop.Send({other});
            stop.Server("Ok.\r\n");
        }
        stop.Send({"s"});
        stop.Server(*other ? RoomText("Cellar", "Damp.", "E") : chapel);
        EXPECT_FALSE(stop.host.tracing) << other;
    }
}

TEST(Tracker, FollowingTheLeaderInAGameWhoseLinesEndLfCr) {
    // Merc and its descendants end lines with LF CR: the follow line ends at its LF, and the
    // room after it is left whole.
    TrackingRig rig;
    rig.profile.Follow = "You follow";
    rig.profile.LeaderMove = {"leaves"};
    rig.profile.LeaderWords = {"north", "south", "east", "west", "up", "down"};
    rig.Send({"look"});
    rig.Server(kHall);
    rig.Server("\n\rBob leaves north.\n\rYou follow Bob.\n\r" + kNorth);
    ASSERT_NE(rig.current(), nullptr);
    EXPECT_EQ(rig.current()->Hint, "North room");
    EXPECT_TRUE(rig.host.tracing);
}
