#pragma once
// "Профиль по игре": what learning proposes from the game's last lines, beside what the settings
// hold now, the rooms recognition finds with the proposal, and what could not be told. The
// dialog only shows; accepting it lets the settings dialog take the values into its fields.

#include "profile/WorldProfile.h"
#include "tracking/ProfileLearner.h"

#include <QDialog>

class QListWidget;
class QPushButton;
class QTableWidget;

namespace storage {
class Language;
}

namespace view {

class TLearnProfileForm : public QDialog {
    Q_OBJECT
public:
    // `now`: the profile as the settings dialog holds it now.
    TLearnProfileForm(const storage::Language& texts, const profile::WorldProfile& now,
                      const tracking::LearntProfile& learnt, QWidget* parent = nullptr);

    QTableWidget* Values() const { return values_; }
    QListWidget* Rooms() const { return rooms_; }
    QListWidget* Remarks() const { return remarks_; }
    QPushButton* AcceptButton() const { return accept_; }

private:
    QString Caption(const char* key, const char* utf8Default) const;
    void FillValues(const profile::WorldProfile& now, const tracking::LearntProfile& learnt);
    void FillRemarks(const tracking::LearntProfile& learnt);

    const storage::Language& texts_;
    QTableWidget* values_ = nullptr;
    QListWidget* rooms_ = nullptr;
    QListWidget* remarks_ = nullptr;
    QPushButton* accept_ = nullptr;
};

} // namespace view
