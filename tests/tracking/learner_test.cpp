// Learning a profile from a short session of games of several shapes, and the proof that counts:
// tracking, with the learnt profile, maps a longer walk of the same game right.

#include "learner_shapes.h"
#include "tracking/ProfileLearner.h"
#include "tracking/RoomParser.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using tracking::LearnRemark;
using tracking::LearntProfile;

// What a player does before asking for a profile: a look, a few moves (two of them typed
// before the game answered the first), one of them refused.
ShapedSession ShortSession(const GameShape& shape, const GridGame& g) {
    ShapedSession s(shape, g, g.Find('A'));
    s.Look();
    s.Move('e');
    // Typed ahead: both lines go out in one block, the game answers them one by one.
    s.records.push_back({true, shape.Move('s') + "\r\n" + shape.Move('w') + "\r\n"});
    s.at = g.rooms[g.rooms[s.at].exits.at('s')].exits.at('w');
    s.Game(shape.Answer(shape.room(g, g.Find('E')), g, g.Find('E')) +
           shape.Answer(shape.room(g, s.at), g, s.at));
    s.Move('n');
    s.Move('n'); // A has no way north
    return s;
}

bool Has(const LearntProfile& l, LearnRemark::Kind kind, int dir = -1) {
    return std::any_of(l.remarks.begin(), l.remarks.end(), [&](const LearnRemark& r) {
        return r.kind == kind && (dir < 0 || r.dir == dir);
    });
}

bool HasKey(const LearntProfile& l, std::string_view section, std::string_view key) {
    return std::find(l.keys.begin(), l.keys.end(), profile::ProfileKey{section, key}) !=
           l.keys.end();
}

std::string Remarks(const LearntProfile& l) {
    std::string out;
    for (const auto& r : l.remarks)
        out += tracking::RemarkText(r) + "\n";
    return out;
}

std::string Dump(const LearntProfile& l) {
    std::string out;
    for (const auto& k : l.keys)
        out += std::string(k.section) + "/" + std::string(k.key) + "; ";
    const auto& p = l.profile;
    out += "\n" + p.RoomNameStart + " | " + p.RoomNameEnd + " | " + p.AutoexitStart + " | " +
           p.AutoexitEnd + "\n" + Remarks(l);
    for (const auto& r : l.rooms)
        out += r.name + " [" + r.exits + "]\n";
    return out;
}

// Every exit of the village walked with the learnt profile: what is wrong with the map.
std::string WalkWith(const GameShape& shape, const LearntProfile& learnt) {
    const GridGame g = Village(shape.names);
    TrackingRig rig;
    rig.profile = learnt.profile;
    // The game's prompt after the player logged in.
    VoiceOf(shape).serve(rig, shape.Answer("", g, g.Find('A')));
    GridWalk walk(g, rig, g.Find('A'), VoiceOf(shape));
    map::TMudRoom2* first = rig.current();
    if (!first) {
        std::string log;
        for (const auto& l : rig.host.log)
            log += l + "\n";
        return "the look placed nobody\n" + log;
    }
    walk.RandomWalk(11);
    if (walk.walked.size() < 20) return "the walk was cut short";
    if (!rig.host.tracing) return "tracing stopped";
    return CheckMap(g, walk, g.Find('A'), first);
}

struct Case {
    const char* name;
    GameShape (*shape)();
    // Keys whose learnt values are checked as the file will hold them.
    std::vector<std::pair<std::string, std::string>> values;
};

std::string Value(const profile::WorldProfile& p, const std::string& key) {
    if (key == "RoomNameStart") return p.RoomNameStart;
    if (key == "RoomNameEnd") return p.RoomNameEnd;
    if (key == "AutoexitStart") return p.AutoexitStart;
    if (key == "AutoexitEnd") return p.AutoexitEnd;
    if (key == "PromptExitStart") return p.PromptExitStart;
    if (key == "PromptExitEnd") return p.PromptExitEnd;
    if (key == "Look") return p.Look;
    std::string words;
    for (const auto& w : key == "Exits" ? p.ExitWords : p.MoveWords)
        words += w + " ";
    return words;
}

