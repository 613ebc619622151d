// The map's mouse and its room menu, driven with synthetic mouse events on a map page of its own.

#include "app/core/Session.h"
#include "map/LinkLine.h"
#include "support/TempDir.h"
#include "text/Cp1251.h"
#include "view/map/MapContextMenu.h"
#include "view/map/MapMouse.h"
#include "view/map/MapPage.h"
#include "world/WorldStore.h"
#include "world/ZoneTree.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

std::string W(const char* utf8) {
    return text::FromUnicode(QString::fromUtf8(utf8));
}

// The front end as the main window would be: the view follows the map operations.
struct PageUi : app::AppUi {
    view::TMapPage* page = nullptr;
    void SetCaption(const std::string&) override {}
    void SetTracing(bool) override {}
    void SetMccpStatus(const std::string&) override {}
    void ShowError(const std::string&) override {}
    void Repaint() override {}
    void Shift() override {
        if (page) page->Shift();
    }
    void CenterBox() override {
        if (page) page->CenterBox();
    }
    bool CollectWindowPlace(int&, int&, int&, int&) override { return false; }
};

// A world "W" with the empty zone "Town" and a 400 x 300 map page showing it.
class MapMouse : public ::testing::Test {
protected:
    MapMouse() {
        TempDir::Write(dir.path() / "Maps" / "W" / "local.ini",
                       "[Connect]\r\nClient Port=0\r\n[Options]\r\nZone=Town\r\n");
        TempDir::Write(dir.path() / "Maps" / "W" / "Town.tk2", "");
        session = std::make_unique<app::Session>(app::Session::Options{dir.path(), "W", false}, ui);
        session->Start();
        session->FirstActivation();
        page = std::make_unique<view::TMapPage>(*session);
        ui.page = page.get();
        page->PanelMain()->setFixedSize(400, 300);
        page->resize(420, 320);
        page->show();
        QApplication::processEvents();
        page->View().windowMode = view::kNormal;
        page->ContextMenu().openMenu = [this](QMenu*, QPoint) { ++menusOpened; };
    }
    ~MapMouse() override {
        page.reset();
        session->Shutdown();
    }

    map::MapWorld& World() { return session->Map().World(); }
    map::TMudRoom2* Room(int x, int y, const char* name = "Room") {
        return session->Map().Linker().NewRoomAt(x, y, 0, name, "", "");
    }
    int H() const { return page->CellSize(); }
    // The centre of a grid cell on the panel, as the view shows it now.
    QPoint Centre(int x, int y) {
        const view::TMapView& v = page->View();
        return {200 + (y - v.SB1.position) * H(), 150 + (x - v.SB2.position) * H()};
    }
    void Send(QEvent::Type type, QPoint pos, Qt::MouseButton button,
              Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QWidget* panel = page->PanelMain();
        Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
        if (type == QEvent::MouseMove) held = pressed;
        QMouseEvent e(type, QPointF(pos), QPointF(panel->mapToGlobal(pos)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, mods);
        if (type == QEvent::MouseButtonPress) pressed = button;
        if (type == QEvent::MouseButtonRelease) pressed = Qt::NoButton;
        QApplication::sendEvent(panel, &e);
    }
    void Press(QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {}) {
        Send(QEvent::MouseButtonPress, p, b, m);
    }
    void Move(QPoint p, Qt::KeyboardModifiers m = {}) { Send(QEvent::MouseMove, p, pressed, m); }
    void Release(QPoint p) { Send(QEvent::MouseButtonRelease, p, pressed); }
    // The top-level items the menu shows.
    QStringList VisibleItems() {
        QStringList names;
        for (QAction* a : page->ContextMenu().PopupMenu1()->actions())
            if (a->isVisible()) names << a->objectName();
        return names;
    }
    QAction* Item(const char* name) { return page->ContextMenu().Item(name); }

    TempDir dir;
    PageUi ui;
    std::unique_ptr<app::Session> session;
    std::unique_ptr<view::TMapPage> page;
    Qt::MouseButton pressed = Qt::NoButton;
    int menusOpened = 0;
};

TEST_F(MapMouse, DraggingARoomMovesItOneCellOncePastAQuarterCellAndFollowsThePointer) {
    map::TMudRoom2* a = Room(0, 0);
    Room(4, 6); // the zone is larger than one cell, so the view can hold still
    page->CenterBox();
    const QPoint start = Centre(0, 0);
    Press(start);
    EXPECT_EQ(page->View().windowMode, view::kDragging);
    // Within a quarter cell beyond the cell's edge nothing moves.
    Move(start + QPoint(H() * 3 / 4 - 2, 0));
    EXPECT_EQ(a->Y, 0);
    Move(start + QPoint(H() * 3 / 4 + 2, 0));
    EXPECT_EQ(a->Y, 1);
    EXPECT_EQ(a->X, 0);
    // The room sits under the pointer again: the same spot does not move it twice.
    Move(start + QPoint(H() * 3 / 4 + 3, 0));
    EXPECT_EQ(a->Y, 1);
    // Diagonally: east and south in one move, and the drag goes on.
    Move(start + QPoint(H() * 2, H()));
    EXPECT_EQ(a->Y, 2);
    EXPECT_EQ(a->X, 1);
    EXPECT_EQ(World().FindRoom(1, 2, 0), a);
    Release(start);
    EXPECT_EQ(page->View().windowMode, view::kNormal);

    // Shift abandons the drag; the room stays.
    page->CenterBox();
    Press(Centre(1, 2));
    Move(Centre(1, 2) + QPoint(-H(), 0), Qt::ShiftModifier);
    EXPECT_EQ(a->Y, 2);
    EXPECT_EQ(page->View().windowMode, view::kNormal);
    Release(Centre(1, 2));

    // In a locked zone a drag changes nothing.
    World().ZoneLocked = true;
    Press(Centre(1, 2));
    for (Qt::KeyboardModifiers m : {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::AltModifier),
                                    Qt::KeyboardModifiers(Qt::ControlModifier)})
        Move(Centre(1, 2) + QPoint(-2 * H(), 2 * H()), m);
    Release(Centre(1, 2));
    EXPECT_EQ(a->X, 1);
    EXPECT_EQ(a->Y, 2);
    EXPECT_EQ(World().Lists().ZoneRooms().size(), 2u);
}

