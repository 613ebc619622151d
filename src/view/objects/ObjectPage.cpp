#include "view/objects/ObjectPage.h"

#include "files/Language.h"
#include "text/Cp1251.h"
#include "view/objects/FindReplaceDialogs.h"
#include "view/objects/ObjectPageIcons.h"
#include "view/objects/ObjectTreeModel.h"
#include "view/objects/ObjectTreeView.h"
#include "view/window/UiText.h"

#include <QAction>
#include <QFileDialog>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyle>
#include <QTextBlock>
#include <QToolBar>
#include <QVBoxLayout>
#include <filesystem>

namespace view {

using storage::ObjectNode;

TObjectPage::TObjectPage(storage::ObjectBase& base, const storage::Language& language,
                         QWidget* parent)
    : QWidget(parent), base_(base), language_(language) {
    model_ = new TObjectTreeModel(base_, this);
    model_->SetIcons(style()->standardIcon(QStyle::SP_FileIcon),
                     style()->standardIcon(QStyle::SP_DirIcon));

    splitter_ = new QSplitter(Qt::Horizontal, this);
    tree_ = new TObjectTreeView(base_, *model_, splitter_);
    memo_ = new QPlainTextEdit(splitter_);
    memo_->setObjectName("MemoObjects");
    // Game reports line up in columns.
    memo_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    memo_->installEventFilter(this);
    paneHint_ = U(Caption("MemoObjectsHint", "Выберите узел в дереве, чтобы увидеть его описание"));
    splitter_->addWidget(tree_);
    splitter_->addWidget(memo_);
    splitter_->setStretchFactor(0, 2);
    splitter_->setStretchFactor(1, 3);
    splitter_->setSizes({340, 560});
    splitter_->setChildrenCollapsible(false);

    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName("ToolBar2");
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    menu_ = new QMenu(this);
    menu_->setObjectName("PopupMenu3");
    BuildActions();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar_);
    layout->addWidget(splitter_, 1);

    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tree_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        // A press on a node has selected it already; the keyboard's menu key acts on the
        // current node.
        const QModelIndex at = tree_->indexAt(pos);
        if (at.isValid()) tree_->setCurrentIndex(at);
        menu_->popup(tree_->viewport()->mapToGlobal(pos));
    });
    connect(menu_, &QMenu::aboutToShow, this, &TObjectPage::UpdateActions);
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                if (following_) return;
                ObjectNode* node = TObjectTreeModel::NodeOf(current);
                if (node == base_.Selected()) return;
                const ObjectNode* before = TObjectTreeModel::NodeOf(previous);
                base_.Select(node);
                // The pane was stored into the node shown before: it may have a report now.
                if (model_->Contains(before)) model_->Refresh(before);
            });
    connect(memo_, &QPlainTextEdit::textChanged, this, &TObjectPage::PaneEdited);

    base_.page.treeChanged = [this] { TreeChanged(); };
    base_.page.selected = [this](ObjectNode* node) { Selected(node); };
    base_.page.paneChanged = [this] { PaneChanged(); };
    base_.page.match = [this](const storage::ObjectMatch& m) { ShowMatch(m); };

    TreeChanged();
    PaneChanged();
}

TObjectPage::~TObjectPage() {
    // The base outlives the page.
    base_.page = {};
    base_.editingTitle = false;
}

std::string TObjectPage::Caption(const std::string& key, const char* defaultUtf8) const {
    return defaultUtf8 ? language_.GetCaption("MainForm", key, text::W(defaultUtf8))
                       : language_.GetCaption("MainForm", key);
}

QAction* TObjectPage::MakeAction(const std::string& key, ObjectGlyph glyph,
                                 void (TObjectPage::*click)()) {
    auto* a = new QAction(ObjectPageIcon(glyph), U(Caption(key)), this);
    a->setObjectName(QString::fromStdString(key));
    connect(a, &QAction::triggered, this, [this, click] { (this->*click)(); });
    actions_[key] = a;
    return a;
}