const Case kCases[] = {
    {"RussianDiku",
     shapes::RussianDiku,
     {{"RoomNameStart", "#$1B[1;36m"},
      {"RoomNameEnd", "#$0D#$0A"},
      {"AutoexitStart", "#$1B[0;36m[ Exits:"},
      {"AutoexitEnd", "]#$1B[0m#$0D#$0A"},
      {"PromptExitStart", W8("Вых:")},
      {"PromptExitEnd", ">"},
      {"Exits", "n s e w u d "},
      {"Moves", W8("с ю в з вв вн ")},
      {"Look", W8("см")}}},
    {"Circle",
     shapes::Circle,
     {{"RoomNameStart", "#$1B[36m"},
      {"RoomNameEnd", "#$0D#$0A"}, // the reset is taken out of names anyway
      {"AutoexitStart", "#$1B[36m[ Exits:"},
      {"Exits", "n s e w u d "}}},
    {"Rom",
     shapes::Rom,
     {{"RoomNameStart", "mv> "},
      {"RoomNameEnd", "#$0A#$0D"},
      {"AutoexitStart", "[Exits:"},
      {"AutoexitEnd", "]#$0A#$0D"},
      {"Exits", "north south east west up down "},
      {"Look", "l"}}},
    {"Smaug",
     shapes::Smaug,
     // The name's white, not the yellow of the description that follows it.
     {{"RoomNameStart", "#$1B[1;37m"},
      {"AutoexitStart", "#$1B[1;37mExits:"},
      {"Exits", "north south east west up down "}}},
    {"Lp",
     shapes::Lp,
     {{"RoomNameStart", "> "},
      // The label's word changes with the number of exits: its stem is kept.
      {"AutoexitStart", "obvious exit"},
      {"AutoexitEnd", ".#$0D#$0A"},
      {"Exits", "north south east west up down "},
      {"Moves", "north south east west up down "}}},
    {"TinyMux",
     shapes::TinyMux,
     {{"RoomNameStart", "#$1B[1m"},
      {"AutoexitStart", "Obvious exits:#$0D#$0A"},
      {"AutoexitEnd", "#$0D#$0A"},
      {"Exits", "North South East West Up Down "}}},
    {"FramedMux",
     shapes::FramedMux,
     {{"RoomNameStart", "<< "},
      {"RoomNameEnd", " >>#$0D#$0A"},
      {"AutoexitStart", "[ Exits:"},
      {"Exits", "N S E W U D "}}},
};

class LearnShape : public ::testing::TestWithParam<Case> {};

TEST_P(LearnShape, AShortSessionGivesAProfileThatMapsEveryExitOfALongerWalk) {
    const Case& c = GetParam();
    const GameShape shape = c.shape();
    const GridGame g = Village(shape.names);
    const ShapedSession session = ShortSession(shape, g);
    const LearntProfile learnt = tracking::LearnProfile(session.Pieces());
    ASSERT_TRUE(learnt.Learnt()) << Remarks(learnt);
    for (const auto& [key, value] : c.values)
        EXPECT_EQ(Value(learnt.profile, key), value) << key;
    // The refused move's answer is a refusal text, the look and the moves the player's words.
    ASSERT_EQ(learnt.profile.CantMove.size(), 1u) << Dump(learnt);
    EXPECT_EQ(learnt.profile.CantMove.front(), text::Trim(shape.refusal));
    EXPECT_TRUE(HasKey(learnt, "Moves", "North"));
    // Up and down were never walked: their words complete the kind of the others, and say so.
    EXPECT_TRUE(Has(learnt, LearnRemark::MoveWordOfKind, profile::kUp)) << Remarks(learnt);
    EXPECT_FALSE(std::any_of(learnt.remarks.begin(), learnt.remarks.end(),
                             [](const LearnRemark& r) { return r.Missing(); }))
        << Remarks(learnt);
    // Recognition with the profile finds the rooms the player saw, in order.
    ASSERT_GE(learnt.rooms.size(), 5u);
    EXPECT_EQ(learnt.rooms[0].name.find("A") != std::string::npos, true) << learnt.rooms[0].name;

    EXPECT_EQ(WalkWith(shape, learnt), "");
}

