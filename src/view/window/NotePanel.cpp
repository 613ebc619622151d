#include "view/window/NotePanel.h"

#include "map/MapWorld.h"
#include "text/Cp1251.h"
#include "view/map/MapView.h"

#include <QKeyEvent>

namespace view {

TNotePanel::TNotePanel(map::MapWorld& world, TMapView& view, QWidget* parent)
    : QPlainTextEdit(parent), world_(world), view_(view) {
    setObjectName("MemoNote");
    setReadOnly(true);
}

namespace {
// Notes keep CR LF line ends in the room, as every text of a zone file does.
QString ForDisplay(const QString& note) {
    return QString(note).replace("\r\n", "\n");
}
} // namespace

void TNotePanel::ShowNote(const QString& text) {
    if (!editing_) setPlainText(ForDisplay(text));
}

void TNotePanel::focusInEvent(QFocusEvent* e) {
    QPlainTextEdit::focusInEvent(e);
    // `MemoNoteEnter`: a plain click must not start typing into the note.
    if (!editing_ && passFocus) passFocus();
}

void TNotePanel::mouseDoubleClickEvent(QMouseEvent* e) {
    QPlainTextEdit::mouseDoubleClickEvent(e);
    if (editing_ || !world_.CurrentRoom) return;
    editing_ = true;
    view_.noteEditing = true;
    room_ = world_.CurrentRoom;
    roomTag_ = room_->Tag;
    // The note being edited is the player's room's, whatever the pointer showed last.
    setPlainText(ForDisplay(text::ToUnicode(room_->Note)));
    setReadOnly(false);
    setFocus(Qt::MouseFocusReason);
}

void TNotePanel::keyPressEvent(QKeyEvent* e) {
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if (enter && (e->modifiers() & Qt::ControlModifier)) {
        // `MemoNoteKeyPress`: Ctrl+Enter ends editing by leaving the panel.
        if (passFocus) passFocus();
        if (editing_) MemoNoteExit(); // when nothing else could take the focus
        return;
    }
    QPlainTextEdit::keyPressEvent(e);
}

void TNotePanel::focusOutEvent(QFocusEvent* e) {
    QPlainTextEdit::focusOutEvent(e);
    // A context menu or another window taking the focus for a moment does not end editing.
    if (e->reason() == Qt::PopupFocusReason || e->reason() == Qt::ActiveWindowFocusReason) return;
    if (editing_) MemoNoteExit();
}

void TNotePanel::MemoNoteExit() {
    // The room may have been deleted while its note was edited (the game went on meanwhile):
    // the text is stored only into a room that is still in the world.
    bool alive = false;
    world_.Lists().ForEachWorldRoom([&](map::TMudRoom2* r, const std::string&) {
        if (r == room_) alive = true;
    });
    if (room_ && alive && room_->Tag == roomTag_) {
        std::string note = text::FromUnicode(toPlainText().replace("\n", "\r\n"));
        if (note != room_->Note) {
            room_->Note = std::move(note);
            world_.Saved = false;
        }
    }
    room_ = nullptr;
    editing_ = false;
    view_.noteEditing = false;
    setReadOnly(true);
    if (editingEnded) editingEnded();
}

} // namespace view
