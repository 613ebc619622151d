// The object base: its file, the tell exchange, filing reports, and the searches.

#include "support/FakeWorldUi.h"
#include "text/Cp1251.h"
#include "text/Text.h"
#include "world/ObjectBase.h"

#include <gtest/gtest.h>

namespace {

using storage::ObjectNode;
using text::W;
using Lines = std::vector<std::string>;

struct Wire : storage::ObjectBaseHost {
    std::string client, server;
    bool connected = true;
    void SendToClient(const std::string& b) override { client += b; }
    void SendToServer(const std::string& b) override { server += b; }
    bool ServerConnected() const override { return connected; }
};

struct Base : WorldEnv {
    Wire wire;
    storage::ObjectBase base{profile, language, ui, wire, "1.0"};
    Base() { base.SetFile(dir.path() / "objects.dat"); }
    ObjectNode* Path(std::initializer_list<std::string> titles) {
        ObjectNode* n = nullptr;
        for (const auto& t : titles) {
            ObjectNode* next = nullptr;
            const auto& kids = n ? n->Children() : base.Tree().Roots();
            for (const auto& c : kids)
                if (c->Title() == t) next = c.get();
            if (!next) return nullptr;
            n = next;
        }
        return n;
    }
    void Receive(const Lines& lines, const std::string& after = "'") {
        base.ReceiveLine("->>" + std::string(storage::ObjectBase::kBegin) + after);
        for (const auto& l : lines)
            base.ReceiveLine("->>" + l + after);
        base.ReceiveLine("->>" + std::string(storage::ObjectBase::kEnd) + after);
    }
};

TEST(ObjectFile, WritesRecordsInTreeOrderAndReadsThemBack) {
    storage::ObjectTree tree;
    ObjectNode* items = tree.Add(nullptr, W("Предметы"));
    tree.Add(items, W("меч"))->TextList() = Lines{"line 1", "line 2"};
    tree.Add(items, "empty");
    tree.Add(nullptr, W("Мобы"))->TextList() = Lines{};
    const std::string bytes = "<Quarvelin v. 1.0>\r\n"
                              "<node>\r\n" +
                              W("Предметы") +
                              "\r\n0\r\n<end node>\r\n"
                              "<node>\r\n" +
                              W("меч") +
                              "\r\n1\r\nline 1\r\nline 2\r\n<end node>\r\n"
                              "<node>\r\nempty\r\n1\r\n<end node>\r\n"
                              "<node>\r\n" +
                              W("Мобы") + "\r\n0\r\n<end node>\r\n";
    EXPECT_EQ(storage::WriteObjects(tree, "1.0"), bytes);

    storage::ObjectTree back;
    EXPECT_TRUE(storage::ReadObjects(bytes, back).ok());
    EXPECT_EQ(storage::WriteObjects(back, "1.0"), bytes);
    // A record without text lines gets no text.
    EXPECT_FALSE(back.Roots()[0]->Children()[1]->HasText());
}

TEST(ObjectFile, LenientReadingMergesAndStopsAtABadLevel) {
    storage::ObjectTree tree;
    tree.Add(nullptr, W("Предметы"));
    const std::string file = "junk before\r\n"
                             "<node>\r\n" +
                             W("ПРЕДМЕТЫ") +
                             "\r\n0\r\n<end node>\r\n"
                             "<node>\r\nA\r\n2\r\ntext\r\nmore <end node> trailing\r\n"
                             "<node>\r\na\r\n1\r\n<end node>\r\n"
                             "<node>\r\nB\r\nx\r\n<end node>\r\n"
                             "<node>\r\nC\r\n0\r\n<end node>\r\n";
    storage::ObjectReadResult r = storage::ReadObjects(file, tree);
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.error.find("'x'"), std::string::npos) << r.error;
    EXPECT_EQ(r.records, 3u);
    // Level 0 in another letter case (Cyrillic) files under the existing node; level 2 right
    // after level 0 is a direct child; at deeper levels case makes a new sibling.
    ASSERT_EQ(tree.Roots().size(), 1u);
    const auto& kids = tree.Roots()[0]->Children();
    ASSERT_EQ(kids.size(), 2u);
    EXPECT_EQ(kids[0]->Title(), "A");
    EXPECT_EQ(kids[0]->Text(), Lines{"text"});
    EXPECT_EQ(kids[1]->Title(), "a");
    // A text that runs to the end of the file ends there.
    storage::ObjectTree cut;
    EXPECT_TRUE(storage::ReadObjects("<node>\r\nZ\r\n0\r\nlast", cut).ok());
    EXPECT_EQ(cut.Roots()[0]->Text(), Lines{"last"});
}