TEST_F(MapMouse, AltDragAddsOneRoomAndCtrlDragLaysOneCorridorEachEndingTheDrag) {
    map::TMudRoom2* a = Room(0, 0, "A");
    map::TMudRoom2* b = Room(0, 4, "B");
    page->CenterBox();
    // Alt, diagonally: one room to the east only, since the step ended the drag.
    Press(Centre(0, 0));
    Move(Centre(0, 0) + QPoint(H(), H()), Qt::AltModifier);
    EXPECT_EQ(page->View().windowMode, view::kNormal);
    Move(Centre(0, 0) + QPoint(2 * H(), 2 * H()), Qt::AltModifier);
    Release(Centre(0, 0));
    map::TMudRoom2* added = World().FindRoom(0, 1, 0);
    ASSERT_NE(added, nullptr);
    EXPECT_TRUE(a->ChE);
    EXPECT_TRUE(added->ChW);
    EXPECT_EQ(World().FindRoom(1, 0, 0), nullptr);
    EXPECT_EQ(World().Lists().ZoneRooms().size(), 3u);

    // Ctrl from the added room east: a corridor to B over the two cells between.
    page->CenterBox();
    Press(Centre(0, 1));
    Move(Centre(0, 1) + QPoint(H(), 0), Qt::ControlModifier);
    EXPECT_EQ(page->View().windowMode, view::kNormal);
    Release(Centre(0, 1));
    EXPECT_TRUE(added->ChE);
    EXPECT_TRUE(b->ChW);
    ASSERT_NE(World().FindRoom(0, 2, 0), nullptr);
    EXPECT_TRUE(World().FindRoom(0, 2, 0)->Pipe);
    EXPECT_TRUE(World().FindRoom(0, 3, 0)->Pipe);

    // A right click on the corridor offers its deletion only, which takes the whole corridor.
    page->CenterBox();
    Press(Centre(0, 3), Qt::RightButton);
    Release(Centre(0, 3));
    EXPECT_EQ(menusOpened, 1);
    EXPECT_EQ(VisibleItems(), QStringList{"nDeleteLink"});
    EXPECT_EQ(Item("nDeleteLink")->text(),
              text::ToUnicode(session->GetCaption("MainForm", "nDeleteLink")));
    Item("nDeleteLink")->trigger();
    EXPECT_EQ(World().FindRoom(0, 2, 0), nullptr);
    EXPECT_EQ(World().FindRoom(0, 3, 0), nullptr);
    EXPECT_FALSE(added->ChE);
    EXPECT_FALSE(b->ChW);
    // On an ordinary room the corridor item is gone and the room items are back.
    Press(Centre(0, 4), Qt::RightButton);
    Release(Centre(0, 4));
    EXPECT_FALSE(Item("nDeleteLink")->isVisible());
    EXPECT_TRUE(Item("nDeleteRoom")->isVisible());
    EXPECT_TRUE(Item("nAddRoom")->isVisible());
}

