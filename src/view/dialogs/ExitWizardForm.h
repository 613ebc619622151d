#pragma once
// "Замена выходов": the exit words the rooms' exit lists are written in, and the words to
// write them in instead. The dialog only asks; the settings dialog converts the rooms when it
// ends with OK (after the user confirmed the question).

#include <QDialog>

#include <array>
#include <string>

class QLineEdit;
class QPushButton;

namespace app {
class AppUi;
}
namespace storage {
class Language;
}

namespace view {

class TExitWizardForm : public QDialog {
    Q_OBJECT
public:
    // `current`: the exit words in effect, in the profile's order (north, south, east, west,
    // up, down). `ui` asks the question.
    TExitWizardForm(const storage::Language& texts, const std::array<std::string, 6>& current,
                    app::AppUi& ui, QWidget* parent = nullptr);

    // Both in the profile's order, as typed (Windows-1251).
    std::array<std::string, 6> OldWords() const;
    std::array<std::string, 6> NewWords() const;

    QPushButton* ReplaceButton() const { return btnReplace_; }

private:
    QString Caption(const char* key, const char* utf8Default) const;
    // "Заменить" only while all twelve fields hold something.
    void FieldsChanged();
    void btnReplaceClick();

    const storage::Language& texts_;
    app::AppUi& ui_;
    std::array<QLineEdit*, 6> old_{}, new_{};
    QPushButton* btnReplace_ = nullptr;
};

} // namespace view
