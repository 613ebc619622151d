#pragma once
// The settings dialog " Параметры": eight pages that edit the application settings and most of
// the world's profile. Its values are copied in when it opens and applied (by whoever opened it)
// only when it ends with OK; the room-colour replacement and the exit-word conversion act on
// the map at once.
//
// Every control carries its design name as its object name ("EditSP", "cbUsePromptExit"), and
// every caption comes from the language file, section "ConfigForm".

#include "app/core/ConfigSettings.h"

#include <QDialog>

#include <array>
#include <functional>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace app {
class AppUi;
class Session;
} // namespace app

namespace view {

class TTexturePreview;

class TConfigForm : public QDialog {
    Q_OBJECT
public:
    // `ui` asks the questions and repaints and centres the map for the two buttons that act at
    // once.
    TConfigForm(app::Session& session, app::AppUi& ui, QWidget* parent = nullptr);
    ~TConfigForm() override;

    // The values as the controls hold them now.
    app::ConfigValues Values() const;
    // Applies the values (after OK) and shows the cleaned server field.
    void Apply(app::ConfigUi& ui);

    QTabWidget* Pages() const { return pages_; }
    // The colour dialog; replaceable so that tests need no dialog. nullopt when cancelled.
    std::function<std::optional<QColor>(const QColor& initial)> chooseColor;
    // The skin file dialog: the chosen file's path, or an empty text when cancelled.
    std::function<QString(const QString& title, const QString& startPath)> chooseSkinFile;

    // `EditSWLengthChange`: only digits stay in a step-count field.
    void EditSWLengthChange(QLineEdit* edit);

private:
    // Captions from the language file, with the control's built-in text as the default.
    QString Caption(const char* key, const char* utf8Default) const;
    QLabel* Label(const char* key, const char* utf8Default, QWidget* buddy = nullptr);
    QGroupBox* Group(const char* key, const char* utf8Default);
    QCheckBox* Check(const char* key, const char* utf8Default);
    QLineEdit* Edit(const char* name);
    QPlainTextEdit* Memo(const char* name);
    // Six word fields in the order north, south, west, east, up, down (the profile's arrays
    // run north, south, east, west), with their labels.
    QGroupBox* SixWords(const char* groupKey, const char* groupDefault, const char* editPrefix,
                        const char* labelPrefix, std::array<QLineEdit*, 6>& edits);

    // ConfigFormPages.cpp: "Соединение", "Движение", "Автоматика", "Сообщения".
    QWidget* ConnectionPage();
    QWidget* MovesPage();
    QWidget* AutomationPage();
    QWidget* MessagesPage();
    void FillFirstPages(const app::ConfigValues& v);
    void CollectFirstPages(app::ConfigValues& v) const;
    void cbUsePromptExitClick();
    void Button1Click(); // the exit-word conversion wizard
    // Proposes the recognition values learnt from the game's last lines; the player accepts
    // them into the fields or not.
    void btnLearnClick();

    // ConfigFormGeneral.cpp: "Общие".
    QWidget* GeneralPage();
    void FillGeneralPage(const app::ConfigValues& v);
    void CollectGeneralPage(app::ConfigValues& v) const;
    void btnColorClick();
    void TextureComboBoxChange(int index);
    void RefreshTextureList();
    void ShapeClick(QToolButton* shape);
    void SpeedButton1Click();
    void SpeedButton2Click();

    // ConfigFormLastPages.cpp: "Следование", "Управление", "Познание".
    QWidget* FollowPage();
    QWidget* ControlPage();
    QWidget* KnowledgePage();
    void FillLastPages(const app::ConfigValues& v);
    void CollectLastPages(app::ConfigValues& v) const;

    void ButtonOkClick();

    app::Session& session_;
    app::AppUi& ui_;
    app::ConfigValues filled_; // what the dialog opened with
    QTabWidget* pages_ = nullptr;

    // "Соединение"
    QGroupBox *gbClient_ = nullptr, *gbServer_ = nullptr;
    QLineEdit *editSP_ = nullptr, *edit1_ = nullptr, *editCN_ = nullptr, *editCP_ = nullptr;
    QCheckBox *cbNoDoubleYa_ = nullptr, *cbAddDoubleYa_ = nullptr, *cbAddDoubleYaLor_ = nullptr;
    QCheckBox *cbMsdpEnabled_ = nullptr, *cbGmcpEnabled_ = nullptr;
    // "Движение"
    std::array<QLineEdit*, 6> moveEdits_{};
    QLineEdit *editSneak_ = nullptr, *editFlee_ = nullptr, *editLook_ = nullptr,
              *editStop_ = nullptr, *editClear_ = nullptr;
    // "Автоматика"
    QLineEdit *editRoom1_ = nullptr, *editRoom2_ = nullptr, *editAutoexit1_ = nullptr,
              *editAutoexit2_ = nullptr, *editPromptExit1_ = nullptr, *editPromptExit2_ = nullptr;
    QLabel* lblPromptExit_ = nullptr;
    QCheckBox *cbUsePromptExit_ = nullptr, *cbAutoexitsIgnoreCase_ = nullptr;
    std::array<QLineEdit*, 6> exitEdits_{};
    QLineEdit *editDark_ = nullptr, *editNoExits_ = nullptr;
    QPlainTextEdit* memoDark_ = nullptr;
    // "Сообщения"
    QPlainTextEdit* memoCantMove_ = nullptr;
    QLineEdit* editRetreat_ = nullptr;
    // "Общие"
    TTexturePreview* panel1_ = nullptr;
    QComboBox* textureComboBox_ = nullptr;
    QCheckBox *cbNoTransp_ = nullptr, *cbRepos_ = nullptr, *cbShowTopLevel_ = nullptr,
              *cbShowBottomLevel_ = nullptr, *cbSwapUpDown_ = nullptr, *cbShowNote_ = nullptr,
              *cbReplaceLore_ = nullptr, *cbCheckUpdates_ = nullptr, *cbRecordSessions_ = nullptr;
    QButtonGroup* scrollMult_ = nullptr;
    QLineEdit* editSkin_ = nullptr;
    QLabel* lblSkin_ = nullptr;
    QToolButton *shpColor1_ = nullptr, *shpColor2_ = nullptr;
    // "Следование"
    QPlainTextEdit* memoLeaderMoves_ = nullptr;
    std::array<QLineEdit*, 6> leaderEdits_{};
    QLineEdit* editSFollow_ = nullptr;
    QCheckBox* cbFollowLine_ = nullptr;
    // "Управление"
    QLineEdit *editSpeedWalk_ = nullptr, *editReturnWalk_ = nullptr, *editSWLength_ = nullptr,
              *editMaxSWLength_ = nullptr, *editGroupTell_ = nullptr, *editClanTell_ = nullptr,
              *editSetAlias_ = nullptr, *editNewZone_ = nullptr;
    // "Познание"
    QPlainTextEdit *memoStuffTem_ = nullptr, *memoMobTem_ = nullptr;
    QLineEdit *editStuffSeq_ = nullptr, *editMobSeq_ = nullptr, *editRequestCommand_ = nullptr;
};

} // namespace view
