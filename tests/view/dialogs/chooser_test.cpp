#include "files/IniFile.h"
#include "files/Language.h"
#include "support/TempDir.h"
#include "text/Cp1251.h"
#include "view/dialogs/SaveLoadForm.h"
#include "view/window/QuarvelinForm.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using text::W;

namespace {

void Process(int rounds = 20) {
    for (int i = 0; i < rounds; ++i)
        QApplication::processEvents();
}

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QStringList Items(const view::TSaveLoadForm& f) {
    QStringList names;
    for (int i = 0; i < f.ListView1()->count(); ++i)
        names << f.ListView1()->item(i)->text();
    names.sort();
    return names;
}

QListWidgetItem* ItemNamed(const view::TSaveLoadForm& f, const QString& name) {
    const auto found = f.ListView1()->findItems(name, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.front();
}

// A press of `button` on an item, as the mouse does it.
void Press(view::TSaveLoadForm& f, QListWidgetItem* item, Qt::MouseButton button) {
    QWidget* vp = f.ListView1()->viewport();
    const QPoint at = f.ListView1()->visualItemRect(item).center();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), QPointF(vp->mapToGlobal(at)), button,
                      button, Qt::NoModifier);
    QApplication::sendEvent(vp, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), QPointF(vp->mapToGlobal(at)),
                        button, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(vp, &release);
}

// Runs `act` once the next modal message box is up, and answers it with `button`; the box's
// icon and text are kept.
struct BoxAnswer {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text, title;
    bool seen = false;
};
void AnswerNextBox(QMessageBox::StandardButton button, BoxAnswer* out) {
    QTimer::singleShot(0, [button, out] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        out->seen = true;
        out->icon = box->icon();
        out->text = box->text();
        out->title = box->windowTitle();
        box->button(button)->click();
    });
}

// Runs `act` on the chooser once the main window has opened it.
void OnChooser(std::function<void(view::TSaveLoadForm&)> act) {
    QTimer::singleShot(0, [act] {
        auto* f = qobject_cast<view::TSaveLoadForm*>(QApplication::activeModalWidget());
        ASSERT_NE(f, nullptr);
        act(*f);
    });
}

} // namespace

TEST(WorldChooser, OkOnlyWithANameAndHiddenDirectoriesNotListed) {
    TempDir dir;
    const fs::path maps = dir.path() / "Maps";
    TempDir::Write(maps / "Alpha" / "local.ini", "");
    TempDir::Write(maps / "Мир" / "local.ini", "");
    TempDir::Write(maps / ".hidden" / "local.ini", "");
    TempDir::Write(maps / "file.tk2", "");
    storage::Language texts(dir.path() / "language.ini");
    int style = 1;

    view::TSaveLoadForm f(texts, style, maps, {});
    f.SetMode(storage::ChooserMode::Load, W("Мир"));
    EXPECT_EQ(f.windowTitle(), Q("Загрузить мир..."));
    EXPECT_EQ(f.ButtonOk()->text(), Q("Загрузить"));
    EXPECT_EQ(f.LblName()->text(), Q("Имя мира:"));
    EXPECT_EQ(Items(f), QStringList({"Alpha", Q("Мир")}));
    // Loading ignores the given name: nothing to load yet.
    EXPECT_EQ(f.WorldNameEdit()->text(), "");
    EXPECT_FALSE(f.ButtonOk()->isEnabled());
    EXPECT_FALSE(f.Item("nSelect")->isEnabled());
    f.WorldNameEdit()->setText("X");
    EXPECT_TRUE(f.ButtonOk()->isEnabled());
    EXPECT_TRUE(f.Item("nSelect")->isEnabled());
    f.WorldNameEdit()->setText("");
    EXPECT_FALSE(f.ButtonOk()->isEnabled());
    EXPECT_FALSE(f.Item("nSelect")->isEnabled());
    f.WorldNameEdit()->setText("   ");
    EXPECT_FALSE(f.ButtonOk()->isEnabled());
    // A name Windows-1251 cannot hold would be another name on disk.
    f.WorldNameEdit()->setText(Q("World ☃"));
    EXPECT_FALSE(f.ButtonOk()->isEnabled());

    // A press on an item, left or right, takes its name.
    Press(f, ItemNamed(f, Q("Мир")), Qt::RightButton);
    EXPECT_EQ(f.WorldNameEdit()->text(), Q("Мир"));
    EXPECT_TRUE(f.ButtonOk()->isEnabled());
    Press(f, ItemNamed(f, "Alpha"), Qt::LeftButton);
    EXPECT_EQ(f.WorldName(), "Alpha");

    f.SetMode(storage::ChooserMode::Save, W("Копия"));
    EXPECT_EQ(f.windowTitle(), Q("Сохранить мир как..."));
    EXPECT_EQ(f.ButtonOk()->text(), Q("Сохранить"));
    EXPECT_EQ(f.WorldName(), W("Копия"));
    EXPECT_TRUE(f.ButtonOk()->isEnabled());
    f.SetMode(storage::ChooserMode::Create, "");
    EXPECT_EQ(f.windowTitle(), Q("Создать новый мир..."));
    EXPECT_EQ(f.ButtonOk()->text(), Q("Создать"));
    EXPECT_FALSE(f.ButtonOk()->isEnabled());

    // No worlds at all: an empty list, and OK waits for a name.
    view::TSaveLoadForm empty(texts, style, dir.path() / "NoMaps", {});
    empty.SetMode(storage::ChooserMode::Load, "");
    EXPECT_EQ(empty.ListView1()->count(), 0);
    EXPECT_FALSE(empty.ButtonOk()->isEnabled());
}

