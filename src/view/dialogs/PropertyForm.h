#pragma once
// The room property dialog `TPropertyForm`: the room's name, description, alias, exits,
// checked exits, colour, marks and picture on the first tab with a preview of the room drawn
// as on the map; the note and the zone-load list `AutomapList` on the second. The dialog edits
// a preview copy of the room, which OK copies back; the zone-load list alone writes through at
// once (its warning says so).

#include "view/map/MapPainter.h"
#include "world/LinkLineEditor.h"
#include "world/RoomPropertyEditor.h"

#include <QDialog>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;

namespace app {
class Session;
}

namespace view {

class TAutomapForm;
class TBitmapPanel;
class TMapPage;

class TPropertyForm : public QDialog, public storage::LinkTabUi {
    Q_OBJECT
public:
    // The dialog for `room` (the context room), filled from it: the room's highlight is
    // cleared as it opens.
    TPropertyForm(app::Session& session, TMapPage& page, map::TMudRoom2& room,
                  QWidget* parent = nullptr);
    ~TPropertyForm() override;

    storage::RoomPropertyEditor& Editor() { return *editor_; }
    // OK: the edited values go into the room (`EditRoom` calls it after the dialog closed).
    void ApplyToRoom();

    // storage::LinkTabUi
    std::optional<storage::AutomapValues>
    OpenAutomapForm(const storage::AutomapValues& initial) override;
    void RefreshCheckedExits() override;

    // The zone-load list's menu items (`NAdd`, `NEdit`, `NDel`) on the selected item.
    void NAddClick();
    void NEditClick();
    void NDelClick();

    // Runs on the link dialog before it is shown modally (tests fill and close it here).
    std::function<void(TAutomapForm&)> onAutomapFormShown;
    // The colour dialog; the main window's unless replaced.
    std::function<std::optional<map::Color>(map::Color)> chooseColor;

    QTabWidget* Tabs() const { return tabs_; }
    QLineEdit* EditName() const { return editName_; }
    QPlainTextEdit* RoomDescr() const { return roomDescr_; }
    QLineEdit* EditAlias() const { return editAlias_; }
    QLineEdit* EditExits() const { return editExits_; }
    QLineEdit* EditChExits() const { return editChExits_; }
    QPushButton* BtnColor() const { return btnColor_; }
    // Flag boxes 1 DT, 2 FlyDT, 3 Agro, 4 NoStep.
    QCheckBox* FlagBox(int box) const { return boxes_[static_cast<std::size_t>(box - 1)]; }
    QComboBox* ComboBox1() const { return comboBox1_; }
    TBitmapPanel* Panel1() const { return panel1_; }
    QPlainTextEdit* RoomNote() const { return roomNote_; }
    QTreeWidget* AutomapList() const { return automapList_; }
    QLabel* LblWarning() const { return lblWarning_; }
    QMenu* AutomapMenu() const { return automapMenu_; }
    QPushButton* BtnOk() const { return btnOk_; }

protected:
    void showEvent(QShowEvent* e) override;
    // The list's keys (Enter, Insert, Delete) reach its items, never the dialog's OK.
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QString Caption(const char* key, const char* utf8Default) const;
    QWidget* BuildMainTab();
    QWidget* BuildExtraTab();
    void FillPictures();
    void FillFields();
    void SyncFlags();
    void btnColorClick();
    void Panel1Paint(QImage& canvas);
    // PropertyLinks.cpp
    void BuildAutomapMenu();
    void FillAutomapList();
    int SelectedLine() const;
    storage::LinkLineEditor LinkEditor();
    void LinksChanged();

    app::Session& session_;
    TMapPage& page_;
    map::TMudRoom2& room_;
    std::unique_ptr<storage::RoomPropertyEditor> editor_;
    TMapPainter painter_;
    PaintSettings paint_;

    QTabWidget* tabs_ = nullptr;
    QLineEdit* editName_ = nullptr;
    QPlainTextEdit* roomDescr_ = nullptr;
    QLineEdit* editAlias_ = nullptr;
    QLineEdit* editExits_ = nullptr;
    QLineEdit* editChExits_ = nullptr;
    QPushButton* btnColor_ = nullptr;
    std::array<QCheckBox*, storage::RoomPropertyEditor::kFlagBoxes> boxes_{};
    QComboBox* comboBox1_ = nullptr;
    TBitmapPanel* panel1_ = nullptr;
    QPlainTextEdit* roomNote_ = nullptr;
    QTreeWidget* automapList_ = nullptr;
    QLabel* lblWarning_ = nullptr;
    QMenu* automapMenu_ = nullptr;
    QPushButton* btnOk_ = nullptr;
};

// EditRoom: the property dialog for the context room, shown modally; OK applies it. The map
// is repainted whatever the answer. False when there is no context room or on Cancel.
bool EditRoom(app::Session& session, TMapPage& page, QWidget* parent);

} // namespace view
