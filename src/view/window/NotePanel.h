#pragma once
// `MemoNote`: the note of the room under the pointer (or of the player's room) beneath the zone
// tree. It is read-only until a double click while the player stands in a room; the text is
// stored into that room when the panel loses the focus.

#include <QPlainTextEdit>
#include <functional>

namespace map {
class MapWorld;
class TMudRoom2;
} // namespace map

namespace view {

class TMapView;

class TNotePanel : public QPlainTextEdit {
    Q_OBJECT
public:
    TNotePanel(map::MapWorld& world, TMapView& view, QWidget* parent = nullptr);

    // `Tag`: 1 while the user edits the note.
    bool Editing() const { return editing_; }
    // The text the map shows (ignored while editing, so typing is never overwritten).
    void ShowNote(const QString& text);

    // Where the focus goes instead of here (the zone tree, or the focus holder).
    std::function<void()> passFocus;
    // After editing: the status line and the note follow the pointer again.
    std::function<void()> editingEnded;

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void MemoNoteExit();

    map::MapWorld& world_;
    TMapView& view_;
    bool editing_ = false;
    map::TMudRoom2* room_ = nullptr; // the room being edited
    int roomTag_ = 0;
};

} // namespace view