TEST_F(MapMouse, RightClickIntoEmptyGridRecentresInsteadOfOpeningTheMenu) {
    Room(0, 0);
    Room(6, 8);
    page->CenterBox();
    const int centreY = page->View().SB1.position, centreX = page->View().SB2.position;
    page->View().SB1.position = 8;
    page->View().SB2.position = 6;
    page->Shift();
    Press(Centre(2, 2) + QPoint(0, 0), Qt::RightButton); // no room there
    Release(Centre(2, 2));
    EXPECT_EQ(menusOpened, 0);
    EXPECT_EQ(page->View().SB1.position, centreY);
    EXPECT_EQ(page->View().SB2.position, centreX);
    EXPECT_EQ(page->HorizontalBar()->value(), centreY);
}

TEST_F(MapMouse, PanningScrollsByTheMultiplierAndStaysWithinTheBars) {
    Room(0, 0);
    Room(20, 20);
    session->Settings().ScrollMult = 4;
    page->CenterBox();
    ASSERT_EQ(H(), 32);
    const int y0 = page->View().SB1.position, x0 = page->View().SB2.position;
    const QPoint empty = Centre(x0, y0) + QPoint(3, 3);
    ASSERT_EQ(page->Mouse().RoomAt(empty), nullptr);
    Press(empty);
    EXPECT_EQ(page->Mouse().PanningTag(), 1);
    EXPECT_EQ(page->View().windowMode, view::kNormal);
    // Eight pixels to the left with multiplier 4 is one column east; 7 pixels up is none yet.
    Move(empty + QPoint(-8, -7));
    EXPECT_EQ(page->View().SB1.position, y0 + 1);
    EXPECT_EQ(page->View().SB2.position, x0);
    EXPECT_EQ(page->HorizontalBar()->value(), y0 + 1);
    Move(empty + QPoint(-8, -16));
    EXPECT_EQ(page->View().SB2.position, x0 + 2);
    // Far beyond the zone: held at the bars' ends.
    Move(empty + QPoint(-5000, 5000));
    EXPECT_EQ(page->View().SB1.position, 20);
    EXPECT_EQ(page->View().SB2.position, 0);
    Release(empty);
    EXPECT_EQ(page->Mouse().PanningTag(), 0);
    // Without a pressed button the pointer only looks.
    Move(empty + QPoint(100, 100));
    EXPECT_EQ(page->View().SB1.position, 20);
}

