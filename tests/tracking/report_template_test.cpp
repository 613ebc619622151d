#include "text/Cp1251.h"
#include "tracking/ReportTemplate.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

using text::W;
using tracking::Match;
using Fields = std::vector<std::string>;

namespace {

struct FakeSink : tracking::ReportSink {
    struct Call {
        std::string root;
        Fields titles, lines;
    };
    std::vector<Call> filed;
    std::vector<std::string> sent;
    std::vector<std::string> withText; // display names that hold a text, to answer "replaced"

    Filed FileReport(const std::string& root, const Fields& titles, const Fields& lines) override {
        filed.push_back({root, titles, lines});
        Filed f{root, false};
        for (const auto& t : titles)
            if (!t.empty()) f.displayName += "\\" + t;
        for (const auto& n : withText)
            f.replaced = f.replaced || n == f.displayName;
        withText.push_back(f.displayName);
        return f;
    }
    void SendToClient(const std::string& bytes) override { sent.push_back(bytes); }
};

std::string Announce(const std::string& message) {
    return "\r\n\x1b[1;32m" + message + "\x1b[0m\r\n\r\n";
}

// An item report as the game prints it when the player examines a sword.
std::string SwordReport() {
    return W("Вы узнали следующее:\r\n") + W("Предмет \"\x1b[1;33mдлинный меч\x1b[0m\", тип : ") +
           W("ОРУЖИЕ\r\nМожет быть использован как: оружие.\r\nВес : 5, Цена : 120\r\n");
}

profile::WorldProfile ItemProfile() {
    profile::WorldProfile p;
    p.StuffTem = W("Вы узнали следующее:\r\nПредмет \"/$\", тип : /$\r\n//Вес : /$, Цена : /$\r\n");
    p.StuffSeq = "2,1";
    return p;
}

} // namespace

TEST(ReportTemplate, LinesCapturesAndOptionalLiterals) {
    // A first line, a break, then a capture up to a literal on the next line.
    std::string text = W("Вы узнали следующее:\r\nдлинный меч\", тип") + "\r\nrest";
    Fields fields;
    EXPECT_EQ(Match(text, W("Вы узнали следующее:") + "\r\n/$\"", fields), 34u);
    EXPECT_EQ(fields, Fields{W("длинный меч")});
    EXPECT_EQ(text, W(", тип") + "\r\nrest");

    // An absent optional literal gives "" and matching goes on from the same place.
    for (const std::string with : {"", "(cursed) "}) {
        std::string s = with + "sword, sharp";
        fields.clear();
        EXPECT_EQ(Match(s, "/+(cursed) /$, /$p", fields), with.size() + 12);
        EXPECT_EQ(fields, (Fields{with, "sword", "shar"}));
    }

    // A literal on a later line is found only after "//"; after a matched break the next line
    // is the current one.
    text = "Name: orc\r\nLevel: 5\r\n";
    fields.clear();
    EXPECT_EQ(Match(text, "Name: /*Level: /$\r\n", fields), 0u);
    EXPECT_TRUE(fields.empty());
    EXPECT_EQ(text, "Name: orc\r\nLevel: 5\r\n");
    EXPECT_EQ(Match(text, "Name: /$\r\nLevel", fields), 16u);
    text = "Name: orc\r\nLevel: 5\r\n";
    EXPECT_EQ(Match(text, "Name: //Level: /$\r\n", fields), 21u);
    EXPECT_EQ(fields, (Fields{"orc", "5"}));
}

TEST(ReportTemplate, AlternativesTakeTheFirstThatFits) {
    Fields fields;
    std::string text = "Size: huge\r\nrest";
    EXPECT_EQ(Match(text, "Size: [[small][/$\r\n]]", fields), 12u);
    EXPECT_EQ(fields, Fields{"huge"});

    // Captures of an alternative that failed halfway do not shift later field numbers.
    text = "a=1;b=2\r\n";
    fields.clear();
    EXPECT_EQ(Match(text, "[[a=/$;/*c=][a=/$;]]b=/$\r\n", fields), 9u);
    EXPECT_EQ(fields, (Fields{"1", "2"}));

    // No alternative fits, the group is never closed, or it is empty: no match.
    text = "Size: huge";
    for (const char* t : {"Size: [[small][tiny]]", "Size: [[huge", "Size: [[]]", "/$/*"})
        EXPECT_EQ(Match(text, t, fields), 0u) << t;
    EXPECT_EQ(text, "Size: huge");
}