INSTANTIATE_TEST_SUITE_P(Shapes, LearnShape, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Learner, SaysWhatIsMissingInsteadOfGuessing) {
    const GridGame g = Village();
    {
        // No colour and no exit line: nothing tells a name or the end of a room.
        const GameShape bare = shapes::Bare();
        const LearntProfile l = tracking::LearnProfile(ShortSession(bare, g).Pieces());
        EXPECT_FALSE(l.Learnt());
        EXPECT_TRUE(Has(l, LearnRemark::NoExitLine)) << Remarks(l);
        EXPECT_TRUE(Has(l, LearnRemark::NoRoomNames)) << Remarks(l);
        EXPECT_FALSE(HasKey(l, "Messages", "RoomNameStart"));
        EXPECT_FALSE(HasKey(l, "Messages", "AutoexitStart"));
        // The player's own words are still what they are.
        EXPECT_EQ(l.profile.MoveWords[profile::kEast], "e");
    }
    {
        // The exits in the prompt alone: its markers and words are learnt, and the missing exit
        // line named, for without it recognition cannot tell where a room ends.
        const GameShape prompt = shapes::PromptOnly();
        const LearntProfile l = tracking::LearnProfile(ShortSession(prompt, g).Pieces());
        EXPECT_FALSE(l.Learnt());
        EXPECT_TRUE(Has(l, LearnRemark::ExitsOnlyInPrompt)) << Remarks(l);
        EXPECT_FALSE(Has(l, LearnRemark::NoExitLine));
        EXPECT_EQ(l.profile.PromptExitStart, W8("Вых:"));
        EXPECT_EQ(l.profile.PromptExitEnd, ">");
        EXPECT_TRUE(l.profile.UsePromptExit);
        EXPECT_EQ(l.profile.ExitWords[profile::kNorth], W8("С"));
        EXPECT_EQ(l.profile.ExitWords[profile::kWest], W8("З"));
        EXPECT_FALSE(HasKey(l, "Messages", "AutoexitStart"));
    }
    {
        // An exit line, but names with nothing of their own around them.
        const GameShape plain = shapes::PlainMux();
        const LearntProfile l = tracking::LearnProfile(ShortSession(plain, g).Pieces());
        EXPECT_FALSE(l.Learnt());
        EXPECT_TRUE(Has(l, LearnRemark::NoRoomNames)) << Remarks(l);
        EXPECT_EQ(l.profile.AutoexitStart, "[ Exits:");
        EXPECT_FALSE(HasKey(l, "Messages", "RoomNameStart"));
    }
    {
        // Nothing typed that the game answered with a room.
        ShapedSession chat(shapes::RussianDiku(), g, g.Find('A'));
        chat.Player("say hello");
        chat.Game("You say 'hello'\r\n");
        const LearntProfile l = tracking::LearnProfile(chat.Pieces());
        EXPECT_FALSE(l.Learnt());
        EXPECT_TRUE(Has(l, LearnRemark::NoAnswers));
        EXPECT_TRUE(l.keys.empty());
        EXPECT_TRUE(tracking::LearnProfile({}).remarks.size() > 0);
    }
}

TEST(Learner, TheRestOfAWordCutByTheExitLabelIsNoExit) {
    // The label "obvious exit" starts every list, the plural's "s" right after it: a walk of
    // plural lists, few of them with a way south, must not make that "s" the word for south.
    const GameShape lp = shapes::Lp();
    const GridGame g = Village(lp.names);
    ShapedSession s(lp, g, g.Find('A'));
    s.Look();
    for (char d : {'e', 's', 'u', 'd', 'w'})
        s.Move(d);
    const LearntProfile l = tracking::LearnProfile(s.Pieces());
    ASSERT_TRUE(l.Learnt()) << Remarks(l);
    EXPECT_EQ(l.profile.AutoexitStart, "obvious exit");
    EXPECT_EQ(Value(l.profile, "Exits"), "north south east west up down ") << Dump(l);
    EXPECT_FALSE(std::any_of(l.remarks.begin(), l.remarks.end(), [](const LearnRemark& r) {
        return r.Missing();
    })) << Remarks(l);
    EXPECT_EQ(WalkWith(lp, l), "");
}