void TObjectPage::BuildActions() {
    QAction* save =
        MakeAction("tbSaveObjects", ObjectGlyph::Save, &TObjectPage::tbSaveObjectsClick);
    QAction* discard = MakeAction("tbDiscard", ObjectGlyph::Discard, &TObjectPage::tbDiscardClick);
    QAction* expandAll =
        MakeAction("tbExpand", ObjectGlyph::ExpandAll, &TObjectPage::tbExpandClick);
    QAction* collapseAll =
        MakeAction("tbCollapse", ObjectGlyph::CollapseAll, &TObjectPage::tbCollapseClick);
    QAction* addNode = MakeAction("nAddNode", ObjectGlyph::AddNode, &TObjectPage::nAddNodeClick);
    QAction* addChild =
        MakeAction("nAddChild", ObjectGlyph::AddChild, &TObjectPage::nAddChildClick);
    QAction* remove =
        MakeAction("nDeleteNode", ObjectGlyph::Delete, &TObjectPage::nDeleteNodeClick);
    QAction* sort = MakeAction("nSort", ObjectGlyph::Sort, &TObjectPage::nSortClick);
    // The menu's captions ("Найти...") on the shared actions; the tool bar's as tool tips.
    QAction* find = MakeAction("nSearch", ObjectGlyph::Find, &TObjectPage::tbSearchClick);
    QAction* replace = MakeAction("nReplace", ObjectGlyph::Replace, &TObjectPage::tbReplaceClick);
    actions_["tbSearch"] = find;
    actions_["tbReplace"] = replace;
    find->setToolTip(U(Caption("tbSearch")));
    replace->setToolTip(U(Caption("tbReplace")));
    QAction* fromFile =
        MakeAction("nAddFromFile", ObjectGlyph::AddFromFile, &TObjectPage::nAddFromFileClick);
    QAction* groupTell =
        MakeAction("nGroupTell", ObjectGlyph::GroupTell, &TObjectPage::nGroupTellClick);
    QAction* clanTell =
        MakeAction("nClanTell", ObjectGlyph::ClanTell, &TObjectPage::nClanTellClick);
    // Shift+Enter has no item of its own.
    auto* editTitle = new QAction(this);
    editTitle->setObjectName("EditTitle");
    connect(editTitle, &QAction::triggered, this, &TObjectPage::EditTitle);
    actions_["EditTitle"] = editTitle;

    // Keys that mean editing in the text pane act on the tree only while it has the focus.
    auto treeKeys = [this](QAction* a, QList<QKeySequence> keys) {
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WidgetShortcut);
        tree_->addAction(a);
    };
    treeKeys(addNode, {QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_Return)});
    treeKeys(addChild, {QKeySequence(Qt::Key_Insert)});
    treeKeys(remove, {QKeySequence(Qt::Key_Delete)});
    treeKeys(sort, {QKeySequence(Qt::CTRL | Qt::Key_S)});
    treeKeys(editTitle,
             {QKeySequence(Qt::SHIFT | Qt::Key_Return), QKeySequence(Qt::SHIFT | Qt::Key_Enter)});
    // Find and replace work from the tree and from the pane alike.
    for (QAction* a : {find, replace}) {
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(a);
    }
    find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    replace->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));

    for (QAction* a : {save, discard, expandAll, collapseAll, addNode, addChild, remove, sort, find,
                       replace, fromFile, groupTell, clanTell}) {
        // The menu shows the keys; the tool bar's tips name them too.
        QString tip = a->toolTip();
        if (!a->shortcut().isEmpty())
            tip += " (" + a->shortcut().toString(QKeySequence::NativeText) + ")";
        a->setToolTip(tip);
    }

    toolBar_->addActions({save, discard});
    toolBar_->addSeparator();
    toolBar_->addActions({expandAll, collapseAll});
    toolBar_->addSeparator();
    toolBar_->addActions({addNode, addChild, remove, sort});
    toolBar_->addSeparator();
    toolBar_->addActions({find, replace});
    toolBar_->addSeparator();
    toolBar_->addActions({fromFile, groupTell, clanTell});

    menu_->addActions({addNode, addChild, remove, sort});
    menu_->addSeparator();
    menu_->addActions({find, replace});
    menu_->addSeparator();
    menu_->addActions({expandAll, collapseAll});
    menu_->addSeparator();
    menu_->addActions({fromFile, groupTell, clanTell});
    menu_->addSeparator();
    menu_->addActions({save, discard});
}

QAction* TObjectPage::Action(const std::string& key) const {
    auto it = actions_.find(key);
    return it == actions_.end() ? nullptr : it->second;
}

