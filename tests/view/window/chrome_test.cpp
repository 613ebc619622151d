#include "files/IniFile.h"
#include "support/TempDir.h"
#include "text/Cp1251.h"
#include "view/map/MapPage.h"
#include "view/objects/ObjectPage.h"
#include "view/objects/ObjectTreeView.h"
#include "view/window/NotePanel.h"
#include "view/window/QuarvelinForm.h"
#include "view/window/StatusPanels.h"
#include "view/window/ZoneTreePanel.h"
#include "world/ObjectBase.h"
#include "world/ZoneTree.h"

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <map>

namespace {

using text::W;

void Process(int rounds = 20) {
    for (int i = 0; i < rounds; ++i)
        QApplication::processEvents();
}

// A world "Мир" whose profile keeps the client port free for parallel tests.
std::filesystem::path MakeWorld(TempDir& dir, const std::string& profileExtra = {}) {
    const auto world = dir.path() / "Maps" / "Мир";
    TempDir::Write(world / "local.ini", "[Connect]\r\nClient Port=0\r\n" + profileExtra);
    return world;
}

app::Session::Options Opts(TempDir& dir) {
    return {dir.path(), W("Мир"), false};
}

// Shows the form and lets the first activation load the world.
void Start(view::TQuarvelinForm& form) {
    form.show();
    form.activateWindow();
    QApplication::setActiveWindow(&form);
    Process();
}

void Mouse(QWidget* w, QEvent::Type type, QPoint at = {}) {
    if (at.isNull()) at = w->rect().center();
    QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void DoubleClick(QWidget* w, QPoint at = {}) {
    Mouse(w, QEvent::MouseButtonPress, at);
    Mouse(w, QEvent::MouseButtonRelease, at);
    Mouse(w, QEvent::MouseButtonDblClick, at);
    Mouse(w, QEvent::MouseButtonRelease, at);
}

void Key(QWidget* w, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent e(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(w, &e);
}

// What a key press would trigger through the window's shortcuts.
bool Shortcut(QWidget& window, const QKeySequence& key) {
    for (QAction* a : window.findChildren<QAction*>())
        if (a->shortcuts().contains(key) && a->isEnabled()) {
            a->trigger();
            return true;
        }
    return false;
}

map::TMudRoom2* AddRoom(view::TQuarvelinForm& form, int tag, const std::string& note) {
    auto room = std::make_unique<map::TMudRoom2>();
    room->Tag = tag;
    room->Note = note;
    map::MapWorld& world = form.Session().Map().World();
    return world.AddRoom(std::move(room), world.CurrentZone);
}

} // namespace

TEST(Chrome, ActionsCarryTheirShortcutsAndCaptionsFromTheLanguageFile) {
    TempDir dir;
    MakeWorld(dir);
    TempDir::Write(
        dir.path() / "language.ini",
        "[MainForm]\r\nnSaveWorld=Save all\r\nnShowTree=Tree pane\r\nnTransparency=\r\n");
    TempDir::Write(dir.path() / "quarvelin.ini", "[Options]\r\nSwapUpDown=0\r\n");
    view::TQuarvelinForm form(Opts(dir));

    const std::pair<const char*, QKeySequence> keys[] = {
        {"nNewZone", QKeySequence(Qt::Key_F2)},
        {"nSaveWorld", QKeySequence(Qt::Key_F3)},
        {"nSaveWorldAs", QKeySequence(Qt::ALT | Qt::Key_F3)},
        {"nExit", QKeySequence(Qt::ALT | Qt::Key_F4)},
        {"actTree", QKeySequence(Qt::Key_F5)},
        {"btnShortMode", QKeySequence(Qt::Key_F6)},
        {"actOnTop", QKeySequence(Qt::Key_F7)},
        {"btnCenter", QKeySequence(Qt::Key_F8)},
        {"btnStopTrace", QKeySequence(Qt::SHIFT | Qt::Key_F9)},
        {"btnConfig", QKeySequence(Qt::ALT | Qt::Key_F9)},
        {"actLevelUp",
         QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Plus))},
        {"actLevelDown",
         QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Minus))},
    };
    for (const auto& [name, key] : keys) {
        QAction* a = form.Action(name);
        ASSERT_NE(a, nullptr) << name;
        EXPECT_TRUE(a->shortcuts().contains(key)) << name;
    }
    EXPECT_EQ(form.Action("nSaveWorld")->shortcuts(), QList<QKeySequence>{QKeySequence("F3")});
    // Menu item and tool button are one action, so they cannot disagree.
    EXPECT_EQ(form.Action("btnSaveWorld"), form.Action("nSaveWorld"));
    EXPECT_EQ(form.Action("btnShortMode"), form.Action("nAutolink"));
    EXPECT_TRUE(form.Action("btnConfig")->isEnabled());

    // The user's texts, with the hints keeping their key names; an empty value is a value.
    EXPECT_EQ(form.Action("nSaveWorld")->text(), "Save all");
    EXPECT_EQ(form.Action("nSaveWorld")->toolTip(), "Save all F3");
    EXPECT_EQ(form.Action("actTree")->text(), "Tree pane");
    EXPECT_EQ(form.Action("actTree")->toolTip(), "Tree pane F5");
    EXPECT_EQ(form.Action("nTr30")->text(), " 30%");
    EXPECT_EQ(form.Action("actOnTop")->text(), QString::fromUtf8("Поверх всех окон"));
    EXPECT_EQ(form.Action("btnStopTrace")->toolTip(),
              QString::fromUtf8("Остановить трассировку Shift+F9"));
    // Transparency does not exist on this platform: its submenu is there but disabled.
    auto* trMenu = form.findChild<QMenu*>("nTransparency");
    ASSERT_NE(trMenu, nullptr);
    EXPECT_FALSE(trMenu->isEnabled());
    EXPECT_TRUE(trMenu->actions().contains(form.Action("nTr30")));
    storage::IniFile lang(dir.path() / "language.ini");
    EXPECT_EQ(lang.ReadString("MainForm", "nShowTree", ""), "Tree pane");
    EXPECT_EQ(lang.ReadString("MainForm", "nStayOnTop", ""), W("Поверх всех окон"));
}

