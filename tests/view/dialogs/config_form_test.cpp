// The settings dialog as the player uses it: opened from its tool button, typed into, closed
// with OK or Cancel; and the exit-word wizard it opens.

#include "config_form_fixture.h"

#include "app/core/Session.h"
#include "files/IniFile.h"
#include "support/FakePeers.h"
#include "support/TempDir.h"
#include "text/Cp1251.h"
#include "view/dialogs/ConfigForm.h"
#include "view/dialogs/ExitWizardForm.h"
#include "view/dialogs/TexturePreview.h"
#include "view/map/BitmapPanel.h"
#include "view/map/MapPage.h"
#include "view/map/Textures.h"
#include "view/window/QuarvelinForm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

using text::W;

// Answers the next message box with `button`, keeping its text.
void AnswerBox(QMessageBox::StandardButton button, QString* text = nullptr) {
    QTimer::singleShot(0, [button, text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        if (text) *text = box->text();
        box->button(button)->click();
    });
}

void Type(QLineEdit* edit, char c) {
    QKeyEvent e(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(c)));
    QApplication::sendEvent(edit, &e);
}

} // namespace

TEST(ConfigForm, OpeningOnceWritesEveryCaptionKeyToTheLanguageFile) {
    Window w;
    TempDir::Write(
        w.dir.path() / "language.ini",
        "[ConfigForm]\r\nTabSheet5=General\r\nButtonCancel=Cancel\r\ngbClient= Client \r\n");
    WithConfig(w, [](view::TConfigForm& d) {
        EXPECT_EQ(d.windowTitle(), QString::fromUtf8(" Параметры"));
        EXPECT_EQ(d.Pages()->count(), 8);
        EXPECT_EQ(d.Pages()->tabText(0), QString::fromUtf8("Соединение"));
        EXPECT_EQ(d.Pages()->tabText(4), "General");
        EXPECT_EQ(Field<QPushButton>(d, "ButtonCancel")->text(), "Cancel");
        EXPECT_EQ(d.Pages()->currentIndex(), 0);
    });
    storage::IniFile lang(w.dir.path() / "language.ini");
    for (const char* key :
         {"Caption", "TabSheet1", "TabSheet2", "TabSheet3", "TabSheet4", "TabSheet5", "TabSheet6",
          "TabSheet7", "TabSheet8", "gbClient", "lblClientName", "lblClientPort", "gbServer",
          "lblServerName", "lblServerPort", "gbProcessing", "cbNoDoubleYa", "cbAddDoubleYa",
          "cbAddDoubleYaLor", "gbMoves", "lblMoveN", "lblMoveS", "lblMoveE", "lblMoveW", "lblMoveU",
          "lblMoveD", "lblMoveSneak", "lblMoveFlick", "gbTracing", "lblTraceStart", "lblTraceStop",
          "lblTraceClear", "gbFlick", "lblFlickMsg", "gbAutoexits", "cbAutoexitsIgnoreCase",
          "gbDark", "lblDarkHere", "lblNoExits", "gbMoveUnabled", "gbRoom", "lblRoomName",
          "lblAutoexits", "cbUsePromptExit", "gbSppedWalk", "lblGoTo", "lblReturn", "lblStepCount",
          "gbGroupMsg", "lblGroupTell", "lblClanTell", "gbBackground", "btnColor", "lblTexture",
          "gbFeatures", "cbNoTransp", "cbRepos", "cbShowTopLevel", "cbShowBottomLevel",
          "cbSwapUpDown", "ScrollMult", "gbLeader", "lblLeaderMoves", "gbFollow", "lblFollow",
          "cbFollowLine", "gbItems", "lblTemplate", "lblOrder", "gbMOBs", "gbRequestObj",
          "lblRequestCommand", "ButtonOk", "ButtonCancel",
          // and the controls that carry text beyond that list
          "lblSkin", "sbNoSkin", "SpeedButton2", "lblReplaceColor", "lblMaxStepCount"})
        EXPECT_TRUE(lang.Find("ConfigForm", key)) << key;
    // The user's values stay (read as INI values are, without the blanks around them); the
    // built-in ones are written exactly, blanks and all (inside quotes, which reading removes).
    const std::string file = TempDir::Read(w.dir.path() / "language.ini");
    EXPECT_NE(file.find("gbClient=Client\r\n"), std::string::npos);
    EXPECT_NE(file.find(W("gbServer=\" Сервер \"\r\n")), std::string::npos);
    EXPECT_EQ(lang.ReadString("ConfigForm", "gbServer", ""), W(" Сервер "));
    EXPECT_EQ(lang.ReadString("ConfigForm", "cbNoTransp", ""),
              W("Отключить прозрачность (чтоб не тормозило)"));
}