TEST(ObjectBase, SaveReloadAndTheTwoFlags) {
    Base b;
    ObjectNode* n = b.base.Tree().Add(nullptr, "N");
    b.base.Select(n);
    b.base.EditPane({"edited"});
    EXPECT_TRUE(b.base.UnchangedSinceLoad());
    b.base.StorePane();
    EXPECT_TRUE(b.base.Unsaved());
    EXPECT_FALSE(b.base.UnchangedSinceLoad());
    ASSERT_TRUE(b.base.SaveIfChanged());
    EXPECT_FALSE(b.base.Unsaved());
    EXPECT_FALSE(b.base.UnchangedSinceLoad()); // saving does not touch it
    // Closing asks; Yes saves.
    b.ui.answers = {storage::Answer::Yes};
    b.base.AskSaveOnClose();
    EXPECT_EQ(b.ui.questions.size(), 1u);

    b.base.Tree().Add(nullptr, "dropped");
    b.base.tbDiscardClick();
    EXPECT_TRUE(b.base.UnchangedSinceLoad());
    EXPECT_EQ(b.base.Tree().Count(), 1u);
    EXPECT_EQ(b.base.Tree().Roots()[0]->Text(), Lines{"edited"});

    // A file that cannot be written keeps the changes marked.
    b.base.SetFile(b.dir.path() / "objects.dat" / "sub");
    b.base.Select(b.base.Tree().Roots()[0].get());
    b.base.EditPane({"again"});
    EXPECT_FALSE(b.base.tbSaveObjectsClick());
    EXPECT_TRUE(b.base.Unsaved());
    EXPECT_EQ(b.ui.log.size(), 1u);
    // The player is told, with the file, once until a save works again.
    ASSERT_EQ(b.ui.errors.size(), 1u);
    EXPECT_EQ(b.ui.errors[0].rfind(W("Не удалось сохранить базу объектов <"), 0), 0u)
        << b.ui.errors[0];
    EXPECT_NE(b.ui.errors[0].find("objects.dat"), std::string::npos);
    EXPECT_FALSE(b.base.SaveIfChanged());
    EXPECT_EQ(b.ui.errors.size(), 1u);
    b.base.SetFile(b.dir.path() / "objects.dat");
    EXPECT_TRUE(b.base.SaveIfChanged());
    b.base.SetFile(b.dir.path() / "objects.dat" / "sub");
    b.base.EditPane({"once more"});
    EXPECT_FALSE(b.base.tbSaveObjectsClick());
    EXPECT_EQ(b.ui.errors.size(), 2u);
}

TEST(ObjectBase, EditingTheTreeIsSavedWithTheWorld) {
    Base b;
    ObjectNode* keep = b.base.Tree().Add(nullptr, "keep");
    b.base.Tree().Add(nullptr, "gone");
    ASSERT_TRUE(b.base.tbSaveObjectsClick());
    b.base.tbDiscardClick();
    // Deleting a node is a change like an edited text: the world's save writes it and closing
    // asks about it.
    b.base.Select(b.base.Tree().Roots()[1].get());
    b.base.nDeleteNodeClick();
    EXPECT_TRUE(b.base.Unsaved());
    EXPECT_FALSE(b.base.UnchangedSinceLoad());
    ASSERT_TRUE(b.base.SaveIfChanged());
    b.base.tbDiscardClick();
    ASSERT_EQ(b.base.Tree().Count(), 1u);
    keep = b.base.Tree().Roots()[0].get();
    b.base.SetTitle(keep, "renamed");
    EXPECT_TRUE(b.base.Unsaved());
}

