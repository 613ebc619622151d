#include "app/core/Session.h"
#include "support/EventLoop.h"
#include "support/TempDir.h"
#include "text/Cp1251.h"
#include "view/objects/FindReplaceDialogs.h"
#include "view/window/QuarvelinForm.h"
#include "view/window/RoomSearch.h"
#include "view/window/ZoneTreeMenu.h"
#include "view/window/ZoneTreePanel.h"
#include "world/ZoneTree.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <gtest/gtest.h>

#include <optional>

namespace fs = std::filesystem;
using text::W;

namespace {

void Process(int rounds = 20) {
    for (int i = 0; i < rounds; ++i)
        QApplication::processEvents();
}

// A world "Мир" with the zones given, its profile keeping the client port free.
fs::path MakeWorld(TempDir& dir, std::initializer_list<const char*> zones) {
    const auto world = dir.path() / "Maps" / "Мир";
    TempDir::Write(world / "local.ini", "[Connect]\r\nClient Port=0\r\n");
    for (const char* zone : zones)
        TempDir::Write(world / (std::string(zone) + ".tk2"), "");
    return world;
}

void Start(view::TQuarvelinForm& form) {
    form.show();
    form.activateWindow();
    QApplication::setActiveWindow(&form);
    Process();
}

QTreeWidgetItem* ItemOf(view::TQuarvelinForm& form, const std::string& zone) {
    storage::ZoneTreeNode* node = form.Session().World().Tree().FindZone(zone);
    return node ? form.ZoneTree()->ItemOf(node) : nullptr;
}

map::TMudRoom2* AddRoom(view::TQuarvelinForm& form, int tag, const std::string& zone,
                        const std::string& hint = {}) {
    auto room = std::make_unique<map::TMudRoom2>();
    room->Tag = tag;
    room->Hint = hint;
    room->X = tag;
    return form.Session().Map().World().AddRoom(std::move(room), zone);
}

// Renames through the tree's own editor, as the user types and presses Enter.
void RenameInPlace(view::TQuarvelinForm& form, QTreeWidgetItem* item, const QString& text) {
    view::TZoneTreePanel* tree = form.ZoneTree();
    tree->setCurrentItem(item);
    view::TZoneTreeMenu* menu = form.ZoneTreeMenu();
    ASSERT_TRUE(menu->PopupMenu2Popup());
    ASSERT_TRUE(menu->Item("nnRenameZone")->isVisible());
    menu->Item("nnRenameZone")->trigger();
    auto* editor = tree->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(text);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(editor, &enter);
    Process();
}

} // namespace

TEST(ZoneTree, RenamingInPlaceRefusesATakenName) {
    TempDir dir;
    const fs::path world = MakeWorld(dir, {"Alpha", "Beta"});
    view::TQuarvelinForm form({dir.path(), W("Мир"), false});
    Start(form);

    RenameInPlace(form, ItemOf(form, "Alpha"), "Beta");
    ASSERT_NE(ItemOf(form, "Alpha"), nullptr);
    EXPECT_EQ(ItemOf(form, "Alpha")->text(0), "Alpha");
    EXPECT_TRUE(fs::exists(world / "Alpha.tk2"));
    EXPECT_TRUE(fs::exists(world / "Beta.tk2"));
    EXPECT_EQ(form.Session().World().Tree().Zones().size(), 2u);

    // The world's own node is never edited.
    form.ZoneTree()->StartEditing(form.Session().World().Tree().Root());
    EXPECT_EQ(form.ZoneTree()->viewport()->findChild<QLineEdit*>(), nullptr);

    RenameInPlace(form, ItemOf(form, "Alpha"), QString::fromUtf8("Гавань"));
    EXPECT_EQ(ItemOf(form, "Alpha"), nullptr);
    ASSERT_NE(ItemOf(form, W("Гавань")), nullptr);
    EXPECT_EQ(ItemOf(form, W("Гавань"))->text(0), QString::fromUtf8("Гавань"));
    EXPECT_TRUE(fs::exists(world / "Гавань.tk2"));
    EXPECT_FALSE(fs::exists(world / "Alpha.tk2"));
    // Sorted: the renamed zone moved behind Beta.
    QTreeWidgetItem* root = form.ZoneTree()->topLevelItem(0);
    EXPECT_EQ(root->child(0)->text(0), "Beta");
}

