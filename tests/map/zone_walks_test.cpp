// The walks behind splitting a zone: round the region beyond a room, and over its links.

#include "MapFixture.h"

#include "map/ZoneWalks.h"
#include "text/Cp1251.h"

#include <string>
#include <vector>

using map::Dir;
using maptest::MapTest;

namespace {

class ZoneWalkTest : public MapTest {
protected:
    std::vector<map::TMudRoom2*> list;

    bool Walk(char from, Dir d) { return map::ListAtHand(world, model.Words(), d, R(from), list); }
    std::string Names() const {
        std::string s;
        for (const auto* r : list)
            s += r->Pipe ? '#' : r->Hint[0];
        return s;
    }
};

} // namespace

TEST_F(ZoneWalkTest, WalkSucceedsOnlyAroundARegionJoinedThroughTheStartRoom) {
    // A dead end of three rooms is walked out and back: six steps in a zone of five rooms.
    Build({"B", "|", "A-D", "|", "C", "|", "S"});
    EXPECT_TRUE(Walk('C', map::North));
    EXPECT_EQ(Names(), "ADB");
    EXPECT_TRUE(R('A')->Checked && R('B')->Checked && R('D')->Checked);
    EXPECT_FALSE(R('C')->Checked || R('S')->Checked);

    // Nothing beyond the room, or the room itself on the far side: no region to split.
    list.clear();
    EXPECT_FALSE(Walk('S', map::South));
    EXPECT_TRUE(list.empty());
}

TEST_F(ZoneWalkTest, WalkFailsWhenTheRegionLeaksAroundTheStartRoom) {
    Build({"A-B", "| |", "C-D"});
    EXPECT_FALSE(Walk('C', map::North));
    EXPECT_EQ(Names(), "ABD"); // walked rooms stay listed and highlighted
    EXPECT_TRUE(R('D')->Checked);
}

TEST_F(ZoneWalkTest, WalkEndsOnFlagsThatLeadRoundInACircle) {
    // Flags set on one side only turn the walk round D, E, B, A for ever unless it notices
    // that it came back to a room with the same heading.
    Build({"D>E", "^ v", "A<B", "|", "C"});
    EXPECT_FALSE(Walk('C', map::North));
    EXPECT_EQ(Names(), "ADEB");

    // A flag into an empty cell ends the walk there.
    list.clear();
    Build({"F>.", "|", "G"}, 5, 0);
    EXPECT_FALSE(Walk('G', map::North));
    EXPECT_EQ(Names(), "F");
}

TEST_F(ZoneWalkTest, WalkTreatsLinkLinesAsClosed) {
    // B's east flag goes with a link line into another zone: the walk does not take it, so it
    // does not step onto X, which merely stands in the next cell.
    Build({"A-B-X", "|", "C"});
    R('B')->AutoMaps.push_back("Far|" + text::W("на восток") + "|3");
    EXPECT_TRUE(Walk('C', map::North));
    EXPECT_EQ(Names(), "AB");

    // Growing over links does not cross there either.
    map::ListAtStart(world, model.Words(), R('C'), list, map::North);
    EXPECT_EQ(Names(), "AB");
}

TEST_F(ZoneWalkTest, GrowingFollowsLinksOnEveryLevelButNotBackAcrossTheCut) {
    Build({"A-B", ". |", "C-D"});
    Build({"U"}, 0, 1, 1);
    R('B')->ChU = true;
    R('U')->ChD = true;
    list = {R('A')};
    map::ListAtStart(world, model.Words(), R('C'), list, map::North);
    EXPECT_EQ(Names(), "ABDU"); // C itself is never listed

    // A split down does not climb up links, a split up does not go down.
    list = {R('B')};
    map::ListAtStart(world, model.Words(), R('C'), list, map::Down);
    EXPECT_EQ(Names(), "BDA");
    list = {R('U')};
    map::ListAtStart(world, model.Words(), R('C'), list, map::Up);
    EXPECT_EQ(Names(), "U");
}

TEST_F(ZoneWalkTest, RoomsFitBesideTheCurrentZoneOnlyOnFreeCells) {
    Build({"A-B"});
    auto other = std::make_unique<map::TMudRoom2>();
    other->Hint = "o";
    other->X = 7;
    map::TMudRoom2* o = world.AddRoom(std::move(other), "Other");
    auto fits = map::RoomsThatFit(world, "Other", -7, 2, 0);
    ASSERT_TRUE(fits);
    EXPECT_EQ(*fits, std::vector<map::TMudRoom2*>{o});
    EXPECT_FALSE(map::RoomsThatFit(world, "Other", -7, 1, 0));
    EXPECT_TRUE(map::RoomsThatFit(world, "Other", -7, 1, 1)); // another level is free
}
