#include "text/ByteSearch.h"
#include "text/Cp1251.h"
#include "text/Text.h"

#include <gtest/gtest.h>

#include <random>

using namespace text;

TEST(Text, TrimRemovesControlBytesAndBlanksOnly) {
    EXPECT_EQ(Trim("\t\r\n  a b \x01\x1f"), "a b");
    EXPECT_EQ(Trim("\xFF\xFF"), "\xFF\xFF"); // "яя" is text, not blank
    EXPECT_EQ(Trim(""), "");
}

TEST(Text, DecodeEscapesOnlyUpperCaseHex) {
    EXPECT_EQ(DecodeEscapes("#$1B[36m[ Exits:"), "\x1b[36m[ Exits:");
    EXPECT_EQ(DecodeEscapes("]#$0D#$0A"), "]\r\n");
    EXPECT_EQ(DecodeEscapes("#$1b"), "#$1b");
    EXPECT_EQ(DecodeEscapes("abc#$"), "abc#$");
    EXPECT_EQ(DecodeEscapes("#$1"), "#$1");
    EXPECT_EQ(DecodeEscapes("#$#$FF"), "#$\xFF");
    EXPECT_EQ(DecodeEscapes("#$00x"), std::string("\0x", 2));
}

TEST(Text, StripAnsiRemovesUpToFirstM) {
    EXPECT_EQ(StripAnsi("\x1b[1;36mRoom\x1b[0;37m\r\n"), "Room\r\n");
    EXPECT_EQ(StripAnsi("a\x1b[1;31"), "a\x1b[1;31"); // unterminated stays
    EXPECT_EQ(StripAnsi("\x1b[0mx\x1b[1;3"), "x\x1b[1;3");
    EXPECT_EQ(StripAnsi("\x1b[ham"), "");               // up to the first m
    EXPECT_EQ(StripAnsi("\x1bm plain"), "\x1bm plain"); // ESC without [
}

TEST(Text, ReplaceAllExactAndCaseless) {
    EXPECT_EQ(ReplaceAll("aXbXc", "X", "--"), "a--b--c");
    EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceAll("abc", "", "z"), "abc");
    // "Дом" and "ДОМ" in Windows-1251
    EXPECT_EQ(ReplaceAllIgnoreCase("\xC4\xEE\xEC x \xC4\xCE\xCC", "\xE4\xEE\xEC", "1"), "1 x 1");
    EXPECT_EQ(ReplaceAllIgnoreCase("Ab ab AB", "ab", "c"), "c c c");
}

TEST(Text, GetFieldCountsFromOne) {
    EXPECT_EQ(GetField("zone|n|12|cmd|1", 1), "zone");
    EXPECT_EQ(GetField("zone|n|12|cmd|1", 5), "1");
    EXPECT_EQ(GetField("zone|n", 3), "");
    EXPECT_EQ(GetField("a||c", 2), "");
    EXPECT_EQ(GetField("a||c", 3), "c");
    EXPECT_EQ(GetField("abc", 0), "");
}

TEST(Text, CaseFoldingLatinVersusCyrillic) {
    EXPECT_EQ(LowerLatin("NeS\xC4"), "nes\xC4");
    EXPECT_EQ(LowerCp1251("NeS\xC4\xA8\xDF"), "nes\xE4\xB8\xFF"); // Д Ё Я
    EXPECT_TRUE(EqualsIgnoreCaseCp1251("\xC7\xEE\xED\xE0", "\xE7\xCE\xCD\xC0"));
    EXPECT_EQ(FindLatin("N (S) e", "E", true), 6u);
    EXPECT_EQ(FindLatin("N (S) e", "E", false), std::string::npos);
    EXPECT_EQ(FindLatin("N", "", true), std::string::npos);
}

TEST(Text, ParseIntAcceptsWhatIniFilesHold) {
    long long v = 0;
    EXPECT_TRUE(ParseInt(" 42 ", v));
    EXPECT_EQ(v, 42);
    EXPECT_TRUE(ParseInt("-7", v));
    EXPECT_EQ(v, -7);
    EXPECT_TRUE(ParseInt("$808080", v));
    EXPECT_EQ(v, 8421504);
    EXPECT_FALSE(ParseInt("12a", v));
    EXPECT_FALSE(ParseInt("", v));
    EXPECT_FALSE(ParseInt("-", v));
}