TEST(ConfigForm, StepCountsKeepOnlyDigitsAndAreCorrectedOnOk) {
    Window w;
    WithConfig(w, [](view::TConfigForm& d) {
        QLineEdit* max = Field(d, "EditMaxSWLength");
        max->setText("12");
        max->setCursorPosition(1);
        Type(max, 'a'); // between the two digits
        EXPECT_EQ(max->text(), "12");
        EXPECT_EQ(max->cursorPosition(), 1);
        Type(max, '5');
        EXPECT_EQ(max->text(), "152");
        max->setText("7");

        QLineEdit* steps = Field(d, "EditSWLength");
        steps->setText("");
        Type(steps, 'x');
        EXPECT_EQ(steps->text(), "");
        steps->insert("0z"); // a paste
        EXPECT_EQ(steps->text(), "0");
        Click(d, "ButtonOk");
    });
    EXPECT_EQ(w.S().Settings().SpeedWalkLength, 5);
    EXPECT_EQ(w.S().Settings().MaxSpeedWalkLength, 10);
    storage::IniFile settings(w.dir.path() / "quarvelin.ini");
    EXPECT_EQ(settings.ReadInteger("Options", "SpeedWalkLength", 0), 5);
    EXPECT_EQ(settings.ReadInteger("Options", "MaxSpeedWalkLength", 0), 10);
}

