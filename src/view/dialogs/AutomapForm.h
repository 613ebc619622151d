#pragma once
// The link dialog `TAutomapForm`: one line of a room's zone-load list (the exit it leaves by,
// the zone and room it leads to, a command sent before the move and whether the movement
// command is sent as well). Its controls are enabled as the exit, zone and command are typed.

#include "world/LinkLineEditor.h"

#include <QDialog>

#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace profile {
struct WorldProfile;
}
namespace storage {
class Language;
}

namespace view {

class TAutomapForm : public QDialog {
    Q_OBJECT
public:
    // `zones` fill the zone list (the zone tree's zones); the exit list holds the six
    // direction phrases of the profile.
    TAutomapForm(const storage::Language& texts, const profile::WorldProfile& profile,
                 const std::vector<std::string>& zones, QWidget* parent = nullptr);

    void SetValues(const storage::AutomapValues& v);
    storage::AutomapValues Values() const;

    QComboBox* ComboBoxExit() const { return exit_; }
    QComboBox* ComboBoxMap() const { return zone_; }
    QLineEdit* EditSendTrigger() const { return command_; }
    QLabel* LblSendTrigger() const { return commandLabel_; }
    QCheckBox* CheckBoxSendMove() const { return sendMove_; }
    QLineEdit* EditX() const { return room_; }
    QPushButton* BtnOk() const { return ok_; }

private:
    // The enabling rules, run whenever the exit, the zone or the command changes.
    void ApplyRules();

    const profile::WorldProfile& profile_;
    QComboBox* exit_ = nullptr;
    QComboBox* zone_ = nullptr;
    QLabel* commandLabel_ = nullptr;
    QLineEdit* command_ = nullptr;
    QCheckBox* sendMove_ = nullptr;
    QLineEdit* room_ = nullptr;
    QPushButton* ok_ = nullptr;
};

} // namespace view