TEST(ReportTemplate, HeadIsTheLiteralStart) {
    using tracking::TemplateHead;
    EXPECT_EQ(TemplateHead("Name\r\nKind \"/$\""), "Name\r\nKind \"");
    EXPECT_EQ(TemplateHead("[[a]]b/*"), "");
    // The game never prints "//" or "/+", so they end the head too; no token: all head.
    EXPECT_EQ(TemplateHead("Name\r\n//Weight"), "Name\r\n");
    EXPECT_EQ(TemplateHead("Name\r\n"), "Name\r\n");
}

TEST(CaptureReports, FilesAnItemThenReplacesIt) {
    profile::WorldProfile p = ItemProfile();
    FakeSink sink;
    const std::string before = W("лор меч\r\n");
    const std::string after = W("Вы положили меч в сумку.\r\n> ");
    std::string pending = before + SwordReport() + after;
    tracking::CaptureReports(pending, p, sink);

    ASSERT_EQ(sink.filed.size(), 1u);
    EXPECT_EQ(sink.filed[0].root, W("Предметы"));
    EXPECT_EQ(sink.filed[0].titles, (Fields{W("ОРУЖИЕ"), W("длинный меч")})); // rule "2,1"
    EXPECT_EQ(sink.filed[0].lines,
              (Fields{W("Вы узнали следующее:"), W("Предмет \"длинный меч\", тип : ОРУЖИЕ"),
                      W("Может быть использован как: оружие."), W("Вес : 5, Цена : 120")}));
    EXPECT_EQ(pending, before + after); // the break before the report stays
    ASSERT_EQ(sink.sent.size(), 1u);
    EXPECT_EQ(sink.sent[0], Announce("Item added: " + W("Предметы\\ОРУЖИЕ\\длинный меч")));

    pending = before + SwordReport() + after;
    tracking::CaptureReports(pending, p, sink);
    ASSERT_EQ(sink.sent.size(), 2u);
    EXPECT_EQ(sink.sent[1], Announce("Item replaced: " + W("Предметы\\ОРУЖИЕ\\длинный меч")));

    // "я" (0xFF) in a name is doubled for the client unless AddDoubleYaLor is off.
    p.StuffSeq = "1";
    for (bool doubled : {true, false}) {
        p.AddDoubleYaLor = doubled;
        pending = W("\r\nВы узнали следующее:\r\nПредмет \"ярлык\", тип : СВИТОК\r\n") +
                  W("Вес : 1, Цена : 3\r\n>");
        tracking::CaptureReports(pending, p, sink);
    }
    ASSERT_EQ(sink.sent.size(), 4u);
    EXPECT_EQ(sink.sent[2], Announce("Item added: " + W("Предметы\\") + "\xFF\xFF" + W("рлык")));
    EXPECT_EQ(sink.sent[3], Announce("Item replaced: " + W("Предметы\\ярлык")));
}

TEST(CaptureReports, ItemsThenCreaturesBeforeTheExitLine) {
    profile::WorldProfile p = ItemProfile();
    p.MobTem = "#$1B[1;31m/$#$1B[0m" + W(" стоит здесь.") + "\r\n";
    p.MobSeq = "1";
    FakeSink sink;
    const std::string mob = "\x1b[1;31m" + W("Злой орк") + "\x1b[0m" + W(" стоит здесь.\r\n");
    const std::string exits = "\x1b[36m[ Exits: N ]\r\n";
    std::string pending = "\r\n" + SwordReport() + mob + exits + "> ";
    tracking::CaptureReports(pending, p, sink);
    ASSERT_EQ(sink.filed.size(), 2u);
    EXPECT_EQ(sink.filed[1].root, W("Мобы"));
    EXPECT_EQ(sink.filed[1].titles, Fields{W("Злой орк")});
    EXPECT_EQ(sink.filed[1].lines, Fields{W("Злой орк стоит здесь.")});
    EXPECT_EQ(pending, "\r\n" + exits + "> ");

    // A report printed after the room's exit line waits for a later pass.
    pending = "\r\n" + exits + SwordReport() + mob;
    const std::string unchanged = pending;
    tracking::CaptureReports(pending, p, sink);
    EXPECT_EQ(pending, unchanged);
    EXPECT_EQ(sink.filed.size(), 2u);
}