namespace {
// The actions whose shortcut Qt would consider with `focus` holding the keyboard focus.
std::vector<QAction*> LiveShortcuts(QWidget& window, QWidget* focus) {
    std::vector<QAction*> live;
    for (QAction* a : window.findChildren<QAction*>()) {
        if (a->shortcuts().isEmpty() || !a->isEnabled()) continue;
        bool reachable = false;
        for (QObject* o : a->associatedObjects()) {
            auto* w = qobject_cast<QWidget*>(o);
            if (!w) continue;
            switch (a->shortcutContext()) {
            case Qt::WidgetShortcut:
                reachable |= w == focus;
                break;
            case Qt::WidgetWithChildrenShortcut:
                reachable |= focus && (w == focus || w->isAncestorOf(focus));
                break;
            default:
                reachable |= w->window() == &window || qobject_cast<QMenu*>(w);
                break;
            }
        }
        if (reachable) live.push_back(a);
    }
    return live;
}

// Two live actions that share a key: Qt would fire neither.
std::string Clashes(QWidget& window, QWidget* focus) {
    std::string out;
    std::map<QString, QStringList> byKey;
    for (QAction* a : LiveShortcuts(window, focus))
        for (const QKeySequence& k : a->shortcuts())
            byKey[k.toString()] << a->objectName();
    for (const auto& [key, names] : byKey)
        if (names.size() > 1) out += (key + ": " + names.join(", ") + "; ").toStdString();
    return out;
}
} // namespace

