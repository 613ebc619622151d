// The object page: the tree model follows the base, the text pane hands edits back, the menu's
// enabling rules, the find and replace dialogs, and titles typed in place.

#include "support/FakeWorldUi.h"
#include "text/Cp1251.h"
#include "view/objects/FindReplaceDialogs.h"
#include "view/objects/ObjectPage.h"
#include "view/objects/ObjectTreeModel.h"
#include "view/objects/ObjectTreeView.h"
#include "world/ObjectBase.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <gtest/gtest.h>

#include <memory>

namespace {

using storage::ObjectNode;
using text::W;
using Lines = std::vector<std::string>;

void Process(int rounds = 10) {
    for (int i = 0; i < rounds; ++i)
        QApplication::processEvents();
}

QString U8(const char* utf8) {
    return QString::fromUtf8(utf8);
}

struct Wire : storage::ObjectBaseHost {
    std::string client, server;
    bool connected = false;
    void SendToClient(const std::string& b) override { client += b; }
    void SendToServer(const std::string& b) override { server += b; }
    bool ServerConnected() const override { return connected; }
};

// Предметы { меч, щит }, Мобы { волк }; the page shown at a usual size.
struct PageEnv : WorldEnv {
    Wire wire;
    storage::ObjectBase base{profile, language, ui, wire, "1.0"};
    ObjectNode* items = nullptr;
    ObjectNode* sword = nullptr;
    ObjectNode* shield = nullptr;
    ObjectNode* mobs = nullptr;
    ObjectNode* wolf = nullptr;
    std::unique_ptr<view::TObjectPage> page;

    PageEnv() {
        base.SetFile(dir.path() / "objects.dat");
        storage::ObjectTree& t = base.Tree();
        items = t.Add(nullptr, W("Предметы"));
        sword = t.Add(items, W("меч"));
        sword->TextList() = Lines{W("Меч длинный"), W("вес 5")};
        shield = t.Add(items, W("щит"));
        shield->TextList() = Lines{W("первая строка"), W("Рукоять МЕЧА крепкая")};
        mobs = t.Add(nullptr, W("Мобы"));
        wolf = t.Add(mobs, W("волк"));
        page = std::make_unique<view::TObjectPage>(base, language);
        page->resize(900, 600);
        page->show();
        Process();
    }
    view::TObjectTreeView& Tree() { return *page->Tree(); }
    view::TObjectTreeModel& Model() { return *page->Model(); }
    QPlainTextEdit& Pane() { return *page->Pane(); }
    QAction& Act(const char* key) { return *page->Action(key); }
    void Click(ObjectNode* node) {
        Tree().setCurrentIndex(Model().IndexOf(node));
        Process();
    }
    void FocusOut() {
        QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
        QCoreApplication::sendEvent(&Pane(), &out);
    }
    // Where the user would drop: on the label's left part, or right of the label.
    QPoint OnLabel(ObjectNode* node) {
        const QRect r = Tree().LabelRect(Model().IndexOf(node));
        return QPoint(r.left() + 4, r.center().y());
    }
    QPoint RightOfLabel(ObjectNode* node) {
        const QRect r = Tree().LabelRect(Model().IndexOf(node));
        return QPoint(r.right() + 20, r.center().y());
    }
    bool Drop(ObjectNode* node, QPoint at) {
        std::unique_ptr<QMimeData> mime(Tree().NodeMime(node));
        QDragEnterEvent enter(at, Qt::MoveAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Tree().viewport(), &enter);
        QDragMoveEvent move(at, Qt::MoveAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Tree().viewport(), &move);
        QDropEvent drop(QPointF(at), Qt::MoveAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Tree().viewport(), &drop);
        Process();
        return move.isAccepted() && drop.isAccepted();
    }
    void Commit(const QString& title) {
        QLineEdit* editor = Tree().TitleEditor();
        ASSERT_NE(editor, nullptr);
        editor->setText(title);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(editor, &enter);
        Process();
    }
    ObjectNode* Child(ObjectNode* parent, std::size_t i) { return parent->Children().at(i).get(); }
};

// The first difference between the model under `parent` and the nodes it should show.
std::string Mismatch(const view::TObjectTreeModel& model, const QModelIndex& parent,
                     const std::vector<std::unique_ptr<ObjectNode>>& nodes) {
    if (model.rowCount(parent) != static_cast<int>(nodes.size()))
        return "row count under '" + parent.data().toString().toStdString() + "'";
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const QModelIndex index = model.index(static_cast<int>(i), 0, parent);
        const ObjectNode* node = nodes[i].get();
        if (view::TObjectTreeModel::NodeOf(index) != node || model.parent(index) != parent ||
            index.data().toString() != text::ToUnicode(node->Title()))
            return "row " + std::to_string(i) + " '" + index.data().toString().toStdString() + "'";
        std::string below = Mismatch(model, index, node->Children());
        if (!below.empty()) return below;
    }
    return {};
}

