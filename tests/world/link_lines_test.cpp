// The link lines of the room property dialog: the link dialog's enabling rules, and adding,
// changing and deleting lines with their opposite lines in the linked rooms.

#include "files/Language.h"
#include "map/MapModel.h"
#include "profile/WorldProfile.h"
#include "support/FakeWorldUi.h"
#include "support/TempDir.h"
#include "text/Cp1251.h"
#include "world/LinkLineEditor.h"
#include "world/WorldStore.h"

#include <gtest/gtest.h>

#include <deque>

using map::Dir;
using map::TMudRoom2;
using storage::Answer;
using storage::AutomapFormState;
using storage::AutomapValues;
using text::W;
using Lines = std::vector<std::string>;

namespace {

struct FakeTab : storage::LinkTabUi {
    std::vector<AutomapValues> opened;
    std::deque<std::optional<AutomapValues>> replies;
    int refreshed = 0;

    std::optional<AutomapValues> OpenAutomapForm(const AutomapValues& initial) override {
        opened.push_back(initial);
        if (replies.empty()) return std::nullopt;
        auto r = replies.front();
        replies.pop_front();
        return r;
    }
    void RefreshCheckedExits() override { ++refreshed; }
};

std::string Phrase(Dir d) {
    static const profile::WorldProfile profile;
    return map::Phrase(profile, d);
}

// Zone "Here": the context room C (number 1) and G north of it, linked on the grid.
// Zone "There": rooms 1, 2 and 12.
struct Editing : ::testing::Test, WorldEnv {
    FakeTab tab;
    TMudRoom2 *c, *g, *t1, *t2;
    TMudRoom2 copy;

    Editing() {
        map::MapWorld& world = model.World();
        world.CurrentZone = "Here";
        c = Add("C", 1, 0, "Here");
        g = Add("G", 2, -1, "Here");
        c->ChN = g->ChS = true;
        t1 = Add("T1", 1, 0, "There");
        t2 = Add("T2", 2, 5, "There");
        Add("T12", 12, 9, "There");
        world.LoadZoneRooms();
        copy = *c;
    }
    TMudRoom2* Add(const std::string& hint, int tag, int x, const std::string& zone) {
        auto r = std::make_unique<TMudRoom2>();
        r->Hint = hint;
        r->Tag = tag;
        r->X = x;
        return model.World().AddRoom(std::move(r), zone);
    }
    storage::LinkLineEditor Editor() { return {store, *c, copy, tab}; }
    // C links east to T1 and T1 back, as a split or the link dialog leaves them.
    void LinkEastToT1() {
        c->AutoMaps = copy.AutoMaps = {"There|" + Phrase(map::East) + "|1||-1"};
        c->ChE = copy.ChE = true;
        t1->AutoMaps = {"Here|" + Phrase(map::West) + "|1||-1"};
        t1->ChW = true;
    }
    static AutomapValues Values(std::string zone, std::string exit, std::string room,
                                std::string command = "", bool sendMove = true) {
        return {std::move(zone), std::move(exit), std::move(room), std::move(command), sendMove};
    }
};

} // namespace

TEST(AutomapForm, EnablingFollowsExitZoneAndCommand) {
    profile::WorldProfile p;
    const std::string north = Phrase(map::North), portal = W("войти");
    // command field, send-move box, box checked again, OK
    EXPECT_EQ(storage::AutomapFormRules(p, north, "", ""),
              (AutomapFormState{true, false, true, false}));
    EXPECT_EQ(storage::AutomapFormRules(p, north, "", "open"),
              (AutomapFormState{true, true, false, true}));
    EXPECT_EQ(storage::AutomapFormRules(p, portal, "Z", ""),
              (AutomapFormState{false, false, true, true}));
    // An exit that is not a direction cannot carry a command, so a command alone is not enough.
    EXPECT_EQ(storage::AutomapFormRules(p, portal, "", "open"),
              (AutomapFormState{false, true, false, false}));
    EXPECT_FALSE(storage::AutomapFormRules(p, "", "Z", "").okEnabled);
    EXPECT_FALSE(storage::AutomapFormRules(p, "n", "", "open").commandEnabled);
}