void TObjectPage::UpdateActions() {
    actions_["nDeleteNode"]->setEnabled(base_.DeleteEnabled());
    actions_["nSort"]->setEnabled(base_.SortEnabled());
    const bool tell = base_.TellEnabled();
    actions_["nGroupTell"]->setEnabled(tell);
    actions_["nClanTell"]->setEnabled(tell);
}

void TObjectPage::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    UpdateActions();
}

// ---- Following the base ----

void TObjectPage::TreeChanged() {
    following_ = true;
    tree_->Reload(base_.Selected());
    following_ = false;
    UpdateActions();
}

void TObjectPage::Selected(ObjectNode* node) {
    following_ = true;
    const ObjectNode* before = TObjectTreeModel::NodeOf(tree_->currentIndex());
    const QModelIndex index = model_->IndexOf(node);
    if (index.isValid()) {
        tree_->setCurrentIndex(index);
        tree_->scrollTo(index);
    } else {
        tree_->setCurrentIndex(QModelIndex());
        tree_->clearSelection();
    }
    if (before && before != node && model_->Contains(before)) model_->Refresh(before);
    following_ = false;
    UpdateActions();
}

void TObjectPage::PaneChanged() {
    fillingPane_ = true;
    match_ = {};
    QStringList lines;
    for (const std::string& line : base_.Pane())
        lines << U(line);
    memo_->setPlainText(lines.join(QLatin1Char('\n')));
    // With no node shown a typed text would have nowhere to go.
    memo_->setReadOnly(!base_.Shown());
    memo_->setPlaceholderText(base_.Shown() ? QString() : paneHint_);
    fillingPane_ = false;
}

void TObjectPage::PaneEdited() {
    if (fillingPane_) return;
    match_ = {};
    if (!base_.Shown()) return;
    std::vector<std::string> lines;
    const QString all = memo_->toPlainText();
    if (!all.isEmpty()) {
        for (QString line : all.split(QLatin1Char('\n'))) {
            if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
            lines.push_back(text::FromUnicode(line));
        }
    }
    base_.EditPane(std::move(lines));
}

void TObjectPage::StorePane() {
    base_.StorePane();
    model_->Refresh(base_.Shown());
    UpdateActions();
}

bool TObjectPage::eventFilter(QObject* watched, QEvent* e) {
    if (watched == memo_ && e->type() == QEvent::FocusOut) StorePane();
    return QWidget::eventFilter(watched, e);
}

void TObjectPage::ShowPage() {
    // The page lives on a tab of the main window: bring it to the front.
    for (QWidget* w = this; w && w->parentWidget(); w = w->parentWidget())
        if (auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget()))
            stack->setCurrentWidget(w);
}

void TObjectPage::ShowMatch(const storage::ObjectMatch& m) {
    ShowPage();
    // The pane's own positions: the base's offset counts two characters per line break.
    const QTextBlock block = memo_->document()->findBlockByNumber(static_cast<int>(m.line));
    if (!block.isValid()) return;
    const int from = block.position() + std::min(static_cast<int>(m.start), block.length() - 1);
    const int to =
        std::min(from + static_cast<int>(m.length), block.position() + block.length() - 1);
    QTextCursor cursor(memo_->document());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    memo_->setTextCursor(cursor);
    memo_->ensureCursorVisible();
    memo_->setFocus(Qt::OtherFocusReason);
    match_ = {true, from, to};
}

// ---- Operations ----

void TObjectPage::tbSaveObjectsClick() {
    StorePane();
    base_.tbSaveObjectsClick();
}

void TObjectPage::tbDiscardClick() {
    base_.tbDiscardClick();
}

void TObjectPage::tbExpandClick() {
    StorePane();
    tree_->ExpandAll();
    base_.Select(base_.Selected());
}

void TObjectPage::tbCollapseClick() {
    StorePane();
    tree_->CollapseAll();
    base_.Select(base_.Selected());
}

void TObjectPage::AddNode(bool asChild) {
    ObjectNode* before = base_.Selected();
    ObjectNode* node = asChild ? base_.nAddChildClick() : base_.nAddNodeClick();
    if (!node) return; // a title is being typed
    if (model_->Contains(before)) tree_->expand(model_->IndexOf(before));
    const QModelIndex index = model_->IndexOf(node);
    tree_->scrollTo(index);
    tree_->setFocus(Qt::OtherFocusReason);
    tree_->edit(index);
}