TEST_F(MapMouse, SpeedwalkItemsFollowDeathTrapsThePlayersRoomAndTracing) {
    map::TMudRoom2* here = Room(0, 0);
    map::TMudRoom2* trap = Room(0, 2);
    page->CenterBox();
    session->ModeClick(true);
    World().CurrentRoom = here;
    auto open = [&](map::TMudRoom2* r) {
        Press(Centre(r->X, r->Y), Qt::RightButton);
        Release(Centre(r->X, r->Y));
    };
    open(trap);
    EXPECT_TRUE(Item("nSpeedWalk")->isVisible());
    EXPECT_TRUE(Item("nSpeedWalkNT")->isVisible());
    EXPECT_TRUE(Item("nSpeedWalkNTD")->isVisible());
    // The picture of a death trap makes it one (and clears the other marks).
    trap->Agro = true;
    auto* picture = Item("nPicture")->menu()->findChild<QToolButton*>("nPicture1");
    ASSERT_NE(picture, nullptr);
    picture->click();
    EXPECT_TRUE(trap->DT);
    EXPECT_FALSE(trap->Agro);
    EXPECT_EQ(trap->ImageIndex, 1);
    EXPECT_FALSE(World().Saved);
    open(trap);
    EXPECT_FALSE(Item("nSpeedWalk")->isVisible());
    EXPECT_FALSE(Item("nSpeedWalkNT")->isVisible());
    EXPECT_FALSE(Item("nSpeedWalkNTD")->isVisible());
    EXPECT_TRUE(Item("nDT")->isChecked());
    // No picture: no mark either.
    page->ContextMenu().nPictureClick(-1);
    EXPECT_FALSE(trap->DT);
    EXPECT_EQ(trap->ImageIndex, -1);
    // The player's own room needs no way; with tracing off only the clipboard items remain.
    open(here);
    EXPECT_FALSE(Item("nSpeedWalkNT")->isVisible());
    session->ModeClick(false);
    World().CurrentRoom = here;
    open(trap);
    EXPECT_FALSE(Item("nSpeedWalk")->isVisible());
    EXPECT_TRUE(Item("nSpeedWalkNT")->isVisible());
    // "Current position here": the room becomes the player's, tracing stays off.
    page->ContextMenu().SelectRoom();
    EXPECT_EQ(World().CurrentRoom, trap);
    EXPECT_TRUE(trap->Selected);
    EXPECT_FALSE(here->Selected);
}

TEST_F(MapMouse, ShowZoneWordFromTheLanguageFileAndNoPictureIsNoPadlockInTheQuickList) {
    TempDir::Write(dir.path() / "language.ini", "[MainForm]\r\nnShowZoneLink=Show\r\n");
    map::TMudRoom2* r = Room(0, 0);
    r->AutoMaps = {W("Лес|на север|5||")};
    r->QuickList = "gate";
    storage::ZoneTree& tree = session->World().Tree();
    storage::ZoneTreeNode* node = tree.AddQuickListNode(tree.FindZone("Town"), r);
    page->CenterBox();
    Press(Centre(0, 0), Qt::RightButton);
    Release(Centre(0, 0));
    EXPECT_EQ(Item("nShowZone1")->text(), QString::fromUtf8("Show <Лес> на север #5"));

    // A picture, then "no picture" (-1): the node shows the plain room again, not the padlock
    // (image 5, the locked zone's mark).
    auto pick = [&](int tag) {
        auto* button = page->ContextMenu().PopupMenu1()->findChild<QToolButton*>(
            QString("nPicture%1").arg(tag));
        ASSERT_NE(button, nullptr) << tag;
        button->click();
    };
    pick(3);
    EXPECT_EQ(r->ImageIndex, 3);
    EXPECT_EQ(node->image, 9);
    pick(-1);
    EXPECT_EQ(r->ImageIndex, -1);
    EXPECT_EQ(node->image, 4);
}