TEST(ZoneTree, NewZoneFromTheMenuIsNamedAtOnce) {
    TempDir dir;
    const fs::path world = MakeWorld(dir, {"Alpha"});
    view::TQuarvelinForm form({dir.path(), W("Мир"), false});
    Start(form);
    form.ZoneTree()->setCurrentItem(form.ZoneTree()->topLevelItem(0));
    ASSERT_TRUE(form.ZoneTreeMenu()->PopupMenu2Popup());
    form.ZoneTreeMenu()->Item("nnNewZone")->trigger();
    Process();
    auto* editor = form.ZoneTree()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QString::fromUtf8("Новая зона"));
    // The window coming back to the front reads the skin again; the editing goes on.
    form.cbSkinsChange();
    Process();
    ASSERT_EQ(form.ZoneTree()->viewport()->findChild<QLineEdit*>(), editor);
    editor->setText("Harbour");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(editor, &enter);
    Process();
    EXPECT_EQ(form.Session().ZoneName(), "Harbour");
    EXPECT_TRUE(fs::exists(world / "Harbour.tk2"));
}

TEST(ZoneTree, MenuItemsFollowTheLevelOfTheNode) {
    TempDir dir;
    MakeWorld(dir, {"Alpha", "Beta"});
    view::TQuarvelinForm form({dir.path(), W("Мир"), false});
    Start(form);
    app::Session& s = form.Session();
    view::TZoneTreeMenu* menu = form.ZoneTreeMenu();
    view::TZoneTreePanel* tree = form.ZoneTree();
    auto shown = [menu](const char* name) { return menu->Item(name)->isVisible(); };
    auto visible = [&] {
        QStringList names;
        for (QAction* a : menu->PopupMenu2()->actions())
            if (a->isVisible() && !a->isSeparator()) names << a->objectName();
        return names.join(' ');
    };
    const QString find = " nFindByName nFindByDesc nFindByNote";

    tree->setCurrentItem(tree->topLevelItem(0));
    ASSERT_TRUE(menu->PopupMenu2Popup());
    EXPECT_EQ(visible(), "nnNewWorld nnLoadWorld nnSaveWorld nnNewZone" + find);

    tree->setCurrentItem(ItemOf(form, "Beta"));
    ASSERT_TRUE(menu->PopupMenu2Popup());
    EXPECT_EQ(visible(),
              "nnNewZone nnLoadZone nnRenameZone nnDeleteZone nnLockZone nnBindZone" + find);
    EXPECT_FALSE(menu->Item("nnLockZone")->isChecked());
    menu->Item("nnLockZone")->trigger();
    EXPECT_EQ(s.World().Tree().FindZone("Beta")->stateImage, storage::kLockedStateImage);
    tree->setCurrentItem(ItemOf(form, "Beta"));
    menu->PopupMenu2Popup();
    EXPECT_TRUE(menu->Item("nnLockZone")->isChecked());
    // Opening the zone from the menu makes it current.
    menu->Item("nnLoadZone")->trigger();
    EXPECT_EQ(s.ZoneName(), "Beta");

    // A quick-list room: where the player stands and whether tracing is on decide the walks.
    map::TMudRoom2* target = AddRoom(form, 1, "Beta");
    map::TMudRoom2* other = AddRoom(form, 2, "Beta");
    storage::ZoneTreeNode* node = s.QuickList().AddAlias(target, "home");
    ASSERT_NE(node, nullptr);
    map::MapWorld& world = s.Map().World();
    auto open = [&] {
        tree->setCurrentItem(tree->ItemOf(node));
        ASSERT_TRUE(menu->PopupMenu2Popup());
    };
    open();
    EXPECT_EQ(visible(), "nnShowOnMap nnRemoveRoom" + find);
    world.CurrentRoom = other;
    open();
    EXPECT_EQ(visible(), "nnShowOnMap nnSpeedWalkNT nnSpeedWalkNTD nnRemoveRoom" + find);
    s.ModeClick(true);
    world.CurrentRoom = other;
    open();
    EXPECT_TRUE(shown("nnSpeedWalk"));
    world.CurrentRoom = target;
    open();
    EXPECT_TRUE(shown("nnSpeedWalk"));
    EXPECT_FALSE(shown("nnSpeedWalkNT"));
    EXPECT_FALSE(shown("nnSpeedWalkNTD"));
    target->DT = true;
    world.CurrentRoom = other;
    open();
    EXPECT_EQ(visible(), "nnShowOnMap nnRemoveRoom" + find);

    // Nothing selected: the menu does not open.
    s.World().Tree().Select(nullptr);
    EXPECT_FALSE(menu->PopupMenu2Popup());
}