TEST(ObjectBase, TellsSendTheKeyAndLinesAndFileWhatArrives) {
    Base b;
    // AddDoubleYa is about the client: the game always gets "я" doubled, as telnet needs.
    ASSERT_FALSE(b.profile.AddDoubleYa);
    ObjectNode* sword = b.base.Tree().FindOrAdd(
        b.base.Tree().FindOrAdd(b.base.Tree().FindOrAdd(nullptr, W("Предметы")), "x.y"),
        W("меч я"));
    sword->TextList() = Lines{W("Вес: я")};
    b.base.Select(sword);
    b.base.nGroupTellClick();
    const std::string gg = W("гг") + " ->>";
    EXPECT_EQ(b.wire.server, gg + "Quarvelin objecs base <begin> (v.2)\r\n" + gg +
                                 W("Предметы.x.y.меч яя") + "\r\n" + gg + W("Вес: яя") + "\r\n" +
                                 gg + "Quarvelin objecs base <end> (v.2)\r\n");

    // A key of three titles files three levels deep; the tell's closing quote is cut.
    Base r;
    r.Receive({W("Оружие.Мечи..длинный"), "line 1", "line 2"});
    ObjectNode* filed = r.Path({W("Оружие"), W("Мечи"), W("длинный")});
    ASSERT_NE(filed, nullptr);
    EXPECT_EQ(filed->Text(), (Lines{"line 1", "line 2"}));
    EXPECT_EQ(r.wire.client,
              "\r\n\x1b[1;32mItem added: " + W("Оружие\\Мечи\\\\длинный") + "\x1b[0m\r\n\r\n");
    EXPECT_TRUE(r.base.Unsaved());
    EXPECT_FALSE(r.base.UnchangedSinceLoad());
    // The same item again: nothing to report. A different text replaces it.
    r.wire.client.clear();
    r.Receive({W("Оружие.Мечи..длинный"), "line 1", "line 2"});
    EXPECT_TRUE(r.wire.client.empty());
    r.Receive({W("оружие.Мечи.длинный"), "new"});
    EXPECT_EQ(filed->Text(), Lines{"new"});
    EXPECT_NE(r.wire.client.find("Item replaced"), std::string::npos);
    r.base.replaceLore = false;
    r.Receive({W("Оружие.Мечи.длинный"), "newer"});
    EXPECT_EQ(filed->Text(), Lines{"new"});
    // Lines without a begin banner are not taken.
    r.base.ReceiveLine("->>stray");
    EXPECT_FALSE(r.base.Receiving());
}

TEST(ObjectBase, FindNextAndReplaceAll) {
    Base b;
    ObjectNode* a = b.base.Tree().Add(nullptr, "A");
    a->TextList() = Lines{"first", W("вторая Строка")};
    ObjectNode* c = b.base.Tree().Add(a, "C");
    c->TextList() = Lines{W("строка")};
    auto m = b.base.FindNext(W("СТРОКА"));
    ASSERT_TRUE(m);
    EXPECT_EQ(m->node, a);
    EXPECT_EQ(m->line, 1u);
    EXPECT_EQ(m->start, 7u);
    EXPECT_EQ(m->offset, 5u + 2u + 7u);
    EXPECT_EQ(b.base.Shown(), a);
    m = b.base.FindNext(W("СТРОКА"));
    ASSERT_TRUE(m);
    EXPECT_EQ(m->node, c);
    EXPECT_FALSE(b.base.FindNext(W("СТРОКА")));
    EXPECT_EQ(b.ui.errors.back(), W("Строка не найдена: <СТРОКА>"));
    EXPECT_EQ(b.base.FindNext(W("СТРОКА"))->node, a); // from the start again

    // A letter replaced by itself doubled: both occurrences, not the copies, counted 2.
    c->TextList() = Lines{W("мама")};
    b.ui.answers = {storage::Answer::Yes};
    EXPECT_EQ(b.base.ReplaceAll(W("м"), W("мм")), 2u);
    EXPECT_EQ(c->Text(), Lines{W("ммамма")});
    EXPECT_TRUE(b.base.Unsaved());
    EXPECT_EQ(b.ui.errors.back(), W("Найдено и заменено вхождений: 2."));
    b.ui.answers = {storage::Answer::No};
    EXPECT_FALSE(b.base.ReplaceAll(W("м"), "x"));
    EXPECT_EQ(c->Text(), Lines{W("ммамма")});
}

TEST(ObjectBase, ItemSearchFromTheClient) {
    Base b;
    ObjectNode* items = b.base.Tree().Add(nullptr, W("Предметы"));
    ObjectNode* sword = b.base.Tree().Add(items, W("Длинный меч"));
    sword->TextList() = Lines{W("Вы узнали следующее:"), "a"};
    ObjectNode* group = b.base.Tree().Add(items, W("кольца"));
    b.base.Tree().Add(group, W("медное"))->TextList() = Lines{"ring"};
    const std::string head = "\r\n\x1b[1;32mDatabase search result:\x1b[0m\r\n\r\n";
    EXPECT_EQ(b.base.SearchForClient(W("*МЕЧ")),
              head + W("Вы узнали следующее:") +
                  "\r\na\r\n-----\r\n\r\n\x1b[1;32m1 item(s) found\x1b[0m\r\n\r\n");
    EXPECT_EQ(b.base.Selected(), sword);
    // A node without a report answers with its only child's.
    EXPECT_EQ(b.base.SearchForClient(W("КОЛЬ*")),
              head + "ring\r\n-----\r\n\r\n\x1b[1;32m1 item(s) found\x1b[0m\r\n\r\n");
    EXPECT_EQ(b.base.SearchForClient(W("меч")),
              "\r\n\x1b[1;31mDatabase search has no results\x1b[0m\r\n");
}

} // namespace