TEST_F(MapMouse, LinkLinesDoorsAndLinksShapeTheMenu) {
    map::TMudRoom2* r = Room(0, 0);
    Room(3, 3);
    r->ChN = true;
    r->ChE = true;
    r->SetExits("N (E) S", session->Profile());
    // One line north into Лес room 5, one without a room number.
    r->AutoMaps = {W("Лес|на север|5||"), W("Поле|на юг|0||")};
    page->CenterBox();
    Press(Centre(0, 0), Qt::RightButton);
    Release(Centre(0, 0));
    ASSERT_EQ(menusOpened, 1);
    EXPECT_EQ(World().ContextRoom, r);
    EXPECT_EQ(page->View().windowMode, view::kNormal);

    EXPECT_TRUE(Item("nShowZoneDelim")->isVisible());
    EXPECT_TRUE(Item("nShowZone1")->isVisible());
    EXPECT_EQ(Item("nShowZone1")->text(), QString::fromUtf8("Показать <Лес> на север #5"));
    EXPECT_FALSE(Item("nShowZone2")->isVisible());
    EXPECT_FALSE(Item("nShowZone")->isVisible());
    // North has a line: joined, not split; east is linked without one: split there.
    EXPECT_TRUE(Item("nMerge")->isEnabled());
    EXPECT_TRUE(Item("nMergeNorth")->isVisible());
    EXPECT_EQ(Item("nMergeNorth")->text(), QString::fromUtf8("<Лес> (на север)"));
    EXPECT_FALSE(Item("nMergeEast")->isVisible());
    EXPECT_FALSE(Item("nNewZoneNorth")->isVisible());
    EXPECT_TRUE(Item("nNewZoneEast")->isVisible());
    EXPECT_TRUE(Item("nStartNewZone")->isEnabled());
    // Linked directions take no new room or corridor.
    EXPECT_FALSE(Item("toNorth")->isEnabled());
    EXPECT_FALSE(Item("nLinkEast")->isEnabled());
    EXPECT_TRUE(Item("toSouth")->isEnabled());
    EXPECT_TRUE(Item("nLinkWest")->isEnabled());
    // Doors: offered where there is an exit, checked where it is one already.
    EXPECT_TRUE(Item("nDoorNorth")->isVisible());
    EXPECT_FALSE(Item("nDoorNorth")->isChecked());
    EXPECT_TRUE(Item("nDoorEast")->isChecked());
    EXPECT_FALSE(Item("nDoorWest")->isVisible());
    Item("nDoorNorth")->trigger();
    EXPECT_EQ(r->Exits(), "(N) (E) S");
    EXPECT_TRUE(Item("nAddToQuickList")->isVisible());
    EXPECT_FALSE(Item("nRemoveRoom")->isVisible());
    EXPECT_TRUE(Item("nEditRoom")->isVisible());

    // A room without links or lines: nothing to split or join, no show-zone items.
    map::TMudRoom2* other = World().FindRoom(3, 3, 0);
    other->QuickList = "home";
    Press(Centre(3, 3), Qt::RightButton);
    Release(Centre(3, 3));
    EXPECT_FALSE(Item("nStartNewZone")->isEnabled());
    EXPECT_FALSE(Item("nMerge")->isEnabled());
    EXPECT_FALSE(Item("nShowZoneDelim")->isVisible());
    EXPECT_FALSE(Item("nShowZone1")->isVisible());
    EXPECT_TRUE(Item("nRemoveRoom")->isVisible());
    // The last colour goes onto the room.
    World().LastColor = 0x0000FF;
    Item("nLastColor")->trigger();
    EXPECT_EQ(other->BColor, 0x0000FF);
}

TEST_F(MapMouse, PointerShowsTheRoomUnderItAndShiftClickShowsItsText) {
    map::TMudRoom2* here = Room(0, 0, "Square");
    map::TMudRoom2* gate = Room(0, 2, "Gate");
    gate->Description = "A tall gate.";
    gate->Note = "locked at night";
    page->CenterBox();
    World().CurrentRoom = here;
    QString status, note;
    QObject::connect(page.get(), &view::TMapPage::StatusChanged,
                     [&](const QString& s) { status = s; });
    QObject::connect(page.get(), &view::TMapPage::NoteChanged, [&](const QString& s) { note = s; });
    Move(Centre(0, 2));
    EXPECT_EQ(World().ContextRoom, gate);
    EXPECT_EQ(status, QString("[#%1] Gate").arg(gate->Tag));
    EXPECT_EQ(note, "locked at night");
    // Empty grid: the player's room; rooms of other levels are never hit.
    session->Map().Linker().NewRoomAt(1, 1, 1, "Above", "", "");
    Move(Centre(1, 1));
    EXPECT_EQ(World().ContextRoom, nullptr);
    EXPECT_EQ(status, QString("[#%1] Square").arg(here->Tag));
    Move(Centre(0, 2));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(page->PanelMain(), &leave);
    EXPECT_EQ(status, QString("[#%1] Square").arg(here->Tag));

    Move(Centre(0, 2));
    Press(Centre(0, 2), Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_NE(page->Mouse().InfoWindow(), nullptr);
    EXPECT_EQ(page->Mouse().InfoWindow()->text(),
              QString("#%1 Gate\nA tall gate.\n\nlocked at night").arg(gate->Tag));
    // A Shift+drag moves nothing, and the window stays while Shift is held.
    Move(Centre(0, 2) + QPoint(2 * H(), 0), Qt::ShiftModifier);
    EXPECT_EQ(gate->Y, 2);
    EXPECT_NE(page->Mouse().InfoWindow(), nullptr);
    Release(Centre(0, 2));
    EXPECT_EQ(page->Mouse().InfoWindow(), nullptr);
}

} // namespace
