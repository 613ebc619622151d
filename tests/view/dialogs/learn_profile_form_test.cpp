// "Узнать по игре..." on the settings' recognition page: the game's last lines, as the relay kept
// them, learnt and shown beside what the page holds; accepted into the page's fields, or not.

#include "config_form_fixture.h"

#include "files/SessionFile.h"
#include "relay/Relay.h"
#include "view/dialogs/LearnProfileForm.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace {

// A ROM game walked a little: no colour, lines ended LF CR, "[Exits: ...]", a prompt without
// IAC GA, a refused move.
void PlayRom(app::Session& s) {
    auto room = [](const std::string& name, const std::string& exits) {
        return name + "\n\r  A road leads north and south.\n\r\n\r[Exits: " + exits +
               "]\n\r\n\r<20hp 90mv> ";
    };
    const std::pair<char, std::string> records[] = {
        {'S', "Welcome!\n\r<20hp 90mv> "},
        {'C', "l\r\n"},
        {'S', room("Street A", "north east")},
        {'C', "e\r\n"},
        {'S', room("Street B", "south west")},
        {'C', "s\r\n"},
        {'S', room("Street C", "north")},
        {'C', "s\r\n"},
        {'S', "Alas, you cannot go that way.\n\r\n\r<20hp 90mv> "},
        {'C', "n\r\n"},
        {'S', room("Street B", "south west")},
    };
    for (const auto& [kind, bytes] : records)
        s.Relay().Replay({kind, 0, bytes});
}

// Runs `body` on the proposal once "Узнать по игре..." opens it.
void WithProposal(view::TConfigForm& config,
                  const std::function<void(view::TLearnProfileForm&)>& body) {
    config.Pages()->setCurrentIndex(2);
    WithModal<view::TLearnProfileForm>([&] { Click(config, "btnLearn"); }, body);
}

QString Cell(QTableWidget* t, const QString& what, int column) {
    for (int r = 0; r < t->rowCount(); ++r)
        if (t->item(r, 0)->text() == what) return t->item(r, column)->text();
    return "(no row " + what + ")";
}

TEST(LearnProfileForm, TheGamesLastLinesFillTheRecognitionPageWhenAccepted) {
    Window w;
    PlayRom(w.S());
    WithConfig(w, [&](view::TConfigForm& d) {
        WithProposal(d, [](view::TLearnProfileForm& f) {
            QTableWidget* v = f.Values();
            EXPECT_EQ(Cell(v, "Строка выходов: начало", 1), "#$1B[36m[ Exits:");
            EXPECT_EQ(Cell(v, "Строка выходов: начало", 2), "[Exits:");
            EXPECT_EQ(Cell(v, "Имя комнаты: начало", 2), "mv> ");
            EXPECT_EQ(Cell(v, "Имя комнаты: конец", 2), "#$0A#$0D");
            EXPECT_EQ(Cell(v, "Слова выходов: с, ю, в, з, вверх, вниз", 2),
                      "north  south  east  west  up  down");
            EXPECT_EQ(Cell(v, "Движение невозможно", 2), "Alas, you cannot go that way.");
            EXPECT_TRUE(v->item(0, 2)->font().bold());
            // The rooms recognition finds with the proposal: every one the player saw.
            ASSERT_EQ(f.Rooms()->count(), 4);
            EXPECT_EQ(f.Rooms()->item(0)->text(), "Street A    [north east]");
            EXPECT_EQ(f.Rooms()->item(3)->text(), "Street B    [south west]");
            // Up and down were never seen: said, not hidden.
            bool told = false;
            for (int i = 0; i < f.Remarks()->count(); ++i)
                told = told || f.Remarks()->item(i)->text().contains("«up»");
            EXPECT_TRUE(told);
            if (const char* dir = std::getenv("QUARVELIN_SHOTS")) {
                QApplication::processEvents();
                f.grab().save(QString(dir) + "/learn-profile.png");
                QProcess::execute("import", {"-window", "root", QString(dir) + "/screen.png"});
            }
            f.AcceptButton()->click();
        });
        EXPECT_EQ(Field(d, "EditAutoexit1")->text(), "[Exits:");
        EXPECT_EQ(Field(d, "EditAutoexit2")->text(), "]#$0A#$0D");
        EXPECT_EQ(Field(d, "EditRoom1")->text(), "mv> ");
        EXPECT_EQ(Field(d, "EditEW")->text(), "west");
        EXPECT_EQ(Field(d, "EditLook")->text(), "l");
        EXPECT_TRUE(Field<QPlainTextEdit>(d, "MemoCantMove")
                        ->toPlainText()
                        .contains("Alas, you cannot go that way."));
        Click(d, "ButtonOk");
    });
    EXPECT_EQ(w.S().Profile().AutoexitStartDecoded, "[Exits:");
    EXPECT_NE(
        TempDir::Read(w.dir.path() / "Maps" / "W" / "local.ini").find("AutoexitStart=[Exits:\r\n"),
        std::string::npos);
}

TEST(LearnProfileForm, CancelLeavesThePageAndNothingLearntCannotBeAccepted) {
    Window w;
    WithConfig(w, [&](view::TConfigForm& d) {
        // Nothing has passed the relay yet.
        WithProposal(d, [](view::TLearnProfileForm& f) {
            EXPECT_FALSE(f.AcceptButton()->isEnabled());
            ASSERT_GE(f.Remarks()->count(), 1);
            EXPECT_TRUE(f.Remarks()->item(0)->text().startsWith("Игра не ответила"));
            EXPECT_EQ(f.Values()->rowCount(), 0);
        });
        EXPECT_EQ(Field(d, "EditAutoexit1")->text(), "#$1B[36m[ Exits:");
    });
    PlayRom(w.S());
    WithConfig(w, [&](view::TConfigForm& d) {
        WithProposal(d, [](view::TLearnProfileForm& f) {
            EXPECT_TRUE(f.AcceptButton()->isEnabled());
            f.reject();
        });
        EXPECT_EQ(Field(d, "EditAutoexit1")->text(), "#$1B[36m[ Exits:");
        EXPECT_EQ(Field(d, "EditRoom1")->text(), "#$1B[1;36m");
    });
}

} // namespace
