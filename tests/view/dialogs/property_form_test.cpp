// The room property dialog: the coupled marks and pictures, the live preview, what OK copies
// back (and Cancel does not), and the zone-load list that writes through at once.

#include "property_form_fixture.h"

#include "map/LinkLine.h"
#include "profile/WorldProfile.h"
#include "view/dialogs/AutomapForm.h"
#include "view/map/BitmapPanel.h"
#include "view/map/MapContextMenu.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

namespace {

using Form = view::TPropertyForm;

std::string Phrase(map::Dir d) {
    static const profile::WorldProfile profile;
    return map::Phrase(profile, d);
}

std::vector<bool> Boxes(const Form& form) {
    std::vector<bool> checked;
    for (int k = 1; k <= 4; ++k)
        checked.push_back(form.FlagBox(k)->isChecked());
    return checked;
}

// Runs `act` on the property dialog once its modal loop runs.
void WhenOpen(std::function<void(Form&)> act) {
    QTimer::singleShot(0, [act] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* form = qobject_cast<Form*>(w); form && form->isVisible()) {
                EXPECT_EQ(QApplication::activeModalWidget(), form);
                act(*form);
                return;
            }
        ADD_FAILURE() << "no property dialog open";
    });
}

} // namespace

TEST_F(DialogWorld, MarkBoxesAndPicturesFollowEachOtherAndReachTheRoomOnlyOnOk) {
    map::TMudRoom2* r = Room(0, 0);
    auto form = Open(r);
    const map::TMudRoom2& p = form->Editor().Preview();
    QComboBox* pictures = form->ComboBox1();
    ASSERT_GE(pictures->count(), 6);
    EXPECT_EQ(pictures->currentIndex(), 0);

    form->FlagBox(1)->click(); // "ДТ" selects picture 1
    EXPECT_EQ(pictures->currentIndex(), 1);
    EXPECT_TRUE(p.DT);
    EXPECT_EQ(p.ImageIndex, 1);

    pictures->setCurrentIndex(3); // picture 3 checks "Агромобская" alone
    EXPECT_EQ(Boxes(*form), (std::vector<bool>{false, false, true, false}));
    EXPECT_TRUE(p.Agro);
    EXPECT_FALSE(p.DT);
    EXPECT_EQ(p.ImageIndex, 3);

    form->FlagBox(4)->click(); // another box takes over
    EXPECT_EQ(Boxes(*form), (std::vector<bool>{false, false, false, true}));
    EXPECT_EQ(pictures->currentIndex(), 4);
    form->FlagBox(4)->click(); // unchecked: no mark, no picture
    EXPECT_EQ(Boxes(*form), (std::vector<bool>(4, false)));
    EXPECT_EQ(pictures->currentIndex(), 0);
    EXPECT_FALSE(p.NoStep);
    EXPECT_EQ(p.ImageIndex, 0);

    form->FlagBox(2)->click();
    pictures->setCurrentIndex(5); // a picture without a mark clears every box
    EXPECT_EQ(Boxes(*form), (std::vector<bool>(4, false)));
    EXPECT_FALSE(p.FlyDT);
    EXPECT_EQ(p.ImageIndex, 5);
    form->FlagBox(1)->click();
    pictures->setCurrentIndex(0);
    EXPECT_EQ(Boxes(*form), (std::vector<bool>(4, false)));
    EXPECT_FALSE(p.DT);

    form->FlagBox(2)->click();
    EXPECT_FALSE(r->FlyDT); // nothing before OK
    EXPECT_EQ(r->ImageIndex, 0);
    form->ApplyToRoom();
    EXPECT_TRUE(r->FlyDT);
    EXPECT_FALSE(r->DT);
    EXPECT_EQ(r->ImageIndex, 2);
}

TEST_F(DialogWorld, ASetMarkOpensWithItsPictureWhateverPictureWasStored) {
    map::TMudRoom2* r = Room(0, 0);
    r->DT = true;
    r->ImageIndex = 7;
    auto form = Open(r);
    EXPECT_EQ(form->ComboBox1()->currentIndex(), 1);
    EXPECT_EQ(Boxes(*form), (std::vector<bool>{true, false, false, false}));

    map::TMudRoom2* plain = Room(0, 1);
    plain->ImageIndex = 7;
    auto second = Open(plain);
    EXPECT_EQ(second->ComboBox1()->currentIndex(), 7);
    EXPECT_EQ(Boxes(*second), (std::vector<bool>(4, false)));
}