TEST(WorldChooser, DeletingAsksFirstAndRemovesTheWholeWorld) {
    TempDir dir;
    const fs::path maps = dir.path() / "Maps";
    for (const char* f : {"Zone.tk2", "local.ini", "objects.dat", "skins/a.png"})
        TempDir::Write(maps / "Old" / f, "x");
    TempDir::Write(maps / "Loaded" / "Zone.tk2", "x");
    storage::Language texts(dir.path() / "language.ini");
    int style = 1;
    view::TSaveLoadForm f(texts, style, maps, maps / "Loaded");
    f.SetMode(storage::ChooserMode::Load, "");

    // Nothing selected: nothing to delete.
    f.nDeleteClick();
    EXPECT_EQ(f.ListView1()->count(), 2);

    QListWidgetItem* old = ItemNamed(f, "Old");
    Press(f, old, Qt::LeftButton);
    BoxAnswer box;
    AnswerNextBox(QMessageBox::No, &box);
    f.nDeleteClick();
    ASSERT_TRUE(box.seen);
    EXPECT_EQ(box.icon, QMessageBox::Question);
    EXPECT_EQ(box.title, "Quarvelin");
    EXPECT_EQ(box.text, Q("Вы уверены, что хотите удалить мир <Old>?"));
    EXPECT_TRUE(fs::exists(maps / "Old" / "Zone.tk2"));
    EXPECT_EQ(f.ListView1()->count(), 2);

    AnswerNextBox(QMessageBox::Yes, &box);
    f.nDeleteClick();
    EXPECT_FALSE(fs::exists(maps / "Old"));
    EXPECT_EQ(Items(f), QStringList({"Loaded"}));
    EXPECT_EQ(f.WorldNameEdit()->text(), ""); // the deleted world cannot be loaded
    EXPECT_FALSE(f.ButtonOk()->isEnabled());

    // The loaded world: refused with a stop box, no question asked.
    Press(f, ItemNamed(f, "Loaded"), Qt::RightButton);
    box = {};
    AnswerNextBox(QMessageBox::Ok, &box);
    f.nDeleteClick();
    ASSERT_TRUE(box.seen);
    EXPECT_EQ(box.icon, QMessageBox::Critical);
    EXPECT_EQ(box.text, Q("Нельзя удалить мир, который сейчас загружен: <Loaded>"));
    EXPECT_TRUE(fs::exists(maps / "Loaded" / "Zone.tk2"));
    EXPECT_EQ(f.ListView1()->count(), 1);
}

TEST(WorldChooser, RenamingAWorldToATakenNameIsRefused) {
    TempDir dir;
    const fs::path maps = dir.path() / "Maps";
    TempDir::Write(maps / "A" / "Zone.tk2", "a");
    TempDir::Write(maps / "B" / "Zone.tk2", "b");
    storage::Language texts(dir.path() / "language.ini");
    int style = 1;
    view::TSaveLoadForm f(texts, style, maps, {});
    f.SetMode(storage::ChooserMode::Load, "");

    QListWidgetItem* a = ItemNamed(f, "A");
    Press(f, a, Qt::RightButton);
    BoxAnswer box;
    AnswerNextBox(QMessageBox::Ok, &box);
    a->setText("B"); // what the editor hands in at its end
    ASSERT_TRUE(box.seen);
    EXPECT_EQ(box.text, Q("Мир <B> уже существует."));
    EXPECT_EQ(a->text(), "A");
    EXPECT_EQ(TempDir::Read(maps / "B" / "Zone.tk2"), "b");

    a->setText(Q("Мир"));
    EXPECT_EQ(TempDir::Read(maps / "Мир" / "Zone.tk2"), "a");
    EXPECT_FALSE(fs::exists(maps / "A"));
    EXPECT_EQ(f.WorldNameEdit()->text(), Q("Мир")); // the name typed follows the rename
}

TEST(WorldChooser, TheMainWindowLoadsTheChosenWorldAndRemembersTheView) {
    TempDir dir;
    for (const char* w : {"First", "Second"})
        TempDir::Write(dir.path() / "Maps" / w / "local.ini", "[Connect]\r\nClient Port=0\r\n");
    view::TQuarvelinForm form({dir.path(), "First", false});
    form.show();
    Process();
    ASSERT_EQ(form.Session().WorldName(), "First");
    EXPECT_EQ(form.Session().Settings().ListViewStyle, 1);

    // Switching to the list, then cancelling, keeps the list for the next time.
    OnChooser([](view::TSaveLoadForm& f) {
        EXPECT_EQ(f.ListView1()->viewMode(), QListView::IconMode);
        EXPECT_TRUE(f.Item("nIcons")->isChecked());
        f.Item("nList")->trigger();
        f.reject();
    });
    form.Action("nLoadWorld")->trigger();
    EXPECT_EQ(form.Session().WorldName(), "First");
    EXPECT_EQ(form.Session().Settings().ListViewStyle, 2);

    // A double click on an item loads that world.
    OnChooser([](view::TSaveLoadForm& f) {
        EXPECT_EQ(f.ListView1()->viewMode(), QListView::ListMode);
        EXPECT_TRUE(f.Item("nList")->isChecked());
        QListWidgetItem* second = ItemNamed(f, "Second");
        ASSERT_NE(second, nullptr);
        emit f.ListView1()->itemDoubleClicked(second);
    });
    form.Action("nLoadWorld")->trigger();
    EXPECT_EQ(form.Session().WorldName(), "Second");

    form.close();
    storage::IniFile settings(dir.path() / "quarvelin.ini");
    EXPECT_EQ(settings.ReadString("Options", "ListViewStyle", ""), "2");
}
