#pragma once
// The about box ("О программе ..."): the program's version, the operating system, the free
// memory, the download page, and a check for a newer version on demand. Also the start-up
// update check's announcement.

#include "app/core/UpdateCheck.h"

#include <QDialog>
#include <map>
#include <optional>
#include <string>

class QLabel;
class QPushButton;

namespace storage {
class Language;
struct AppSettings;
} // namespace storage

namespace view {

// Bytes of memory free for new programs; nullopt where the system does not say.
std::optional<unsigned long long> FreeMemoryBytes();
// The operating system's name and version, for people.
QString OperatingSystemText();

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    TAboutForm(const storage::Language& texts, const storage::AppSettings& settings,
               QWidget* parent = nullptr);

    QLabel* VersionLabel() const { return version_; }
    QLabel* SystemLabel() const { return system_; }
    QLabel* MemoryLabel() const { return memory_; }
    QLabel* UpdateStatus() const { return status_; }
    QPushButton* CheckButton() const { return btnCheck_; }
    // Checks for a newer version; the answer shows in the box.
    void CheckUpdates();

private:
    QString Caption(const char* key, const char* utf8Default) const;
    void UpdateChecked(const std::string& result);

    const storage::Language& texts_;
    const storage::AppSettings& settings_;
    QLabel* version_ = nullptr;
    QLabel* system_ = nullptr;
    QLabel* memory_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* btnCheck_ = nullptr;
    std::map<std::string, QString> answers_; // the texts of the check's answers
    app::UpdateCheck check_;
};

// The start-up check: when the settings ask for it, the version text is fetched in the
// background and a newer version, once known, is announced in a box over `window`.
void StartupUpdateCheck(app::UpdateCheck& check, const storage::AppSettings& settings,
                        QWidget* window);

} // namespace view