TEST_F(DialogWorld, ThePreviewShowsTheChosenColourWhileTheRoomAndLastColourKeepTheirs) {
    map::TMudRoom2* r = Room(0, 0);
    r->BColor = 0x0000FF00; // green
    const map::Color last = World().LastColor;
    auto form = Open(r);
    const QPoint fill = [&] {
        const int side = form->Panel1()->width(), h = page->CellSize();
        return QPoint(side / 2 - h / 2, side / 2 - h / 2) + page->Skin().Geometry().fillPoint;
    }();
    auto shown = [&] { return form->Panel1()->grab().toImage().pixelColor(fill); };
    EXPECT_EQ(shown(), QColor(0, 255, 0));

    map::Color offered = 0;
    form->chooseColor = [&](map::Color c) -> std::optional<map::Color> {
        offered = c;
        return 0x000000FF; // red
    };
    form->BtnColor()->click();
    EXPECT_EQ(offered, 0x0000FF00);
    EXPECT_EQ(shown(), QColor(255, 0, 0));
    EXPECT_EQ(r->BColor, 0x0000FF00);
    EXPECT_EQ(World().LastColor, last);
    form->ApplyToRoom();
    EXPECT_EQ(r->BColor, 0x000000FF);
}

TEST_F(DialogWorld, TakingALetterFromTheCheckedExitsRemovesThatLinkOnOk) {
    map::TMudRoom2* a = Room(0, 0);
    map::TMudRoom2* north = Room(-3, 0);
    map::TMudRoom2* above = Room(0, 0, 1);
    ASSERT_TRUE(session->Map().Linker().SetLink(a, north, map::North));
    ASSERT_NE(World().FindRoom(-1, 0, 0), nullptr); // a corridor lies between them
    a->ChU = above->ChD = true;

    auto form = Open(a);
    EXPECT_EQ(form->EditChExits()->text(), "NU");
    form->EditChExits()->setText("xU"); // other characters do not matter
    EXPECT_TRUE(a->ChN);                // not before OK
    form->ApplyToRoom();
    EXPECT_FALSE(a->ChN);
    EXPECT_FALSE(north->ChS);
    EXPECT_EQ(World().FindRoom(-1, 0, 0), nullptr);
    EXPECT_EQ(World().FindRoom(-2, 0, 0), nullptr);
    EXPECT_TRUE(a->ChU);

    // Up and down only lose the flag.
    form = Open(a);
    form->EditChExits()->setText("E");
    form->ApplyToRoom();
    EXPECT_FALSE(a->ChU);
    EXPECT_TRUE(above->ChD);
    EXPECT_TRUE(a->ChE);
}

TEST_F(DialogWorld, OkCopiesTheFieldsAndTheAliasMovesTheRoomInAndOutOfTheQuickList) {
    map::TMudRoom2* r = Room(0, 0);
    World().Saved = true;
    auto form = Open(r);
    form->EditName()->setText(QString::fromUtf8("Площадь"));
    form->RoomDescr()->setPlainText("Line one\nLine two\n\n\n");
    form->Tabs()->setCurrentIndex(1);
    form->RoomNote()->setPlainText("note\n");
    form->EditExits()->setText("N (E)");
    form->EditAlias()->setText("square");
    EXPECT_TRUE(r->Hint == "Room" && r->QuickList.empty());
    form->ApplyToRoom();

    EXPECT_EQ(r->Hint, W("Площадь"));
    EXPECT_EQ(r->Description, "Line one\r\nLine two");
    EXPECT_EQ(r->Note, "note\r\n");
    EXPECT_EQ(r->ExitStateOf(map::North), map::kExit);
    EXPECT_EQ(r->ExitStateOf(map::East), map::kDoor);
    EXPECT_FALSE(World().Saved);
    // The room is found under its new name.
    EXPECT_EQ(World().FindRoomByName(W("Площадь"), r->Description, r->Exits()), r);
    storage::ZoneTreeNode* town = session->World().Tree().FindZone("Town");
    ASSERT_EQ(town->children.size(), 1u);
    EXPECT_EQ(town->children[0]->text, "square");
    EXPECT_EQ(town->children[0]->room, r);
    EXPECT_EQ(town->children[0]->image, 4);

    form = Open(r);
    EXPECT_EQ(form->EditAlias()->text(), "square");
    form->EditAlias()->setText("plaza");
    form->ComboBox1()->setCurrentIndex(6);
    form->ApplyToRoom();
    ASSERT_EQ(town->children.size(), 1u);
    EXPECT_EQ(town->children[0]->text, "plaza");
    EXPECT_EQ(town->children[0]->image, 12);
    EXPECT_EQ(r->QuickList, "plaza");

    form = Open(r);
    form->EditAlias()->clear();
    form->ApplyToRoom();
    EXPECT_TRUE(town->children.empty());
    EXPECT_TRUE(r->QuickList.empty());
}

