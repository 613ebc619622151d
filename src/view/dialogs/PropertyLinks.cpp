// The property dialog's zone-load list: one item per link line of the room, changed through
// the link dialog from the list's menu; every change reaches the room at once.

#include "app/core/Session.h"
#include "map/LinkLine.h"
#include "text/Cp1251.h"
#include "view/dialogs/AutomapForm.h"
#include "view/dialogs/DialogCaptions.h"
#include "view/dialogs/PropertyForm.h"
#include "view/map/BitmapPanel.h"
#include "view/map/MapPage.h"
#include "view/window/UiText.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QTreeWidget>

namespace view {

void TPropertyForm::BuildAutomapMenu() {
    automapMenu_ = new QMenu(automapList_);
    automapMenu_->setObjectName("PopupMenu1");
    auto add = [this](const char* name, const char* def, QList<QKeySequence> keys,
                      void (TPropertyForm::*handler)()) {
        QAction* a = automapMenu_->addAction(Caption(name, def));
        a->setObjectName(name);
        a->setShortcuts(keys);
        // The keys work while the list has the focus (Enter would otherwise close the dialog).
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        automapList_->addAction(a);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    QAction* edit =
        add("NEdit", "Изменить  ", {Qt::Key_Return, Qt::Key_Enter}, &TPropertyForm::NEditClick);
    add("NAdd", "Добавить", {Qt::Key_Insert}, &TPropertyForm::NAddClick);
    QAction* del = add("NDel", "Удалить", {Qt::Key_Delete}, &TPropertyForm::NDelClick);
    automapMenu_->setDefaultAction(edit);

    automapList_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(automapList_, &QWidget::customContextMenuRequested, this, [this, edit, del](QPoint at) {
        const bool any = SelectedLine() >= 0;
        edit->setEnabled(any);
        del->setEnabled(any);
        automapMenu_->popup(automapList_->viewport()->mapToGlobal(at));
    });
    connect(automapList_, &QTreeWidget::itemDoubleClicked, this, [this] { NEditClick(); });
    automapList_->installEventFilter(this);
}

bool TPropertyForm::eventFilter(QObject* watched, QEvent* e) {
    // The menu's shortcuts normally take these keys first; should they not (the window not
    // active yet after the link dialog), Enter must still edit the line, not close the dialog.
    if (watched == automapList_ && e->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(e);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                NEditClick();
                return true;
            case Qt::Key_Insert:
                NAddClick();
                return true;
            case Qt::Key_Delete:
                NDelClick();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, e);
}

void TPropertyForm::FillAutomapList() {
    automapList_->clear();
    for (const std::string& text : editor_->Preview().AutoMaps) {
        const map::LinkLine line = map::LinkLine::Parse(text);
        auto* item = new QTreeWidgetItem(
            automapList_, {U(line.zone), U(line.exit), U(line.room), U(line.command)});
        item->setData(0, Qt::UserRole, line.SendsMove() ? "-1" : "0");
    }
}

int TPropertyForm::SelectedLine() const {
    QTreeWidgetItem* item = automapList_->currentItem();
    if (!item || !item->isSelected()) return -1;
    return automapList_->indexOfTopLevelItem(item);
}

storage::LinkLineEditor TPropertyForm::LinkEditor() {
    return {session_.World(), room_, editor_->Preview(), *this};
}

void TPropertyForm::LinksChanged() {
    FillAutomapList();
    session_.Map().World().Saved = false;
    panel1_->update();
    page_.PanelMain()->update();
}

void TPropertyForm::NAddClick() {
    if (LinkEditor().NAddClick()) {
        LinksChanged();
        automapList_->setCurrentItem(
            automapList_->topLevelItem(automapList_->topLevelItemCount() - 1));
    }
}

void TPropertyForm::NEditClick() {
    const int line = SelectedLine();
    if (line >= 0 && LinkEditor().NEditClick(line)) {
        LinksChanged();
        automapList_->setCurrentItem(automapList_->topLevelItem(line));
    }
}

void TPropertyForm::NDelClick() {
    const int line = SelectedLine();
    if (line >= 0 && LinkEditor().NDelClick(line)) LinksChanged();
}

std::optional<storage::AutomapValues>
TPropertyForm::OpenAutomapForm(const storage::AutomapValues& initial) {
    std::vector<std::string> zones;
    for (const storage::ZoneTreeNode* zone : session_.World().Tree().Zones())
        zones.push_back(zone->text);
    TAutomapForm form(session_.Texts(), session_.Profile(), zones, this);
    form.SetValues(initial);
    if (onAutomapFormShown)
        QTimer::singleShot(0, &form, [this, &form] { onAutomapFormShown(form); });
    if (form.exec() != QDialog::Accepted) return std::nullopt;
    return form.Values();
}

void TPropertyForm::RefreshCheckedExits() {
    editChExits_->setText(U(storage::CheckedExitLetters(editor_->Preview())));
}

} // namespace view