void TObjectPage::nAddNodeClick() {
    AddNode(false);
}

void TObjectPage::nAddChildClick() {
    AddNode(true);
}

void TObjectPage::EditTitle() {
    const QModelIndex index = tree_->currentIndex();
    if (index.isValid()) tree_->edit(index);
}

void TObjectPage::nDeleteNodeClick() {
    base_.nDeleteNodeClick();
}

void TObjectPage::nSortClick() {
    base_.nSortClick();
}

void TObjectPage::nAddFromFileClick() {
    const std::string caption = Caption("nAddFromFile");
    QString title = U(caption);
    if (title.endsWith("...")) title.chop(3);
    const QString file = QFileDialog::getOpenFileName(
        this, title, QString::fromStdU16String(base_.File().parent_path().u16string()),
        "Treepad files (*.hjt);;Text files (*.txt);;Objects base (objects.dat);;All Files (*)");
    if (file.isEmpty()) return;
    base_.AddFromFile(std::filesystem::path(file.toStdU16String()));
}

void TObjectPage::nGroupTellClick() {
    StorePane();
    if (base_.TellEnabled()) base_.nGroupTellClick();
}

void TObjectPage::nClanTellClick() {
    StorePane();
    if (base_.TellEnabled()) base_.nClanTellClick();
}

// ---- Find and replace ----

TFindReplaceDialog* TObjectPage::OpenDialog(bool withReplace) {
    QPointer<TFindReplaceDialog>& dialog = withReplace ? replaceDialog_ : findDialog_;
    QPointer<TFindReplaceDialog>& other = withReplace ? findDialog_ : replaceDialog_;
    // One dialog at a time; the text looked for goes along.
    QString wanted;
    if (other) {
        wanted = other->FindText();
        other->hide();
    }
    if (!dialog) {
        TFindReplaceDialog::Captions c;
        auto find = [this](const char* key, const char* def) {
            return U(language_.GetCaption("FindDialog", key, text::W(def)));
        };
        c.title = U(Caption(withReplace ? "tbReplace" : "tbSearch"));
        c.findWhat = find("lblFindWhat", "Найти:");
        c.replaceWith = find("lblReplaceWith", "Заменить на:");
        c.findNext = find("btnFindNext", "Найти далее");
        c.replace = find("btnReplace", "Заменить");
        c.replaceAll = find("btnReplaceAll", "Заменить все");
        c.close = find("btnClose", "Закрыть");
        dialog = new TFindReplaceDialog(withReplace, c, this);
        TFindReplaceDialog* d = dialog;
        connect(d, &TFindReplaceDialog::FindNextClicked, this, [this, d] { FindNext(d); });
        connect(d, &TFindReplaceDialog::ReplaceClicked, this, &TObjectPage::ReplaceNext);
        connect(d, &TFindReplaceDialog::ReplaceAllClicked, this, &TObjectPage::ReplaceAll);
    }
    if (!wanted.isEmpty()) dialog->SetFindText(wanted);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    dialog->FindEdit()->setFocus();
    return dialog;
}

void TObjectPage::tbSearchClick() {
    OpenDialog(false);
}

void TObjectPage::tbReplaceClick() {
    OpenDialog(true);
}

void TObjectPage::FindNext(TFindReplaceDialog* dialog) {
    StorePane();
    base_.FindNext(text::FromUnicode(dialog->FindText()));
}

void TObjectPage::ReplaceNext() {
    if (!replaceDialog_) return;
    const std::string wanted = text::FromUnicode(replaceDialog_->FindText());
    const std::string replacement = text::FromUnicode(replaceDialog_->ReplaceText());
    StorePane();
    // Only the match as found is replaced: once the user has typed or moved the selection, the
    // base's idea of where it stands is stale, so the next match is looked for instead.
    const QTextCursor c = memo_->textCursor();
    const bool standing =
        match_.valid && c.selectionStart() == match_.from && c.selectionEnd() == match_.to;
    if (standing)
        base_.ReplaceNext(wanted, replacement);
    else
        base_.FindNext(wanted);
}

void TObjectPage::ReplaceAll() {
    if (!replaceDialog_) return;
    StorePane();
    base_.ReplaceAll(text::FromUnicode(replaceDialog_->FindText()),
                     text::FromUnicode(replaceDialog_->ReplaceText()));
}

} // namespace view