TEST(Text, Cp1251RoundTripAtTheUiEdge) {
    const std::string bytes = "\xD2\xE5\xF1\xF2 \xFF\xA8"; // "Тест яЁ"
    QString u = ToUnicode(bytes);
    EXPECT_EQ(u, QString::fromUtf8("Тест яЁ"));
    bool ok = false;
    EXPECT_EQ(FromUnicode(u, &ok), bytes);
    EXPECT_TRUE(ok);
    EXPECT_EQ(FromUnicode(QString::fromUtf8("a日本"), &ok), "a??");
    EXPECT_FALSE(ok);
    // Without asking, the text is the same: never a NUL byte for a character that has no byte.
    EXPECT_EQ(FromUnicode(QString::fromUtf8("a日本")), "a??");
}

TEST(Text, DescriptionNormalisation) {
    EXPECT_EQ(NormaliseDescription("\r\na\r\n\r\nb\r\r\nc\n\nd\r\n\r\n\r"), "a\r\nb\r\nc\nd");
    EXPECT_EQ(NormaliseDescription("x\n\ry"), "x\r\ny");
    EXPECT_EQ(NormaliseDescription("\r\n\r\n"), "");
    EXPECT_EQ(NormaliseDescription("one\r\ntwo"), "one\r\ntwo");
}

TEST(Text, NormalisedDescriptionStaysAsItIs) {
    // Turning LF CR round makes a new doubled break; a description stored after one round
    // would read back different and no longer match the room the game prints.
    EXPECT_EQ(NormaliseDescription("a\n\r\n\nb"), "a\r\nb");
    EXPECT_EQ(NormaliseDescription("a\n\r\n\r\n\rb"), "a\r\nb");
    for (const char* s : {"a\n\r\n\nb", "\n\r\r\n\n\rx\n\r\n", "x\r\n\r\r\n\n\r\n\ry"}) {
        const std::string once = NormaliseDescription(s);
        EXPECT_EQ(NormaliseDescription(once), once) << s;
    }
}

// The search by blocks (16, 32 and 64 bytes) finds what std::string_view::find finds, on a small
// alphabet (so that near misses abound), with 0xFF and NUL bytes, needles of every length up to
// past the hay, from every offset, hits at either end of each block.
TEST(Text, FindBytesAgreesWithTheStandardSearch) {
    std::mt19937 rng(7);
    struct WidestAgain { // also when an assertion ends the test
        ~WidestAgain() { text::CapVectorWidth(text::VectorWidth::Avx512); }
    } widestAgain;
    const char alphabet[] = {'a', 'b', '\xFF', '\0'};
    auto random = [&](std::size_t n) {
        std::string s(n, 'a');
        for (char& c : s)
            c = alphabet[rng() % 4];
        return s;
    };
    for (int round = 0; round < 6000; ++round) {
        // Each width in turn (as wide as this processor goes).
        text::CapVectorWidth(static_cast<text::VectorWidth>(round % 3));
        const std::string hay = random(rng() % 300);
        std::string needle = random(rng() % 8);
        if (!hay.empty() && rng() % 2 && needle.size() <= hay.size()) {
            // Often a piece of the hay itself, so that there is something to find.
            const std::size_t at = rng() % (hay.size() - needle.size() + 1);
            needle = hay.substr(at, needle.size());
        }
        for (std::size_t from = 0; from <= hay.size() + 1; ++from)
            ASSERT_EQ(text::FindBytes(hay, needle, from), std::string_view(hay).find(needle, from))
                << round << " from " << from;
    }
    text::CapVectorWidth(text::VectorWidth::Avx512);
    const std::string russian(100000, '\xE0');
    EXPECT_EQ(text::FindBytes(russian + "\xC2\xFB \xF3\xE7", "\xC2\xFB \xF3\xE7"), 100000u);
}
