#pragma once
// Finding a room by its name, description or note: the three menu items (Ctrl+F, Ctrl+D,
// Ctrl+C) and their twins in the zone tree's menu open the find dialog `FindDialog2` on that
// field; each press of its find-next button shows the next room of the world that matches.

#include "view/objects/FindReplaceDialogs.h"
#include "world/ZoneOperations.h"

#include <QObject>
#include <QPointer>

class QAction;
class QMenu;
class QWidget;

namespace app {
class Session;
}

namespace view {

class TRoomSearch : public QObject {
    Q_OBJECT
public:
    // The dialog belongs to `window`, the actions' shortcuts work in it.
    TRoomSearch(app::Session& session, QWidget* window);

    // `nFindName`, `nFindDesc`, `nFindNote` (with their shortcuts).
    QAction* FindAction(storage::SearchField field) const;
    // Adds `nFindByName`, `nFindByDesc`, `nFindByNote` (no shortcuts) to a menu.
    void AddTwins(QMenu* menu);
    // The shortcuts work only while the map page shows (the object page has its own Ctrl+F).
    void SetEnabled(bool on);

    // `nFindByNameClick` and its siblings: the search starts over on that field.
    void Open(storage::SearchField field);
    // `FindDialog2Find`.
    void FindNext();
    TFindReplaceDialog* FindDialog2() const { return dialog_; }

private:
    QString Caption(storage::SearchField field) const;

    app::Session& session_;
    QWidget* window_;
    QAction* actions_[3] = {};
    QPointer<TFindReplaceDialog> dialog_;
};

} // namespace view