TEST(Chrome, EveryShortcutDoesOneThingOnBothPagesAndCtrlSSortsTheObjectTree) {
    TempDir dir;
    MakeWorld(dir);
    view::TQuarvelinForm form(Opts(dir));
    Start(form);
    app::Session& s = form.Session();
    map::MapWorld& world = s.Map().World();

    // Map page: F3 saves the world.
    form.Pages()->setCurrentIndex(0);
    form.MapPage()->setFocus();
    Process();
    EXPECT_EQ(Clashes(form, QApplication::focusWidget()), "");
    world.Saved = false;
    Key(QApplication::focusWidget(), Qt::Key_F3, Qt::NoModifier);
    EXPECT_TRUE(world.Saved);

    // Object page: Ctrl+S in the tree sorts the selected node's children, and saves nothing.
    storage::ObjectBase& base = s.Objects();
    base.FileReport(W("Предметы"), {W("щит")}, {W("Щит круглый")});
    base.FileReport(W("Предметы"), {W("меч")}, {W("Меч длинный")});
    storage::ObjectNode* items = base.Tree().Roots().front().get();
    form.Pages()->setCurrentIndex(1);
    view::TObjectPage* page = form.ObjectPage();
    base.Select(items);
    page->Tree()->setFocus();
    Process();
    ASSERT_EQ(QApplication::focusWidget(), page->Tree());
    for (QWidget* focus :
         {static_cast<QWidget*>(page->Tree()), static_cast<QWidget*>(page->Pane())})
        EXPECT_EQ(Clashes(form, focus), "") << focus->metaObject()->className();
    world.Saved = false;
    Key(page->Tree(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(items->Children().size(), 2u);
    EXPECT_EQ(items->Children()[0]->Title(), W("меч"));
    EXPECT_EQ(items->Children()[1]->Title(), W("щит"));
    EXPECT_FALSE(world.Saved);
    // Saved and read back, so that closing has nothing to ask.
    ASSERT_TRUE(base.tbSaveObjectsClick());
    base.tbDiscardClick();
}

TEST(Chrome, LevelKeysFollowSwapUpDown) {
    TempDir dir;
    MakeWorld(dir);
    view::TQuarvelinForm form(Opts(dir)); // SwapUpDown is on by default
    const QKeySequence minus(
        QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Minus));
    EXPECT_EQ(form.Action("actLevelUp")->shortcut(), minus);
    EXPECT_NE(form.Action("actLevelDown")->shortcut(), minus);
}

TEST(Chrome, SwitchesShowWhatTheyChangeAndAreRemembered) {
    TempDir dir;
    MakeWorld(dir);
    TempDir::Write(dir.path() / "quarvelin.ini", "[Options]\r\nStayOnTop=1\r\nShowNote=1\r\n");
    {
        view::TQuarvelinForm form(Opts(dir));
        Start(form);
        EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_TRUE(form.Action("actOnTop")->isChecked());
        EXPECT_TRUE(form.NotePanel()->isVisible());

        // Stay on top off and on again: the window stays shown where it was.
        const QPoint place = form.pos();
        form.Action("actOnTop")->trigger();
        EXPECT_FALSE(form.windowFlags() & Qt::WindowStaysOnTopHint);
        form.Action("actOnTop")->trigger();
        EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(form.pos(), place);

        // The tree toggle hides the tree and the note with it; F2 (a new zone to name) brings
        // them back.
        ASSERT_TRUE(form.LeftPanel()->isVisible());
        form.Action("actTree")->trigger();
        EXPECT_FALSE(form.LeftPanel()->isVisible());
        EXPECT_FALSE(form.Action("actTree")->isChecked());
        form.Action("nNewZone")->trigger();
        EXPECT_TRUE(form.LeftPanel()->isVisible());
        EXPECT_TRUE(form.Action("actTree")->isChecked());
        form.Action("actTree")->trigger();

        // Autolink shows the profile's NoDescription inverted.
        EXPECT_TRUE(form.Action("nAutolink")->isChecked());
        form.Action("btnShortMode")->trigger();
        EXPECT_TRUE(form.Session().Profile().NoDescription);
        EXPECT_FALSE(form.Action("nAutolink")->isChecked());
        form.close();
    }
    const std::string settings = TempDir::Read(dir.path() / "quarvelin.ini");
    EXPECT_NE(settings.find("StayOnTop=1"), std::string::npos);
    EXPECT_NE(settings.find("TreeVisible=0"), std::string::npos);
    EXPECT_NE(settings.find("ShowNote=1"), std::string::npos);
}

TEST(Chrome, TreePaneWidthIsRemembered) {
    TempDir dir;
    MakeWorld(dir);
    TempDir::Write(dir.path() / "quarvelin.ini", "[Options]\r\nTreeZonesWidth=260\r\n");
    {
        view::TQuarvelinForm form(Opts(dir));
        Start(form);
        EXPECT_NEAR(form.LeftPanel()->width(), 260, 2);
        form.close();
    }
    EXPECT_NE(TempDir::Read(dir.path() / "quarvelin.ini").find("TreeZonesWidth=26"),
              std::string::npos);
}

TEST(Chrome, NoteIsEditedOnlyAfterADoubleClickWhileThePlayerStandsInARoom) {
    TempDir dir;
    MakeWorld(dir);
    TempDir::Write(dir.path() / "quarvelin.ini", "[Options]\r\nShowNote=1\r\n");
    view::TQuarvelinForm form(Opts(dir));
    Start(form);
    view::TNotePanel* note = form.NotePanel();
    map::MapWorld& world = form.Session().Map().World();

    // A single click does not let the user type; without a current room neither does a double.
    Mouse(note->viewport(), QEvent::MouseButtonPress);
    Mouse(note->viewport(), QEvent::MouseButtonRelease);
    note->setFocus(Qt::MouseFocusReason);
    EXPECT_FALSE(note->hasFocus());
    EXPECT_TRUE(note->isReadOnly());
    DoubleClick(note->viewport());
    EXPECT_FALSE(note->Editing());
    EXPECT_TRUE(note->isReadOnly());

    map::TMudRoom2* room = AddRoom(form, 7, W("старая\r\nзаметка"));
    world.CurrentRoom = room;
    world.Saved = true;
    DoubleClick(note->viewport());
    ASSERT_TRUE(note->Editing());
    EXPECT_TRUE(form.MapPage()->View().noteEditing);
    EXPECT_FALSE(note->isReadOnly());
    EXPECT_EQ(note->toPlainText(), QString::fromUtf8("старая\nзаметка"));
    // The map's pointer moving over other rooms does not overwrite what is being typed.
    note->ShowNote("other room");
    EXPECT_EQ(note->toPlainText(), QString::fromUtf8("старая\nзаметка"));

    note->setPlainText(QString::fromUtf8("новая\nстрока"));
    Key(note, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_FALSE(note->Editing());
    EXPECT_FALSE(form.MapPage()->View().noteEditing);
    EXPECT_TRUE(note->isReadOnly());
    EXPECT_EQ(room->Note, W("новая\r\nстрока"));
    EXPECT_FALSE(world.Saved);

    // A room deleted while its note is edited gets nothing (and nothing crashes).
    DoubleClick(note->viewport());
    ASSERT_TRUE(note->Editing());
    world.DestroyRoom(room);
    map::TMudRoom2* other = AddRoom(form, 8, "");
    note->setPlainText("lost");
    Key(note, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_FALSE(note->Editing());
    EXPECT_EQ(other->Note, "");
}

TEST(Chrome, ZoneTreeShowsTheWorldAndOpensAZoneOnDoubleClick) {
    TempDir dir;
    const auto world = MakeWorld(dir);
    TempDir::Write(world / "Alpha.tk2", "");
    TempDir::Write(world / "Beta.tk2", "");
    view::TQuarvelinForm form(Opts(dir));
    Start(form);
    view::TZoneTreePanel* tree = form.ZoneTree();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree->topLevelItem(0);
    EXPECT_EQ(root->text(0), QString::fromUtf8("Мир"));
    ASSERT_EQ(root->childCount(), 2);
    EXPECT_EQ(root->child(0)->text(0), "Alpha");
    EXPECT_EQ(root->child(1)->text(0), "Beta");

    // Selecting an item selects its node in the model (the context menu acts on it).
    tree->setCurrentItem(root->child(1));
    EXPECT_EQ(form.Session().World().Tree().Selected(), tree->NodeOf(root->child(1)));
    // A double click opens the zone; the tree follows the model (the current zone in bold).
    const QRect r = tree->visualItemRect(root->child(1));
    DoubleClick(tree->viewport(), r.center());
    Process();
    EXPECT_EQ(form.Session().ZoneName(), "Beta");
    QTreeWidgetItem* beta = tree->topLevelItem(0)->child(1);
    EXPECT_TRUE(beta->font(0).bold());
    EXPECT_FALSE(tree->topLevelItem(0)->child(0)->font(0).bold());
    EXPECT_TRUE(form.windowTitle().contains("Beta"));
}

TEST(Chrome, SkinChooserListsTheVariantsAndSwitchingLoadsSetB) {
    TempDir dir;
    const auto world = MakeWorld(dir, "[Skin]\r\nIniFile=skins.ini\r\nCurrentSkin=0\r\n");
    QImage strip(26 * 20, 20, QImage::Format_RGB32);
    strip.fill(Qt::darkGreen);
    ASSERT_TRUE(strip.save(QString::fromStdString((world / "small.png").string())));
    TempDir::Write(world / "skins.ini", "[Skin0]\r\nDescription=" + W("Обычный") +
                                            "\r\n[Skin1]\r\nDescription=" + W("Мелкий") +
                                            "\r\nPicture=small.png\r\n");
    view::TQuarvelinForm form(Opts(dir));
    Start(form);
    QComboBox* chooser = form.SkinChooser();
    ASSERT_EQ(chooser->count(), 2);
    EXPECT_EQ(chooser->itemText(0), QString::fromUtf8("Обычный"));
    EXPECT_EQ(chooser->itemText(1), QString::fromUtf8("Мелкий"));
    EXPECT_EQ(chooser->currentIndex(), 0);

    chooser->setCurrentIndex(1);
    form.cbSkinsChange();
    EXPECT_EQ(form.MapPage()->Skin().Set(1).cell, 20);
    EXPECT_EQ(form.MapPage()->Skin().Set(0).cell, 32);
    EXPECT_EQ(form.Session().Profile().CurrentSkin, 1);
    // Re-reading on activation keeps the choice.
    form.cbSkinsChange();
    EXPECT_EQ(chooser->currentIndex(), 1);
    EXPECT_EQ(chooser->count(), 2);
}

TEST(Chrome, CtrlArrowsScrollTheMapWithinItsRange) {
    TempDir dir;
    MakeWorld(dir);
    view::TQuarvelinForm form(Opts(dir));
    Start(form);
    view::TMapView& v = form.MapPage()->View();
    v.SB1 = {5, 0, 6};
    v.SB2 = {0, 0, 3};
    ASSERT_TRUE(Shortcut(form, QKeySequence("Ctrl+Right")));
    Shortcut(form, QKeySequence("Ctrl+Right"));
    EXPECT_EQ(v.SB1.position, 6);
    Shortcut(form, QKeySequence("Ctrl+Up"));
    EXPECT_EQ(v.SB2.position, 0);
    Shortcut(form, QKeySequence("Ctrl+Down"));
    EXPECT_EQ(v.SB2.position, 1);
    Shortcut(form, QKeySequence("Ctrl+Left"));
    EXPECT_EQ(v.SB1.position, 5);
}

TEST(Chrome, CompressionStatistics) {
    using view::MccpStatisticsText;
    EXPECT_EQ(MccpStatisticsText(true, "v2", 1000, 4000),
              "MCCP Compression : v2\r\nCompressed: 1000 bytes,\r\nUncompressed: 4000 bytes\r\n"
              "Compression rate: 75%");
    EXPECT_NE(MccpStatisticsText(true, "v2", 0, 0).find("rate: ----"), std::string::npos);
    // Compressed data that grew: the integer part of a negative rate.
    EXPECT_NE(MccpStatisticsText(true, "v1", 105, 100).find("rate: -5%"), std::string::npos);
    EXPECT_EQ(MccpStatisticsText(false, "", 0, 123), "Compression disabled\r\n123 bytes");

    TempDir dir;
    MakeWorld(dir);
    view::TQuarvelinForm form(Opts(dir));
    Start(form);
    // Only the compression panel shows the box, from the press to the release.
    Mouse(form.RoomPanel(), QEvent::MouseButtonPress);
    EXPECT_TRUE(!form.StatisticsBox() || !form.StatisticsBox()->isVisible());
    Mouse(form.RoomPanel(), QEvent::MouseButtonRelease);
    const QPoint pointer = form.MccpPanel()->mapToGlobal(form.MccpPanel()->rect().center());
    Mouse(form.MccpPanel(), QEvent::MouseButtonPress);
    ASSERT_NE(form.StatisticsBox(), nullptr);
    EXPECT_TRUE(form.StatisticsBox()->isVisible());
    EXPECT_TRUE(form.StatisticsBox()->text().startsWith("Compression disabled\n"));
    // Its bottom edge 10 pixels above the pointer.
    EXPECT_EQ(form.StatisticsBox()->geometry().bottom() + 1, pointer.y() - 10);
    Mouse(form.MccpPanel(), QEvent::MouseButtonRelease);
    EXPECT_FALSE(form.StatisticsBox()->isVisible());
}

TEST(Chrome, QuestionsAndTheColourDialogAnswerTheCore) {
    TempDir dir;
    MakeWorld(dir);
    view::TQuarvelinForm form(Opts(dir));
    auto answerBox = [](QMessageBox::StandardButton button, QString* title) {
        QTimer::singleShot(0, [button, title] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            *title = box->windowTitle();
            box->button(button)->click();
        });
    };
    QString title;
    answerBox(QMessageBox::Cancel, &title);
    EXPECT_EQ(form.Ask("?", true), storage::Answer::Cancel);
    EXPECT_EQ(title, "Quarvelin");
    answerBox(QMessageBox::Yes, &title);
    EXPECT_EQ(form.Ask("?", false), storage::Answer::Yes);

    // The map asks through the session: the chosen colour comes back as $00BBGGRR.
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->setCurrentColor(QColor(0x11, 0x22, 0x33));
        dialog->accept();
    });
    EXPECT_EQ(form.Session().Map().World().Ui().ChooseColor(0),
              std::optional<map::Color>(0x332211));
}