TEST(ZoneTree, RoomSearchByShortcutFindsRoomsInOtherZones) {
    TempDir dir;
    MakeWorld(dir, {"Alpha", "Beta"});
    view::TQuarvelinForm form({dir.path(), W("Мир"), false});
    Start(form);
    app::Session& s = form.Session();
    ASSERT_EQ(s.ZoneName(), "Alpha");
    AddRoom(form, 1, "Alpha", "Market");
    map::TMudRoom2* forest = AddRoom(form, 2, "Beta", "Dark Forest");

    QAction* findName = form.RoomSearch()->FindAction(storage::SearchField::Name);
    EXPECT_EQ(findName->shortcut(), QKeySequence("Ctrl+F"));
    EXPECT_EQ(form.RoomSearch()->FindAction(storage::SearchField::Description)->shortcut(),
              QKeySequence("Ctrl+D"));
    EXPECT_EQ(form.RoomSearch()->FindAction(storage::SearchField::Note)->shortcut(),
              QKeySequence("Ctrl+C"));
    findName->trigger();
    view::TFindReplaceDialog* dialog = form.RoomSearch()->FindDialog2();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("Найти по имени"));

    dialog->FindEdit()->setText("FOREST");
    dialog->FindNextButton()->click();
    EXPECT_EQ(s.ZoneName(), "Beta");
    EXPECT_TRUE(forest->Checked);

    // No match: the stop box.
    QString said;
    QTimer::singleShot(0, [&said] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        said = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    dialog->FindEdit()->setText("Nowhere");
    dialog->FindNextButton()->click();
    EXPECT_EQ(said, QString::fromUtf8("Поле не найдено."));
    // Latin letters in any case.
    forest->Checked = false;
    dialog->FindEdit()->setText("forEST");
    dialog->FindNextButton()->click();
    EXPECT_TRUE(forest->Checked);

    // Ctrl+C over selected text in the log copies it instead.
    dialog->hide();
    QPlainTextEdit* log = form.LogPane();
    log->setVisible(true);
    log->setPlainText("copy me");
    log->selectAll();
    QApplication::setActiveWindow(&form);
    Process();
    log->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), log);
    form.RoomSearch()->FindAction(storage::SearchField::Note)->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "copy me");
    EXPECT_FALSE(dialog->isVisible());
    log->moveCursor(QTextCursor::End); // nothing selected: the search opens
    form.RoomSearch()->FindAction(storage::SearchField::Note)->trigger();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("Найти по примечанию"));

    // On the object page Ctrl+F is the object search's.
    form.Pages()->setCurrentIndex(1);
    EXPECT_FALSE(findName->isEnabled());
    form.Pages()->setCurrentIndex(0);
    EXPECT_TRUE(findName->isEnabled());
}

