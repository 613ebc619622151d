#pragma once
// The game a new world is made for, in the world chooser's Create mode: the profile of the
// game's family (or the program's template), a line on what the game must show for it, and the
// game's server, filled in from the profile and open to change.

#include "files/GameProfiles.h"
#include "world/WorldUi.h"

#include <QGroupBox>
#include <filesystem>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;

namespace storage {
class Language;
}

namespace view {

class TNewWorldGameBox : public QGroupBox {
    Q_OBJECT
public:
    TNewWorldGameBox(const storage::Language& texts, QWidget* parent = nullptr);

    // The choices: the template first (`templateProfile`, which may not exist), then the
    // profiles, the families the program knows in its order, any other by its file name.
    void SetProfiles(const std::filesystem::path& templateProfile,
                     const std::vector<storage::GameProfile>& profiles);
    // Selects the profile of that id (the template for an empty id or an unknown one).
    void Select(const std::string& id);
    storage::NewWorldGame Game() const;

    QComboBox* Profiles() const { return cbProfile_; }
    QLineEdit* Server() const { return editServer_; }
    QLineEdit* Port() const { return editPort_; }
    QLabel* Hint() const { return lblProfileHint_; }

private:
    QString Caption(const char* key, const char* utf8Default) const;
    void ProfileChanged(int index);

    const storage::Language& texts_;
    QComboBox* cbProfile_ = nullptr;
    QLineEdit* editServer_ = nullptr;
    QLineEdit* editPort_ = nullptr;
    QLabel* lblProfileHint_ = nullptr;
    std::vector<QString> hints_; // by combo index
};

} // namespace view
