#pragma once
// `TSaveLoadForm`, the world chooser: the worlds under "Maps" as large icons or a list, and the
// name of the world to load, save as or create. It deletes and renames worlds itself (never
// the loaded one); everything else that happens to the chosen world is the caller's.

#include "files/GameProfiles.h"
#include "world/WorldUi.h"

#include <QDialog>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;

namespace storage {
class Language;
}

namespace view {

class TNewWorldGameBox;

class TSaveLoadForm : public QDialog {
    Q_OBJECT
public:
    // `listViewStyle` is the setting `ListViewStyle` (1 large icons, 2 list), changed by the
    // view items. `loadedWorldDir` is the loaded world's directory, or empty.
    TSaveLoadForm(const storage::Language& texts, int& listViewStyle, std::filesystem::path mapsDir,
                  std::filesystem::path loadedWorldDir, QWidget* parent = nullptr);

    // The mode and the proposed name (ignored when loading); fills the list.
    void SetMode(storage::ChooserMode mode, const std::string& name);
    // The chosen name, Windows-1251, without surrounding blanks.
    std::string WorldName() const;
    // The games a new world can be made for (shown in the Create mode): the template and the
    // families' profiles.
    void SetGameProfiles(const std::filesystem::path& templateProfile,
                         const std::vector<storage::GameProfile>& profiles);
    // The game chosen; in the Create mode only.
    std::optional<storage::NewWorldGame> Game() const;
    TNewWorldGameBox* GameBox() const { return game_; }

    QListWidget* ListView1() const { return listView1_; }
    QLineEdit* WorldNameEdit() const { return worldName_; }
    QPushButton* ButtonOk() const { return buttonOk_; }
    QPushButton* ButtonCancel() const { return buttonCancel_; }
    QLabel* LblName() const { return lblName_; }
    QMenu* PopupMenu1() const { return popupMenu1_; }
    QAction* Item(const QString& name) const;

    // `nIcons` / `nList`.
    void SetView(bool icons);
    // `nDelete` on the selected item.
    void nDeleteClick();
    // `nRename`: starts editing the selected item's name.
    void nRenameClick();

private:
    std::string Text(const char* key) const;
    QString Caption(const char* key, const char* utf8Default) const;
    void FillList();
    void ItemChosen(QListWidgetItem* item);
    void WorldNameChange();
    void ShowPopup(const QPoint& at);
    void Renamed(QListWidgetItem* item);
    void Stop(const std::string& message);

    const storage::Language& texts_;
    int& listViewStyle_;
    std::filesystem::path mapsDir_;
    std::filesystem::path loadedWorldDir_;
    QListWidget* listView1_ = nullptr;
    QLabel* lblName_ = nullptr;
    QLineEdit* worldName_ = nullptr;
    QPushButton* buttonOk_ = nullptr;
    QPushButton* buttonCancel_ = nullptr;
    QMenu* popupMenu1_ = nullptr;
    TNewWorldGameBox* game_ = nullptr;
    storage::ChooserMode mode_ = storage::ChooserMode::Load;
    QAction* nSelect_ = nullptr;
    QAction* nIcons_ = nullptr;
    QAction* nList_ = nullptr;
    QString renaming_; // the name of the item being renamed
};

} // namespace view