// Answers the bind dialog once it is open: checks what it offers, then types or picks `area`
// and presses OK (or Cancel when `area` is null).
static void AnswerBindDialog(QStringList* offered, QString* label, std::optional<QString> area) {
    QTimer::singleShot(0, [=] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->objectName(), "BindZoneDialog");
        *offered = dialog->comboBoxItems();
        *label = dialog->labelText();
        if (!area) return dialog->reject();
        dialog->setTextValue(*area);
        dialog->accept();
    });
}

TEST(ZoneTree, ZonesAreBoundToGameAreasByHand) {
    TempDir dir;
    const fs::path world = MakeWorld(dir, {"Alpha", "A%2FB"});
    view::TQuarvelinForm form({dir.path(), W("Мир"), false});
    Start(form);
    app::Session& s = form.Session();
    map::MapWorld& map = s.Map().World();
    view::TZoneTreeMenu* menu = form.ZoneTreeMenu();
    AddRoom(form, 1, "Alpha")->GameArea = W("Деревня");
    AddRoom(form, 2, "Alpha")->GameArea = "A/B";
    auto open = [&](const std::string& zone) {
        form.ZoneTree()->setCurrentItem(ItemOf(form, zone));
        ASSERT_TRUE(menu->PopupMenu2Popup());
    };

    open("Alpha");
    EXPECT_TRUE(menu->Item("nnBindZone")->isVisible());
    EXPECT_FALSE(menu->Item("nnUnbindZone")->isVisible());
    QStringList offered;
    QString label;
    AnswerBindDialog(&offered, &label, QString::fromUtf8("Деревня"));
    menu->Item("nnBindZone")->trigger();
    EXPECT_EQ(offered, (QStringList{"A/B", QString::fromUtf8("Деревня")}));
    EXPECT_TRUE(label.contains("<Alpha>")) << label.toStdString();
    EXPECT_EQ(map.AreaOfZone("Alpha"), W("Деревня"));
    EXPECT_EQ(TempDir::Read(world / "game-ids.txt"),
              "Quarvelin room identity 1\r\nA|Alpha|" + W("Деревня") + "\r\n");

    // The unbind item names the area; Cancel in the dialog changes nothing.
    open("Alpha");
    ASSERT_TRUE(menu->Item("nnUnbindZone")->isVisible());
    EXPECT_TRUE(menu->Item("nnUnbindZone")->text().contains(QString::fromUtf8("<Деревня>")));
    AnswerBindDialog(&offered, &label, std::nullopt);
    menu->Item("nnBindZone")->trigger();
    EXPECT_EQ(map.AreaOfZone("Alpha"), W("Деревня"));
    menu->Item("nnUnbindZone")->trigger();
    EXPECT_EQ(map.AreaOfZone("Alpha"), "");
    EXPECT_EQ(TempDir::Read(world / "game-ids.txt"), "Quarvelin room identity 1\r\n");

    // A zone named after an area that had to be written otherwise shows the area's name, and
    // is still renamed from its own.
    open("A%2FB");
    AnswerBindDialog(&offered, &label, "A/B");
    menu->Item("nnBindZone")->trigger();
    ASSERT_NE(ItemOf(form, "A%2FB"), nullptr);
    EXPECT_EQ(ItemOf(form, "A%2FB")->text(0), "A/B");
    form.ZoneTree()->StartEditing(s.World().Tree().FindZone("A%2FB"));
    auto* editor = form.ZoneTree()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "A%2FB");
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(editor, &escape);
    Process();

    // Typed blanks around a new area go.
    open("Alpha");
    AnswerBindDialog(&offered, &label, "  Docks ");
    menu->Item("nnBindZone")->trigger();
    EXPECT_EQ(map.AreaOfZone("Alpha"), "Docks");
    EXPECT_EQ(map.AreaOfZone("A%2FB"), "A/B");
}