// A map that cannot be written is not thrown away by closing the window: the player is asked,
// and the window stays open with the map until a save works.
TEST(Chrome, ClosingWithAMapThatCannotBeWrittenAsksAndKeepsTheWindow) {
    TempDir dir;
    const auto world = MakeWorld(dir, "[Options]\r\nZone=Town\r\n");
    TempDir::Write(world / "Town.tk2", "");
    view::TQuarvelinForm form(Opts(dir));
    Start(form);
    ASSERT_EQ(form.Session().ZoneName(), "Town");
    form.Session().Map().Linker().NewRoomAt(0, 0, 0, "Hall", "", "");
    // The zone file's place is taken by a directory: no save can replace it, not even as root.
    std::filesystem::remove(world / "Town.tk2");
    std::filesystem::create_directory(world / "Town.tk2");

    // Answer every box: OK to messages, `answer` to the question.
    QStringList asked;
    QMessageBox::StandardButton answer = QMessageBox::No;
    QTimer boxes;
    QObject::connect(&boxes, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        if (box->button(QMessageBox::No)) {
            asked << box->text();
            box->button(answer)->click();
        } else {
            box->button(QMessageBox::Ok)->click();
        }
    });
    boxes.start(10);

    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].contains(QString::fromUtf8("Закрыть программу")))
        << asked[0].toStdString();
    EXPECT_NE(form.Session().Map().World().FindRoom(0, 0, 0), nullptr) << "the map is kept";

    // Writing works again: the window closes and the room is in the zone file.
    std::filesystem::remove(world / "Town.tk2");
    EXPECT_TRUE(form.close());
    EXPECT_EQ(asked.size(), 1);
    EXPECT_NE(TempDir::Read(world / "Town.tk2").find("Hall"), std::string::npos);
}