std::string Mismatch(PageEnv& env) {
    return Mismatch(env.Model(), QModelIndex(), env.base.Tree().Roots());
}

TEST(ObjectPage, TreeFollowsAddsDropsAndDeletesAndKeepsWhatWasOpen) {
    PageEnv env;
    EXPECT_EQ(Mismatch(env), "");

    // A new sibling goes straight into title editing, and while its title is typed no other
    // node can be added.
    env.Click(env.sword);
    env.Act("nAddNode").trigger();
    Process();
    ASSERT_EQ(env.items->Children().size(), 3u);
    ObjectNode* added = env.Child(env.items, 2);
    EXPECT_EQ(env.base.Selected(), added);
    EXPECT_TRUE(env.base.editingTitle);
    env.Act("nAddChild").trigger();
    EXPECT_EQ(env.base.Tree().Count(), 6u);
    env.Commit(U8("топор"));
    EXPECT_EQ(added->Title(), W("топор"));
    EXPECT_FALSE(env.base.editingTitle);
    EXPECT_EQ(Mismatch(env), "");
    EXPECT_TRUE(env.Tree().isExpanded(env.Model().IndexOf(env.items)));

    // Right of a label: the first child; on the label: just before it.
    env.Tree().expand(env.Model().IndexOf(env.mobs));
    Process();
    EXPECT_TRUE(env.Drop(env.wolf, env.RightOfLabel(env.sword)));
    ASSERT_EQ(env.sword->Children().size(), 1u);
    EXPECT_EQ(env.Child(env.sword, 0), env.wolf);
    EXPECT_TRUE(env.mobs->Children().empty());
    EXPECT_EQ(Mismatch(env), "");
    EXPECT_TRUE(env.Drop(env.shield, env.OnLabel(env.mobs)));
    ASSERT_EQ(env.base.Tree().Roots().size(), 3u);
    EXPECT_EQ(env.base.Tree().Roots()[1].get(), env.shield);
    EXPECT_EQ(Mismatch(env), "");

    // Never into its own subtree, either way; nothing moves.
    EXPECT_FALSE(env.Drop(env.items, env.RightOfLabel(env.wolf)));
    EXPECT_FALSE(env.Drop(env.items, env.OnLabel(env.sword)));
    EXPECT_FALSE(env.Drop(env.sword, env.OnLabel(env.sword)));
    EXPECT_EQ(env.Child(env.items, 0), env.sword);
    EXPECT_EQ(env.Child(env.sword, 0), env.wolf);
    // A payload from another window is not one of our nodes.
    QMimeData foreign;
    foreign.setData(view::TObjectTreeModel::kNodeMime, "1 2 3");
    EXPECT_EQ(env.Tree().DraggedNode(&foreign), nullptr);

    // The model was reset at every change, yet what the user opened stays open.
    EXPECT_TRUE(env.Tree().isExpanded(env.Model().IndexOf(env.items)));
    EXPECT_TRUE(env.Tree().isExpanded(env.Model().IndexOf(env.sword)));

    // Deleting takes the subtree; the pane that showed a node inside it empties.
    env.Click(env.wolf);
    env.Click(env.sword);
    EXPECT_FALSE(env.Pane().toPlainText().isEmpty());
    env.Act("nDeleteNode").trigger();
    Process();
    EXPECT_EQ(env.base.Tree().Count(), 4u);
    EXPECT_EQ(Mismatch(env), "");
    EXPECT_TRUE(env.Pane().toPlainText().isEmpty());
    EXPECT_TRUE(env.Pane().isReadOnly());
    EXPECT_FALSE(env.Tree().currentIndex().isValid());
}