TEST(ConfigForm, AnEmptyPortFieldRefusesOkUntilItHoldsANumber) {
    Window w;
    WithConfig(w, [&](view::TConfigForm& d) {
        d.Pages()->setCurrentIndex(6);
        Field(d, "EditCN")->setText(" 127.0.0.1 ");
        QLineEdit* port = Field(d, "EditCP");
        port->clear();
        Type(port, 'q'); // the field admits digits only
        EXPECT_EQ(port->text(), "");
        QString message;
        AnswerBox(QMessageBox::Ok, &message);
        Click(d, "ButtonOk");
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.Pages()->currentIndex(), 0);
        EXPECT_TRUE(message.startsWith(QString::fromUtf8("Укажите номер порта")));
        EXPECT_TRUE(message.endsWith(QString::fromUtf8("<Сервер>"))) << message.toStdString();
        // Nothing was applied by the refused OK.
        EXPECT_EQ(w.S().Relay().ServerPort(), 4000);
        EXPECT_TRUE(w.S().Relay().Address().empty());

        port->setText("4321");
        Click(d, "ButtonOk");
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(w.S().Relay().ServerPort(), 4321);
    EXPECT_EQ(w.S().Relay().Address(), "127.0.0.1");
    const std::string profile = TempDir::Read(w.dir.path() / "Maps" / "W" / "local.ini");
    EXPECT_NE(profile.find("Server Name=127.0.0.1\r\nServer Port=4321\r\n"), std::string::npos);
}

TEST(ConfigForm, WithTheGameConnectionOpenOkLeavesThePortsAlone) {
    FakeGameServer game;
    Window w("Server Name=127.0.0.1\r\nServer Port=" + std::to_string(game.port()) + "\r\n");
    FakeClient client(w.S().Relay().ActualListenPort());
    ASSERT_TRUE(client.WaitConnected());
    ASSERT_TRUE(WaitFor([&] { return w.S().Relay().ServerConnected(); }));
    const int listen = w.S().Relay().ListenPort();
    WithConfig(w, [](view::TConfigForm& d) {
        for (const char* name : {"EditSP", "EditCN", "EditCP"}) {
            EXPECT_FALSE(Field(d, name)->isEnabled()) << name;
            Field(d, name)->clear(); // even emptied, they do not stop OK
        }
        Click(d, "ButtonOk");
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(w.S().Relay().ListenPort(), listen);
    EXPECT_EQ(w.S().Relay().Address(), "127.0.0.1");
    EXPECT_EQ(w.S().Relay().ServerPort(), game.port());
    EXPECT_TRUE(w.S().Relay().ServerConnected());
    EXPECT_FALSE(client.closed);
}

TEST(ConfigForm, ColourReplacementActsAtOnceAndCancelKeepsIt) {
    Window w;
    const std::string zone = w.S().ZoneName();
    map::TMudRoom2* here = w.AddRoom(zone, 0, map::kSilver);
    map::TMudRoom2* elsewhere = w.AddRoom("Other", 0, map::kSilver);
    map::TMudRoom2* red = w.AddRoom(zone, 1, 0x0000FF);
    WithConfig(w, [&](view::TConfigForm& d) {
        std::vector<QColor> asked;
        d.chooseColor = [&](const QColor& initial) -> std::optional<QColor> {
            asked.push_back(initial);
            return QColor(0, 0x80, 0); // green
        };
        Click(d, "shpColor2");
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0], QColor(0xC0, 0xC0, 0xC0)); // both start silver
        Click(d, "SpeedButton2");
        EXPECT_EQ(here->BColor, 0x008000);
        Click(d, "ButtonCancel");
    });
    EXPECT_EQ(here->BColor, 0x008000);
    EXPECT_EQ(elsewhere->BColor, 0x008000);
    EXPECT_EQ(red->BColor, 0x0000FF);
    EXPECT_FALSE(w.S().Map().World().Saved);
}

TEST(ConfigForm, ExitWizardConvertsTheRoomsAtOnceAndTheWordsReachTheProfileOnlyWithOk) {
    Window w;
    map::TMudRoom2* room = w.AddRoom(w.S().ZoneName(), 0, map::kSilver, "N (E) D");
    const char* newWords[] = {"\xD1", "\xDE", "\xC7", "\xC2", "\xC2\xE2", "\xC2\xED"};
    auto runWizard = [&](view::TConfigForm& d, QMessageBox::StandardButton answer) {
        QString question;
        QTimer::singleShot(0, [&] {
            auto* wizard = qobject_cast<view::TExitWizardForm*>(QApplication::activeModalWidget());
            ASSERT_NE(wizard, nullptr);
            EXPECT_EQ(wizard->windowTitle(), QString::fromUtf8("Замена выходов"));
            EXPECT_EQ(Field(*wizard, "EditEN")->text(), "N");
            EXPECT_EQ(Field(*wizard, "EditEE")->text(), "E");
            // "Заменить" waits for all twelve fields.
            const char* names[] = {"EditENNew", "EditESNew", "EditEWNew",
                                   "EditEENew", "EditEUNew", "EditEDNew"};
            for (int i = 0; i < 6; ++i) {
                EXPECT_FALSE(wizard->ReplaceButton()->isEnabled());
                Field(*wizard, names[i])->setText(text::ToUnicode(newWords[i]));
            }
            EXPECT_TRUE(wizard->ReplaceButton()->isEnabled());
            AnswerBox(answer, &question);
            wizard->ReplaceButton()->click();
            if (wizard->isVisible()) wizard->reject(); // a No leaves it open
        });
        Click(d, "Button1");
        EXPECT_EQ(question, QString::fromUtf8("Вы действительно хотите заменить способ выбора "
                                              "автовыходов и сконвертировать карты?"));
    };
    WithConfig(w, [&](view::TConfigForm& d) {
        runWizard(d, QMessageBox::No);
        EXPECT_EQ(room->Exits(), "N (E) D");
        EXPECT_EQ(Field(d, "EditEN")->text(), "N");

        runWizard(d, QMessageBox::Yes);
        // The rooms now, in the order north, south, west, east, up, down ...
        EXPECT_EQ(room->Exits(), "\xD1 (\xC2) \xC2\xED");
        EXPECT_EQ(room->ExitStateOf(map::East), map::kDoor);
        EXPECT_EQ(room->ExitStateOf(map::Down), map::kExit);
        // ... the dialog's fields too, but not yet the profile.
        EXPECT_EQ(Field(d, "EditEN")->text(), QString::fromUtf8("С"));
        EXPECT_EQ(Field(d, "EditEW")->text(), QString::fromUtf8("З"));
        EXPECT_EQ(Field(d, "EditED")->text(), QString::fromUtf8("Вн"));
        EXPECT_EQ(w.S().Profile().ExitWords[profile::kNorth], "N");
        Click(d, "ButtonCancel");
    });
    // Cancel keeps the converted rooms and the old words.
    EXPECT_EQ(room->Exits(), "\xD1 (\xC2) \xC2\xED");
    EXPECT_EQ(w.S().Profile().ExitWords[profile::kNorth], "N");
    EXPECT_TRUE(storage::IniFile(w.dir.path() / "language.ini").Find("ExitWizardForm", "gbNew"));
}

TEST(ConfigForm, BackgroundTextureColourAndSkinFile) {
    Window w({}, "[Options]\r\nPanelBitmap=2\r\nScrollMult=16\r\n");
    EXPECT_EQ(w.form->MapPage()->PanelMain()->ImageIndex, 2);
    WithConfig(w, [](view::TConfigForm& d) {
        auto* list = Field<QComboBox>(d, "TextureComboBox");
        auto* preview = Field<view::TTexturePreview>(d, "Panel1");
        // One entry more than there are textures; entry k is texture k - 1.
        EXPECT_EQ(list->count(), static_cast<int>(view::BackgroundTextures().size()) + 1);
        EXPECT_EQ(list->currentIndex(), 3);
        EXPECT_EQ(preview->textureIndex, 2);
        EXPECT_FALSE(list->itemIcon(1).isNull());
        list->setCurrentIndex(1);
        EXPECT_EQ(preview->textureIndex, 0);
        EXPECT_TRUE(Field<QAbstractButton>(d, "ScrollMult4")->isChecked());
        // A colour chosen (or the dialog only looked at) means no texture.
        d.chooseColor = [](const QColor&) -> std::optional<QColor> { return QColor(1, 2, 3); };
        Click(d, "btnColor");
        EXPECT_EQ(list->currentIndex(), 0);
        EXPECT_EQ(preview->textureIndex, -1);
        EXPECT_EQ(preview->color, QColor(1, 2, 3));
        // Entry 0 shows the preview's colour.
        EXPECT_EQ(list->itemIcon(0).pixmap(QSize(96, 20)).toImage().pixelColor(10, 10),
                  QColor(1, 2, 3));
        Click(d, "ScrollMult0");

        // The prompt's exit markers are editable only while the prompt is used.
        auto* prompt = Field<QCheckBox>(d, "cbUsePromptExit");
        EXPECT_FALSE(Field(d, "EditPromptExit1")->isEnabled());
        prompt->click();
        EXPECT_TRUE(Field(d, "EditPromptExit1")->isEnabled());
        EXPECT_TRUE(Field<QLabel>(d, "lblPromptExit")->isEnabled());

        EXPECT_EQ(Field(d, "EditSkin")->text(), "noskin.ini");
        d.chooseSkinFile = [](const QString&, const QString& start) {
            EXPECT_TRUE(start.endsWith("/noskin.ini"));
            return QString("/somewhere/else/Dungeon.ini");
        };
        Click(d, "SpeedButton1");
        EXPECT_EQ(Field(d, "EditSkin")->text(), "Dungeon.ini");
        Click(d, "ButtonOk");
    });
    const storage::AppSettings& st = w.S().Settings();
    EXPECT_EQ(st.PanelBitmap, -1);
    EXPECT_EQ(st.PanelColor, 0x030201);
    EXPECT_EQ(st.ScrollMult, 1);
    EXPECT_EQ(w.form->MapPage()->PanelMain()->ImageIndex, -1);
    EXPECT_TRUE(w.S().Profile().UsePromptExit);
    EXPECT_EQ(w.S().Profile().SkinIniFile, "Dungeon.ini");
    // sbNoSkin goes back to the built-in skin.
    WithConfig(w, [](view::TConfigForm& d) {
        EXPECT_EQ(Field(d, "EditSkin")->text(), "Dungeon.ini");
        Click(d, "sbNoSkin");
        Click(d, "ButtonOk");
    });
    EXPECT_EQ(w.S().Profile().SkinIniFile, "noskin.ini");
}
