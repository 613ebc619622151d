#include "view/window/RoomSearch.h"

#include "app/core/Session.h"
#include "text/Cp1251.h"
#include "view/objects/FindReplaceDialogs.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace view {

namespace {
struct FieldItem {
    storage::SearchField field;
    const char* key;
    const char* twin;
    Qt::Key shortcut;
};
const FieldItem kItems[] = {
    {storage::SearchField::Name, "nFindName", "nFindByName", Qt::Key_F},
    {storage::SearchField::Description, "nFindDesc", "nFindByDesc", Qt::Key_D},
    {storage::SearchField::Note, "nFindNote", "nFindByNote", Qt::Key_C},
};

int IndexOf(storage::SearchField field) {
    return static_cast<int>(field) - 1;
}

// Ctrl+C is also the copy key: where text is selected (the log, the note), it copies.
bool CopySelection() {
    QWidget* f = QApplication::focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(f); line && line->hasSelectedText()) {
        line->copy();
        return true;
    }
    if (auto* plain = qobject_cast<QPlainTextEdit*>(f);
        plain && plain->textCursor().hasSelection()) {
        plain->copy();
        return true;
    }
    if (auto* rich = qobject_cast<QTextEdit*>(f); rich && rich->textCursor().hasSelection()) {
        rich->copy();
        return true;
    }
    return false;
}
} // namespace

TRoomSearch::TRoomSearch(app::Session& session, QWidget* window)
    : QObject(window), session_(session), window_(window) {
    for (const FieldItem& item : kItems) {
        auto* a = new QAction(Caption(item.field), window);
        a->setObjectName(item.key);
        a->setShortcut(QKeySequence(Qt::CTRL | item.shortcut));
        const storage::SearchField field = item.field;
        connect(a, &QAction::triggered, this, [this, field] {
            if (field == storage::SearchField::Note && CopySelection()) return;
            Open(field);
        });
        actions_[IndexOf(item.field)] = a;
    }
}

QString TRoomSearch::Caption(storage::SearchField field) const {
    const FieldItem& item = kItems[IndexOf(field)];
    return text::ToUnicode(session_.GetCaption("MainForm", item.key));
}

QAction* TRoomSearch::FindAction(storage::SearchField field) const {
    return actions_[IndexOf(field)];
}

void TRoomSearch::AddTwins(QMenu* menu) {
    for (const FieldItem& item : kItems) {
        QAction* a = menu->addAction(actions_[IndexOf(item.field)]->text());
        a->setObjectName(item.twin);
        const storage::SearchField field = item.field;
        connect(a, &QAction::triggered, this, [this, field] { Open(field); });
    }
}

void TRoomSearch::SetEnabled(bool on) {
    for (QAction* a : actions_)
        a->setEnabled(on);
}

void TRoomSearch::Open(storage::SearchField field) {
    session_.Zones().StartSearch(field);
    if (!dialog_) {
        // The texts of the object page's find dialog: one find dialog to translate.
        auto text = [this](const char* key, const char* def) {
            return text::ToUnicode(session_.GetCaption("FindDialog", key, text::W(def)));
        };
        TFindReplaceDialog::Captions c;
        c.findWhat = text("lblFindWhat", "Найти:");
        c.findNext = text("btnFindNext", "Найти далее");
        c.close = text("btnClose", "Закрыть");
        dialog_ = new TFindReplaceDialog(false, c, window_);
        dialog_->setObjectName("FindDialog2");
        connect(dialog_, &TFindReplaceDialog::FindNextClicked, this, &TRoomSearch::FindNext);
    }
    // The title says which field is searched.
    dialog_->setWindowTitle(actions_[IndexOf(field)]->text());
    dialog_->show();
    dialog_->raise();
    dialog_->activateWindow();
    dialog_->FindEdit()->setFocus();
    dialog_->FindEdit()->selectAll();
}

void TRoomSearch::FindNext() {
    if (!dialog_) return;
    session_.Zones().FindNext(text::FromUnicode(dialog_->FindText()));
}

} // namespace view
