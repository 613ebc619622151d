#pragma once
// The object page ("Объекты"): the tool bar `ToolBar2`, the object tree `TreeViewObjects` with
// its context menu `PopupMenu3`, and the text pane `MemoObjects` showing the selected node's
// report. The object base owns the data and the operations; the page shows it, follows it
// through the base's page hooks and hands the user's edits back.

#include "view/objects/FindReplaceDialogs.h"
#include "world/ObjectBase.h"

#include <QPointer>
#include <QWidget>
#include <map>
#include <string>

class QAction;
class QMenu;
class QPlainTextEdit;
class QSplitter;
class QToolBar;

namespace storage {
class Language;
}

namespace view {

enum class ObjectGlyph;
class TObjectTreeModel;
class TObjectTreeView;

class TObjectPage : public QWidget {
    Q_OBJECT
public:
    TObjectPage(storage::ObjectBase& base, const storage::Language& language,
                QWidget* parent = nullptr);
    ~TObjectPage() override;

    // The tell items depend on the connection to the game: the window calls this when the
    // connection opens or closes (the menu checks again whenever it opens).
    void UpdateActions();

    TObjectTreeView* Tree() const { return tree_; }
    TObjectTreeModel* Model() const { return model_; }
    QPlainTextEdit* Pane() const { return memo_; }
    QToolBar* ToolBar() const { return toolBar_; }
    QMenu* Menu() const { return menu_; }
    // An action by its control key ("nAddNode", "tbSearch"...); null for an unknown key.
    QAction* Action(const std::string& key) const;
    TFindReplaceDialog* FindDialog() const { return findDialog_; }
    TFindReplaceDialog* ReplaceDialog() const { return replaceDialog_; }

    // Operations of the tool bar and the menu.
    void tbSaveObjectsClick();
    void tbDiscardClick();
    void tbExpandClick();
    void tbCollapseClick();
    void nAddNodeClick();
    void nAddChildClick();
    void nDeleteNodeClick();
    void nSortClick();
    void tbSearchClick();
    void tbReplaceClick();
    void nAddFromFileClick();
    void nGroupTellClick();
    void nClanTellClick();
    // Shift+Enter: edit the selected node's title in place.
    void EditTitle();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void BuildActions();
    QAction* MakeAction(const std::string& key, ObjectGlyph glyph, void (TObjectPage::*click)());
    std::string Caption(const std::string& key, const char* defaultUtf8 = nullptr) const;

    // The base's hooks.
    void TreeChanged();
    void Selected(storage::ObjectNode* node);
    void PaneChanged();
    void ShowMatch(const storage::ObjectMatch& m);

    void AddNode(bool asChild);
    void PaneEdited();
    void StorePane();
    void ShowPage();
    TFindReplaceDialog* OpenDialog(bool withReplace);
    void FindNext(TFindReplaceDialog* dialog);
    void ReplaceNext();
    void ReplaceAll();

    storage::ObjectBase& base_;
    const storage::Language& language_;
    TObjectTreeModel* model_ = nullptr;
    TObjectTreeView* tree_ = nullptr;
    QPlainTextEdit* memo_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QMenu* menu_ = nullptr;
    QSplitter* splitter_ = nullptr;
    std::map<std::string, QAction*> actions_;
    QString paneHint_; // shown in the empty pane while no node is shown
    QPointer<TFindReplaceDialog> findDialog_, replaceDialog_;

    bool following_ = false;   // the page is catching up with the base: no echo back
    bool fillingPane_ = false; // the pane is being filled, not edited
    // The match the pane shows selected, while it stands as found.
    struct ShownMatch {
        bool valid = false;
        int from = 0, to = 0;
    } match_;
};

} // namespace view