TEST(Learner, DarknessSeenIsLearntAndRecognised) {
    const GridGame g = Village();
    const GameShape shape = shapes::RussianDiku();
    ShapedSession s = ShortSession(shape, g);
    // Down from A there is no light: the game prints only that.
    // The game says where the player went before the darkness: that line is no refusal.
    const std::string dark = W8("Слишком темно...");
    const std::string went = W8("Вы поплелись вниз.");
    s.Player(shape.Move('d'));
    s.Game(shape.Answer(went + "\r\n\x1b[0;37m" + dark + "\x1b[0m\r\n", g, s.at));
    s.Player(shape.Move('u'));
    s.Game(shape.Answer(shape.room(g, s.at), g, s.at));
    const LearntProfile l = tracking::LearnProfile(s.Pieces());
    ASSERT_TRUE(l.Learnt()) << Remarks(l);
    EXPECT_EQ(l.profile.Dark, dark);
    EXPECT_EQ(l.profile.DarkList, std::vector<std::string>{dark});
    // A dark room is no refusal, and recognition takes it for the dark room it is.
    EXPECT_EQ(l.profile.CantMove, std::vector<std::string>{W8("Извините, туда нельзя.")});
    EXPECT_TRUE(
        std::any_of(l.rooms.begin(), l.rooms.end(), [&](const auto& r) { return r.name == dark; }));
}

TEST(Learner, AClosedDoorsBracketInThePromptAndExitsInCapitalsLaterAreReadAsExits) {
    // The prompt marks an exit through a closed door with brackets: "Вых:(С)В>".
    GameShape shape = shapes::RussianDiku();
    const auto plain = shape.prompt;
    shape.prompt = [plain](const GridGame& g, int id) {
        std::string p = plain(g, id);
        const std::size_t at = p.find(W8("Вых:")) + W8("Вых:").size();
        if (id % 2 == 0 && p[at] != '>') p.insert(at + 1, ")").insert(at, "(");
        return p;
    };
    const GridGame g = Village();
    const LearntProfile l = tracking::LearnProfile(ShortSession(shape, g).Pieces());
    ASSERT_TRUE(l.Learnt()) << Remarks(l);
    EXPECT_EQ(l.profile.PromptExitStart, W8("Вых:"));
    // Only small letters were seen; a game of this family prints an exit into another zone
    // in capitals, and the learnt profile reads it all the same.
    EXPECT_TRUE(l.profile.AutoexitsIgnoreCase);
    const std::string room = "\x1b[1;36m" + W8("Башня") + "\x1b[0m\r\n" + W8("Приземистая башня.") +
                             "\r\n\x1b[0;36m[ Exits: N e ]\x1b[0m\r\n" + plain(g, 0) + "\xff\xf9";
    const std::string look = W8("см") + "\r\n";
    const auto rooms = tracking::RecogniseRooms({{true, look}, {false, room}}, l.profile);
    ASSERT_EQ(rooms.size(), 1u);
    EXPECT_EQ(rooms[0].name, W8("Башня"));
    for (int d : {0, 2}) // north, east
        EXPECT_NE(tracking::ExitPos(l.profile, l.profile.ExitWords[d], rooms[0].exits),
                  std::string::npos)
            << d;
}

TEST(Learner, ApplyingKeepsEveryOtherKeyAndJoinsTheLists) {
    const GridGame g = Village();
    const LearntProfile l = tracking::LearnProfile(ShortSession(shapes::Rom(), g).Pieces());
    ASSERT_TRUE(l.Learnt());
    profile::WorldProfile mine;
    mine.ServerName = "rom.example.org";
    mine.CantMove = {"You are too tired."};
    mine.Retreat = "You flee!";
    tracking::ApplyLearnt(l, mine);
    EXPECT_EQ(mine.ServerName, "rom.example.org");
    EXPECT_EQ(mine.Retreat, "You flee!");
    EXPECT_EQ(mine.CantMove,
              (std::vector<std::string>{"You are too tired.", "Alas, you cannot go that way."}));
    EXPECT_EQ(mine.AutoexitStart, "[Exits:");
    EXPECT_EQ(mine.AutoexitStartDecoded, "[Exits:");
    EXPECT_EQ(mine.RoomNameEndDecoded, "\n\r");
    // Applied twice, nothing is listed twice.
    tracking::ApplyLearnt(l, mine);
    EXPECT_EQ(mine.CantMove.size(), 2u);
}

} // namespace