TEST(ObjectPage, PaneEditsAreStoredWhenTheFocusLeavesOrAnotherNodeIsShown) {
    PageEnv env;
    env.Click(env.sword);
    EXPECT_EQ(env.Pane().toPlainText(), U8("Меч длинный\nвес 5"));
    EXPECT_TRUE(env.base.UnchangedSinceLoad());

    QTextCursor c = env.Pane().textCursor();
    c.movePosition(QTextCursor::End);
    c.insertText(U8("\nострый"));
    env.Pane().setTextCursor(c);
    // Typing alone does not store.
    EXPECT_EQ(env.sword->Text().size(), 2u);
    EXPECT_FALSE(env.base.Unsaved());
    env.FocusOut();
    EXPECT_EQ(env.sword->Text(), (Lines{W("Меч длинный"), W("вес 5"), W("острый")}));
    EXPECT_TRUE(env.base.Unsaved());
    EXPECT_FALSE(env.base.UnchangedSinceLoad());

    // A node without a report gets one, empty lines kept, when the user moves on in the tree.
    env.Click(env.wolf);
    EXPECT_TRUE(env.Pane().toPlainText().isEmpty());
    EXPECT_FALSE(env.Pane().isReadOnly());
    env.Pane().insertPlainText(U8("серый\n\nзлой"));
    env.Click(env.shield);
    EXPECT_EQ(env.wolf->Text(), (Lines{W("серый"), "", W("злой")}));
    EXPECT_EQ(env.Pane().toPlainText(), U8("первая строка\nРукоять МЕЧА крепкая"));
    // Its picture now says it has a report.
    EXPECT_EQ(env.Model().IndexOf(env.wolf).data(Qt::DecorationRole).value<QIcon>().cacheKey(),
              env.Model().IndexOf(env.sword).data(Qt::DecorationRole).value<QIcon>().cacheKey());

    // Emptying the pane leaves an empty report, not a line with nothing in it.
    env.Pane().selectAll();
    env.Pane().textCursor().removeSelectedText();
    env.FocusOut();
    EXPECT_TRUE(env.shield->HasText());
    EXPECT_TRUE(env.shield->Text().empty());
}

TEST(ObjectPage, DeleteSortAndTellsAreEnabledByTheSelection) {
    PageEnv env;
    auto enabled = [&](const char* key) {
        emit env.page->Menu()->aboutToShow();
        return env.Act(key).isEnabled();
    };
    // After a deletion nothing is selected.
    env.Click(env.wolf);
    env.Act("nDeleteNode").trigger();
    Process();
    ASSERT_EQ(env.base.Selected(), nullptr);
    EXPECT_FALSE(enabled("nDeleteNode"));
    EXPECT_FALSE(enabled("nSort"));
    EXPECT_FALSE(enabled("nGroupTell"));

    env.Click(env.items);
    EXPECT_TRUE(enabled("nDeleteNode"));
    EXPECT_TRUE(enabled("nSort"));
    env.wire.connected = true;
    EXPECT_FALSE(enabled("nGroupTell")) << "no report to send";

    env.Click(env.sword);
    EXPECT_FALSE(enabled("nSort"));
    EXPECT_TRUE(enabled("nGroupTell"));
    EXPECT_TRUE(enabled("nClanTell"));
    env.wire.connected = false;
    EXPECT_FALSE(enabled("nClanTell"));

    // Sorting from the menu orders the children ignoring case.
    env.base.Tree().Add(env.items, W("Алебарда"));
    env.base.page.treeChanged();
    env.Click(env.items);
    env.Act("nSort").trigger();
    Process();
    EXPECT_EQ(env.Child(env.items, 0)->Title(), W("Алебарда"));
    EXPECT_EQ(Mismatch(env), "");

    env.wire.connected = true;
    env.Click(env.sword);
    EXPECT_TRUE(enabled("nGroupTell"));
    env.Act("nGroupTell").trigger();
    EXPECT_NE(env.wire.server.find(std::string(storage::ObjectBase::kBegin)), std::string::npos);
    EXPECT_NE(env.wire.server.find(W("Предметы.меч")), std::string::npos);
}