TEST_F(Editing, AddingSetsFlagsOnBothRoomsAndOffersTheWayBack) {
    const std::string east = Phrase(map::East);
    tab.replies = {Values("There", east, "2"), Values("There", W("войти"), "1"),
                   Values("There", Phrase(map::South), "1", "kick", false), std::nullopt};
    ui.answers = {Answer::Yes, Answer::No};
    auto editor = Editor();

    ASSERT_TRUE(editor.NAddClick());
    EXPECT_EQ(tab.opened[0], Values("", "", "0"));
    EXPECT_EQ(c->AutoMaps, (Lines{"There|" + east + "|2||-1"}));
    EXPECT_EQ(copy.AutoMaps, c->AutoMaps);
    EXPECT_TRUE(c->ChE && copy.ChE);
    EXPECT_GE(tab.refreshed, 1);
    EXPECT_EQ(ui.questions, (Lines{W("Установить новый встречный линк из зоны") + " <There>, " +
                                   W("Комната #") + "2?"}));
    EXPECT_EQ(t2->AutoMaps, (Lines{"Here|" + Phrase(map::West) + "|1||-1"}));
    EXPECT_TRUE(t2->ChW);

    // An exit that is not a direction sets no flag; No leaves the linked room alone.
    ASSERT_TRUE(editor.NAddClick());
    EXPECT_EQ(c->AutoMaps.back(), "There|" + W("войти") + "|1||-1");
    EXPECT_TRUE(t1->AutoMaps.empty());
    EXPECT_EQ(ui.questions.size(), 2u);

    // Without the movement command nothing is offered.
    ASSERT_TRUE(editor.NAddClick());
    EXPECT_EQ(copy.AutoMaps.back(), "There|" + Phrase(map::South) + "|1|kick|0");
    EXPECT_TRUE(c->ChS && copy.ChS);
    EXPECT_EQ(ui.questions.size(), 2u);

    // Cancel in the link dialog.
    EXPECT_FALSE(editor.NAddClick());
    EXPECT_EQ(c->AutoMaps.size(), 3u);
    EXPECT_FALSE(c->ChW || c->ChU || c->ChD);
}

TEST_F(Editing, AddingALinkToARoomTheZoneDoesNotHaveIsRefused) {
    tab.replies = {Values("There", Phrase(map::West), "7"),
                   Values("Nowhere", Phrase(map::West), "1"),
                   Values("", Phrase(map::West), "0", "open")};
    auto editor = Editor();
    EXPECT_FALSE(editor.NAddClick());
    EXPECT_FALSE(editor.NAddClick());
    EXPECT_EQ(ui.errors, (Lines{W("Комната #") + "7 " + W("не найдена в зоне") + " <There>.",
                                W("Комната #") + "1 " + W("не найдена в зоне") + " <Nowhere>."}));
    EXPECT_TRUE(c->AutoMaps.empty() && copy.AutoMaps.empty());
    EXPECT_FALSE(c->ChW || copy.ChW);

    // An automatic command names no room and is always accepted.
    EXPECT_TRUE(editor.NAddClick());
    EXPECT_EQ(c->AutoMaps, (Lines{"|" + Phrase(map::West) + "|0|open|-1"}));
    EXPECT_TRUE(c->ChW && copy.ChW);
    EXPECT_TRUE(ui.questions.empty());
}