TEST_F(DialogWorld, TheMenuItemOpensTheDialogAndCancelChangesNothingButTheHighlight) {
    map::TMudRoom2* r = Room(0, 0);
    map::TMudRoom2* north = Room(-1, 0);
    session->Map().Linker().SetLink(r, north, map::North);
    r->Checked = true;
    r->Description = "Desc\r\n";
    World().ContextRoom = r;
    World().Saved = true;
    QString title;
    WhenOpen([&](Form& f) {
        title = f.windowTitle();
        f.EditName()->setText("Other");
        f.RoomDescr()->clear();
        f.EditChExits()->clear();
        f.FlagBox(1)->click();
        f.EditAlias()->setText("x");
        f.reject();
    });
    page->ContextMenu().Item("nEditRoom")->trigger();
    EXPECT_EQ(title, QString::fromUtf8("Свойста поля #") + QString::number(r->Tag));
    EXPECT_FALSE(r->Checked);
    EXPECT_EQ(r->Hint, "Room");
    EXPECT_EQ(r->Description, "Desc\r\n");
    EXPECT_TRUE(r->ChN && north->ChS);
    EXPECT_FALSE(r->DT);
    EXPECT_TRUE(r->QuickList.empty());
    EXPECT_TRUE(World().Saved);

    WhenOpen([](Form& f) {
        f.EditName()->setText("Other");
        f.BtnOk()->click();
    });
    page->ContextMenu().Item("nEditRoom")->trigger();
    EXPECT_EQ(r->Hint, "Other");
}

TEST_F(DialogWorld, ZoneLoadLinesChangeTheRoomAtOnceEvenWhenTheDialogIsCancelled) {
    map::TMudRoom2* r = Room(0, 0);
    map::TMudRoom2* far = ThereRoom(1);
    auto form = Open(r);
    QStringList zonesOffered;
    form->onAutomapFormShown = [&](view::TAutomapForm& f) {
        for (int i = 0; i < f.ComboBoxMap()->count(); ++i)
            zonesOffered << f.ComboBoxMap()->itemText(i);
        f.SetValues({"There", Phrase(map::East), "1", "", true});
        f.BtnOk()->click();
    };
    ui.answers = {storage::Answer::Yes}; // the line back from the other room
    form->NAddClick();
    EXPECT_TRUE(zonesOffered.contains("There") && zonesOffered.contains("Town"));
    const std::string line = "There|" + Phrase(map::East) + "|1||-1";
    EXPECT_EQ(r->AutoMaps, std::vector<std::string>{line});
    EXPECT_TRUE(r->ChE);
    EXPECT_EQ(form->EditChExits()->text(), "E");
    ASSERT_EQ(form->AutomapList()->topLevelItemCount(), 1);
    QTreeWidgetItem* item = form->AutomapList()->topLevelItem(0);
    EXPECT_EQ(item->text(0), "There");
    EXPECT_EQ(item->text(1), Q(Phrase(map::East)));
    EXPECT_EQ(item->text(2), "1");
    const std::string back = "Town|" + Phrase(map::West) + "|" + std::to_string(r->Tag) + "||-1";
    EXPECT_EQ(far->AutoMaps, std::vector<std::string>{back});
    EXPECT_TRUE(far->ChW);
    form.reset(); // Cancel: the line stays
    EXPECT_EQ(r->AutoMaps, std::vector<std::string>{line});

    // Changing the line: the dialog opens on the item's values.
    form = Open(r);
    storage::AutomapValues seen;
    form->onAutomapFormShown = [&](view::TAutomapForm& f) {
        seen = f.Values();
        f.EditSendTrigger()->setText("open door");
        f.CheckBoxSendMove()->setChecked(false);
        f.BtnOk()->click();
    };
    form->AutomapList()->setCurrentItem(form->AutomapList()->topLevelItem(0));
    ui.answers = {storage::Answer::No}; // the old line back stays; no new one is offered
    form->NEditClick();
    EXPECT_EQ(seen.zone, "There");
    EXPECT_EQ(seen.room, "1");
    EXPECT_EQ(r->AutoMaps[0], "There|" + Phrase(map::East) + "|1|open door|0");
    EXPECT_EQ(form->AutomapList()->topLevelItem(0)->text(3), "open door");

    // Deleting it, and the line back.
    form->AutomapList()->setCurrentItem(form->AutomapList()->topLevelItem(0));
    ui.answers = {storage::Answer::Yes, storage::Answer::Yes};
    form->NDelClick();
    EXPECT_TRUE(r->AutoMaps.empty());
    EXPECT_FALSE(r->ChE);
    EXPECT_TRUE(far->AutoMaps.empty());
    EXPECT_EQ(form->AutomapList()->topLevelItemCount(), 0);
    EXPECT_EQ(form->EditChExits()->text(), "");
    // Nothing selected, nothing to delete.
    ui.questions.clear();
    form->NDelClick();
    EXPECT_TRUE(ui.questions.empty());
}

TEST_F(DialogWorld, TheListsKeysWorkOnTheLinesAndNeverCloseTheDialog) {
    map::TMudRoom2* r = Room(0, 0);
    r->AutoMaps = {"There|portal|0||-1"};
    auto form = Open(r);
    form->show();
    QTreeWidget* list = form->AutomapList();
    list->setCurrentItem(list->topLevelItem(0));
    int opened = 0;
    form->onAutomapFormShown = [&](view::TAutomapForm& f) {
        ++opened;
        f.reject();
    };
    auto press = [&](int key) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(list, &e);
    };
    press(Qt::Key_Return);
    press(Qt::Key_Insert);
    EXPECT_EQ(opened, 2);
    press(Qt::Key_Delete); // asked, answered No
    EXPECT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(r->AutoMaps.size(), 1u);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->result(), 0);
}