TEST(ObjectPage, FindSelectsTheMatchInThePaneAndReplaceOnlyTheMatchAsFound) {
    PageEnv env;
    env.Act("tbSearch").trigger();
    Process();
    view::TFindReplaceDialog* find = env.page->FindDialog();
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(find->isVisible());
    EXPECT_FALSE(find->FindNextButton()->isEnabled());
    find->FindEdit()->setText(U8("меч"));
    find->FindNextButton()->click();
    Process();
    EXPECT_EQ(env.base.Selected(), env.sword);
    EXPECT_EQ(env.Pane().textCursor().selectedText(), U8("Меч"));

    // On the second line the pane's position is not the base's offset (one break, not two).
    find->FindNextButton()->click();
    Process();
    EXPECT_EQ(env.base.Selected(), env.shield);
    const QTextCursor c = env.Pane().textCursor();
    EXPECT_EQ(c.selectedText(), U8("МЕЧ"));
    EXPECT_EQ(c.selectionStart(), env.Pane().document()->findBlockByNumber(1).position() + 8);
    EXPECT_EQ(env.Tree().currentIndex(), env.Model().IndexOf(env.shield));

    find->FindNextButton()->click();
    Process();
    ASSERT_EQ(env.ui.errors.size(), 1u);
    EXPECT_EQ(env.ui.errors[0],
              env.language.GetCaption("MainForm", "StringNotFound") + " <" + W("меч") + ">");

    // The replace dialog takes the place of the find dialog and the text looked for.
    env.Act("tbReplace").trigger();
    Process();
    view::TFindReplaceDialog* replace = env.page->ReplaceDialog();
    ASSERT_NE(replace, nullptr);
    EXPECT_FALSE(find->isVisible());
    EXPECT_EQ(replace->FindText(), U8("меч"));
    replace->findChildren<QLineEdit*>().at(1)->setText(U8("клинок"));
    // The last match still stands selected in the pane: it is replaced, and the search starts
    // over from the top.
    replace->ReplaceButton()->click();
    Process();
    EXPECT_EQ(env.shield->Text()[1], W("Рукоять клинокА крепкая"));
    EXPECT_EQ(env.base.Selected(), env.sword);
    EXPECT_EQ(env.Pane().textCursor().selectedText(), U8("Меч"));

    // Once the user has typed in the pane, the selection is no longer the match found: the next
    // press only looks again, and finds the same word where it now stands.
    QTextCursor typing(env.Pane().document());
    typing.insertText(U8("Новая "));
    replace->ReplaceButton()->click();
    Process();
    EXPECT_EQ(env.sword->Text(), (Lines{W("Новая Меч длинный"), W("вес 5")}));
    EXPECT_EQ(env.Pane().textCursor().selectedText(), U8("Меч"));
    EXPECT_EQ(env.Pane().textCursor().selectionStart(), 6);
}

TEST(ObjectPage, TitlesTypedInPlaceReachTheTreeEvenWhenAReportArrivesMeanwhile) {
    PageEnv env;
    env.Click(env.mobs);
    env.Act("nAddChild").trigger();
    Process();
    ASSERT_EQ(env.mobs->Children().size(), 2u);
    ObjectNode* added = env.Child(env.mobs, 1);
    ASSERT_NE(env.Tree().TitleEditor(), nullptr);
    env.Tree().TitleEditor()->setText(U8("заяц"));

    // A report captured from the game resets the tree and selects its node; the title being
    // typed goes to the new node, not to the report's.
    env.base.FileReport(W("Мобы"), {W("волк")}, {W("Волк воет.")});
    Process();
    EXPECT_EQ(added->Title(), W("заяц"));
    EXPECT_EQ(env.wolf->Text(), Lines{W("Волк воет.")});
    EXPECT_EQ(env.base.Selected(), env.wolf);
    EXPECT_FALSE(env.base.editingTitle);
    EXPECT_EQ(Mismatch(env), "");

    // Shift+Enter's action edits the selected title; a line break pasted in becomes a space.
    env.Click(env.sword);
    env.Act("EditTitle").trigger();
    Process();
    EXPECT_TRUE(env.base.editingTitle);
    env.Commit(U8("меч\nкороткий"));
    EXPECT_EQ(env.sword->Title(), W("меч короткий"));
    EXPECT_EQ(env.Model().IndexOf(env.sword).data().toString(), U8("меч короткий"));
}

} // namespace