TEST_F(Editing, ChangingALinkMovesTheOppositeLineWhenTheUserAgrees) {
    const std::string south = Phrase(map::South);
    LinkEastToT1();
    tab.replies = {Values("There", south, "2")};
    ui.answers = {Answer::Yes, Answer::Yes};
    ASSERT_TRUE(Editor().NEditClick(0));
    EXPECT_EQ(tab.opened[0], Values("There", Phrase(map::East), "1"));
    EXPECT_EQ(ui.questions[0],
              W("Удалить старый встречный линк из зоны") + " <There>, " + W("Комната #") + "1?");
    EXPECT_TRUE(t1->AutoMaps.empty());
    EXPECT_FALSE(t1->ChW);
    EXPECT_EQ(c->AutoMaps, (Lines{"There|" + south + "|2||-1"}));
    EXPECT_EQ(copy.AutoMaps, c->AutoMaps);
    EXPECT_FALSE(c->ChE || copy.ChE);
    EXPECT_TRUE(c->ChS && copy.ChS);
    EXPECT_EQ(t2->AutoMaps, (Lines{"Here|" + Phrase(map::North) + "|1||-1"}));
    EXPECT_TRUE(t2->ChN);
}

TEST_F(Editing, ChangingALinkKeepsTheOppositeLinesOnCancelAndOnRefusal) {
    LinkEastToT1();
    const Lines before = c->AutoMaps;
    // A room the zone does not have: nothing changes, nothing is asked.
    tab.replies = {Values("There", Phrase(map::South), "44"),
                   Values("There", Phrase(map::South), "2")};
    EXPECT_FALSE(Editor().NEditClick(0));
    EXPECT_EQ(c->AutoMaps, before);
    EXPECT_TRUE(ui.questions.empty());

    ui.answers = {Answer::Cancel, Answer::Cancel};
    ASSERT_TRUE(Editor().NEditClick(0));
    EXPECT_EQ(ui.questions.size(), 2u);
    EXPECT_EQ(t1->AutoMaps.size(), 1u);
    EXPECT_TRUE(t1->ChW);
    EXPECT_TRUE(t2->AutoMaps.empty());
    EXPECT_EQ(c->AutoMaps, (Lines{"There|" + Phrase(map::South) + "|2||-1"}));
    EXPECT_FALSE(Editor().NEditClick(1)); // no such item
}

TEST_F(Editing, DeletingALinkTakesTheRightOppositeLineAlong) {
    LinkEastToT1();
    // A line back to room 12 must not be taken for the one back to room 1.
    const std::string west = Phrase(map::West);
    t1->AutoMaps.insert(t1->AutoMaps.begin(), "Here|" + west + "|12||-1");

    ui.answers = {Answer::No};
    EXPECT_FALSE(Editor().NDelClick(0));
    EXPECT_EQ(ui.questions, (Lines{W("Удалить линк в зону") + " <There>?"}));
    EXPECT_EQ(c->AutoMaps.size(), 1u);

    ui.answers = {Answer::Yes, Answer::Yes};
    ASSERT_TRUE(Editor().NDelClick(0));
    EXPECT_EQ(ui.questions.back(),
              W("Удалить старый встречный линк из зоны") + " <There>, " + W("Комната #") + "1?");
    EXPECT_TRUE(c->AutoMaps.empty() && copy.AutoMaps.empty());
    EXPECT_FALSE(c->ChE || copy.ChE);
    EXPECT_EQ(t1->AutoMaps, (Lines{"Here|" + west + "|12||-1"}));
    EXPECT_TRUE(t1->ChW); // its other line still leads west
}

TEST_F(Editing, DroppingADoorCommandKeepsTheLinkToTheNeighbour) {
    // An automatic command on C's north exit, where C is linked to G on the grid.
    c->AutoMaps = copy.AutoMaps = {"|" + Phrase(map::North) + "|0|open door|-1",
                                   "There|" + Phrase(map::Up) + "|1||-1"};
    c->ChU = copy.ChU = true;
    ui.answers = {Answer::Yes, Answer::Yes};
    ASSERT_TRUE(Editor().NDelClick(0));
    EXPECT_TRUE(c->ChN && copy.ChN);
    // The link up had nothing else behind its flag.
    ASSERT_TRUE(Editor().NDelClick(0));
    EXPECT_FALSE(c->ChU || copy.ChU);
    EXPECT_TRUE(c->AutoMaps.empty() && copy.AutoMaps.empty());
}