TEST(CaptureReports, ReportCutByTheEndOfAReadWaitsForTheRest) {
    profile::WorldProfile p = ItemProfile();
    FakeSink sink;
    const std::string report = SwordReport();
    const size_t cut = report.find(W("Может")); // the read ends after the second line
    std::string pending = "\r\n" + report.substr(0, cut);
    tracking::CaptureReports(pending, p, sink);
    EXPECT_TRUE(sink.filed.empty());
    pending += report.substr(cut) + "> ";
    tracking::CaptureReports(pending, p, sink);
    ASSERT_EQ(sink.filed.size(), 1u);
    EXPECT_EQ(sink.filed[0].lines.size(), 4u);
    EXPECT_EQ(pending, "\r\n> ");

    // Match itself counts a template cut short by the text as matched up to its end.
    std::string text = "Name: orc\r\n";
    Fields fields;
    EXPECT_EQ(Match(text, "Name: /$\r\nLevel: /$\r\n", fields), 11u);
}

TEST(CaptureReports, PathRules) {
    profile::WorldProfile p = ItemProfile();
    FakeSink sink;
    const auto titlesFor = [&](const std::string& rule) {
        p.StuffSeq = rule;
        std::string pending = "\r\n" + SwordReport();
        tracking::CaptureReports(pending, p, sink);
        return sink.filed.back().titles;
    };
    // Numbers past the field count (or below 1) are skipped; 0 or an empty entry ends the rule.
    EXPECT_EQ(titlesFor(" 2, 9,-1,1"), (Fields{W("ОРУЖИЕ"), W("длинный меч")}));
    EXPECT_EQ(titlesFor("3,0,1"), Fields{"5"});
    EXPECT_EQ(titlesFor("4,,1"), Fields{"120"});
    EXPECT_EQ(titlesFor(""), Fields{});

    p.StuffSeq = "2,x1";
    std::string pending = "\r\n" + SwordReport();
    const size_t filed = sink.filed.size();
    try {
        tracking::CaptureReports(pending, p, sink);
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "'x1' is not a valid integer value");
    }
    EXPECT_EQ(sink.filed.size(), filed);
    EXPECT_EQ(pending, "\r\n" + SwordReport());
}

TEST(ReportTemplate, HostileTemplatesEnd) {
    std::mt19937 rng(20240611);
    const char* parts[] = {"\r\n", "/*", "//", "/$", "/+", "[[", "][", "]]", "[",
                           "]",    "/",  "a",  "b",  "ab", "\r", "\n", " ",  "\xFF"};
    const auto pick = [&](int count) {
        std::string s;
        for (int i = 0; i < count; ++i)
            s += parts[rng() % std::size(parts)];
        return s;
    };
    for (int round = 0; round < 400; ++round) {
        const std::string tmpl = pick(static_cast<int>(rng() % 24));
        const std::string original = pick(static_cast<int>(rng() % 60));
        std::string textVar = original;
        Fields fields;
        const size_t n = Match(textVar, tmpl, fields);
        ASSERT_LE(n, original.size()) << tmpl;
        EXPECT_EQ(textVar, original.substr(n));
        EXPECT_LE(fields.size(), tmpl.size() / 2);
    }

    // Deep nesting and a large pending text with a junk path rule.
    std::string big(64 * 1024, 'x');
    for (size_t i = 0; i < big.size(); i += 80)
        big.replace(i, 2, "\r\n");
    Fields fields;
    std::string textVar = big;
    EXPECT_EQ(Match(textVar, std::string(20000, '[') + "x" + std::string(20000, ']'), fields), 0u);
    EXPECT_EQ(Match(textVar, "]]x][x]]", fields), 0u);
    profile::WorldProfile p;
    p.StuffTem = "[[/$][\r\n]]//x/$\r\n";
    p.StuffSeq = "1,99999999999999999999";
    FakeSink sink;
    EXPECT_THROW(tracking::CaptureReports(big, p, sink), std::runtime_error);
    EXPECT_EQ(big.size(), 64u * 1024);
}
