// The object base through the headless program with a scripted game server: a lore report the
// game prints is filed and announced, a group tell from another player is filed, the client's
// item search answers from the base, and everything is in "objects.dat" after shutdown. Tracing
// stays off the whole time.

#include "E2eSupport.h"
#include "files/ObjectTree.h"
#include "support/FakePeers.h"

#include <gtest/gtest.h>

namespace {

std::string W(const char* utf8) {
    return text::FromUnicode(QString::fromUtf8(utf8));
}

const char kLore[] = "Вы узнали следующее:\r\n"
                     "Предмет \"длинный меч\", тип : ОРУЖИЕ\r\n"
                     "Вес: 12, Цена: 150, Рента: 30(50)\r\n"
                     "Материал : ЖЕЛЕЗО\r\n";

} // namespace

TEST(ObjectsE2e, ReportsAndTellsAreFiledWithTracingOff) {
    TempDir dir;
    FakeGameServer game;
    const quint16 clientPort = FreePort();
    WriteGameProfile(dir.path() / "Maps" / "Мир" / "local.ini", clientPort, game.port(),
                     "[Messages]\r\nStuffTem=" +
                         W("Вы узнали следующее:#$0D#$0AПредмет \"/$\", тип : "
                           "/$#$0D#$0A//Материал : /$#$0D#$0A") +
                         "\r\nStuffSeq=2,1\r\n");
    QProcess quarvelin;
    std::string output;
    ASSERT_TRUE(StartHeadless(quarvelin, dir.path(), QString::fromUtf8("Мир"), output)) << output;
    FakeClient client(clientPort);
    ASSERT_TRUE(client.WaitConnected());
    ASSERT_TRUE(WaitFor([&] { return game.last() != nullptr; })) << "never connected to the game";

    // The player's lore request answered by the game, with the prompt after it.
    game.Send(W(kLore) + "\r\n> ");
    ASSERT_TRUE(client.WaitReceived(W("Item added: Предметы\\ОРУЖИЕ\\длинный меч")))
        << client.received;
    // Filing takes the report out of the tracked text only: the client sees what the game sent.
    EXPECT_NE(client.received.find(W("Материал : ЖЕЛЕЗО")), std::string::npos);

    // Another player's group tell, each line closed by the game's quote.
    const std::string says = W("Вася сообщил группе : '->>");
    game.Send(says + "Quarvelin objecs base <begin> (v.2)'\r\n" + says + W("Оружие.Мечи.короткий") +
              "'\r\n" + says + W("Вес: 3") + "'\r\n" + says +
              "Quarvelin objecs base <end> (v.2)'\r\n> ");
    ASSERT_TRUE(client.WaitReceived(W("Item added: Оружие\\Мечи\\короткий"))) << client.received;

    // The client's item search answers from the base and is not sent to the game: "длинный
    // меч", and for "Мечи", which has no report, its only child.
    client.Send(W("лор *меч") + "\r\n");
    ASSERT_TRUE(client.WaitReceived("2 item(s) found")) << client.received;
    EXPECT_NE(client.received.find(W("Вы узнали следующее:") + "\r\n"), std::string::npos);
    Pump(200);
    EXPECT_EQ(game.received.find(W("лор")), std::string::npos);

    quarvelin.terminate();
    ASSERT_TRUE(quarvelin.waitForFinished(20000));
    EXPECT_EQ(quarvelin.exitCode(), 0) << quarvelin.readAll().toStdString();

    storage::ObjectTree tree;
    ASSERT_TRUE(
        storage::ReadObjects(TempDir::Read(dir.path() / "Maps" / "Мир" / "objects.dat"), tree)
            .ok());
    std::vector<std::string> keys;
    tree.ForEach([&](storage::ObjectNode* n) {
        if (n->HasText()) keys.push_back(storage::ObjectTree::Key(n));
    });
    EXPECT_EQ(keys, (std::vector<std::string>{W("Предметы.ОРУЖИЕ.длинный меч"),
                                              W("Оружие.Мечи.короткий")}));
    tree.ForEach([&](storage::ObjectNode* n) {
        if (n->Title() != W("длинный меч")) return;
        EXPECT_EQ(n->Text(), (std::vector<std::string>{W("Вы узнали следующее:"),
                                                       W("Предмет \"длинный меч\", тип : ОРУЖИЕ"),
                                                       W("Вес: 12, Цена: 150, Рента: 30(50)"),
                                                       W("Материал : ЖЕЛЕЗО")}));
    });
}
