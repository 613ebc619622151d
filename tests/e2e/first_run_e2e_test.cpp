// A new player's first run: the data directory made as scripts/run makes it (the shipped
// template profile and nothing else), the demo game, and a walk into every refusal, darkness
// and flight the demo prints on the way. The map must come out as the village is.

#include "E2eSupport.h"
#include "files/IniFile.h"
#include "files/Paths.h"
#include "files/ProfileFile.h"
#include "files/ZoneFile.h"
#include "map/Direction.h"
#include "profile/WorldProfile.h"
#include "text/Text.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

namespace {

namespace fs = std::filesystem;
using map::TMudRoom2;

std::string W(const char* utf8) {
    return text::FromUnicode(QString::fromUtf8(utf8));
}

std::string Telnet(const std::string& text) {
    return text::ReplaceAll(text, "\xFF", "\xFF\xFF");
}

// Every room of the world's zone files, by name; a name twice is kept twice.
std::multimap<std::string, TMudRoom2> MappedRooms(const fs::path& worldDir) {
    profile::WorldProfile profile;
    storage::ReadProfile(profile, storage::IniFile(worldDir / "local.ini"));
    std::multimap<std::string, TMudRoom2> rooms;
    for (const auto& file : storage::ListZoneFiles(worldDir)) {
        storage::ZoneReadResult r = storage::ReadZoneFile(file, profile);
        EXPECT_TRUE(r.ok()) << r.LogLine();
        for (auto& room : r.rooms)
            if (!room.Pipe) rooms.emplace(room.Hint, room);
    }
    return rooms;
}

// Walks into every refusal, darkness and flight the demo prints on the way, then checks the map.
void WalkEveryRefusal(DemoRig& rig) {
    ScriptedClient client(rig.clientPort);
    ASSERT_TRUE(client.Connected());
    ASSERT_TRUE(client.WaitPrompts(1)) << rig.output;
    const std::string off = "Tracing now \x1b[1;31mOFF";
    auto walk = [&](std::initializer_list<const char*> commands) {
        for (const char* c : commands)
            ASSERT_TRUE(client.Send({W(c)})) << c << "\n" << rig.output;
    };
    // How often the game printed a text (UTF-8 given; on the wire "я" is doubled).
    auto printed = [&](const char* utf8) { return client.Count(Telnet(W(utf8))); };

    walk({"look"});
    // East into the smithy's closed door, twice, then back west and on to the gate.
    walk({"e", "e", "e", "w", "w", "e"});
    EXPECT_EQ(printed("Закрыто (дверь)."), 2u);
    // No exit up; resting; the cellar's dark corner and the closed grating below it.
    walk({"u", "отдохнуть", "n", "встать"});
    EXPECT_EQ(printed("Вы не сможете туда пройти..."), 1u);
    EXPECT_EQ(printed("Нет... Вы слишком расслаблены..."), 1u);
    walk({"s", "s", "d", "e", "e", "s", "s", "n", "w", "w", "u", "n", "n"});
    EXPECT_EQ(printed("Закрыто (решётка)."), 1u);
    EXPECT_GE(printed("Здесь темно..."), 2u);
    // A flight north from the square, to the known street there, and back.
    walk({"n", "s", "убежать", "s"});
    EXPECT_EQ(printed("Вы быстро убежали с поля битвы."), 1u);
    // East and west until the legs give out; two more tries; then standing up puts it right.
    int tiredAt = -1;
    for (int i = 0; i < 170 && tiredAt < 0; ++i) {
        walk({i % 2 ? "w" : "e"});
        if (printed("Вы слишком устали.")) tiredAt = i;
    }
    ASSERT_GT(tiredAt, 0);
    walk({"n", "n", "встать"});
    EXPECT_EQ(printed("Вы слишком устали."), 3u);
    // The last move that went through decides where the player stands; end on the street.
    const bool onTheStreet = (tiredAt - 1) % 2 == 0;
    if (!onTheStreet) walk({"e"});
    EXPECT_EQ(client.Count(off), 0u) << "tracing switched itself off";
    ASSERT_TRUE(rig.Stop()) << rig.output;

    // Every room the walk reached is on the map once, where the game has it.
    const auto rooms = MappedRooms(rig.dir.path() / "Maps" / "Demo");
    const char* reached[] = {"Центральная площадь",
                             "Восточная улица",
                             "Западные ворота",
                             "Северная улица",
                             "Южная улица",
                             "Рыночный ряд",
                             "Погреб",
                             "Сырой коридор",
                             "Катакомбы"};
    for (const char* name : reached)
        EXPECT_EQ(rooms.count(W(name)), 1u) << name;
    std::size_t selected = 0;
    for (const auto& [name, room] : rooms)
        selected += room.Selected;
    EXPECT_EQ(selected, 1u);
    auto at = [&](const char* name) {
        const auto it = rooms.find(W(name));
        return it == rooms.end() ? std::tuple(-99, -99, -99)
                                 : std::tuple(it->second.X, it->second.Y, it->second.L);
    };
    const auto [x, y, l] = at("Центральная площадь");
    EXPECT_EQ(at("Восточная улица"), std::tuple(x, y + 1, l));
    EXPECT_LT(std::get<1>(at("Западные ворота")), y);
    EXPECT_EQ(std::get<0>(at("Западные ворота")), x);
    EXPECT_EQ(at("Северная улица"), std::tuple(x - 1, y, l));
    EXPECT_EQ(at("Южная улица"), std::tuple(x + 1, y, l));
    const auto street = rooms.find(W("Восточная улица"));
    ASSERT_NE(street, rooms.end());
    EXPECT_TRUE(street->second.Selected);
    EXPECT_FALSE(street->second.Ch(map::East)) << "the closed door was never walked";
}

} // namespace

TEST(FirstRunE2e, TheShippedProfileMapsTheDemoThroughEveryRefusalDarknessAndFlight) {
    DemoRig rig(2, {}, DemoRig::Start::AsShipped);
    WalkEveryRefusal(rig);
}

// The same walk with a profile that lists no refusal at all: the demo ends every answer with
// IAC GA, so a move whose answer holds no room is known to be refused all the same.
TEST(FirstRunE2e, ThePromptTellsEveryRefusalWhenTheProfileListsNone) {
    DemoRig rig(2, [](const fs::path& dataDir) {
        storage::IniFile(dataDir / "Maps" / "Demo" / "local.ini").EraseSection("Can`t Move");
    });
    ASSERT_EQ(TempDir::Read(rig.dir.path() / "Maps" / "Demo" / "local.ini").find("Can`t"),
              std::string::npos);
    WalkEveryRefusal(rig);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    // (The log keeps its last 500 lines: the tired legs at the end of the walk.)
    const std::string log = TempDir::Read(rig.dir.path() / "tkdebug.log");
    EXPECT_NE(log.find(W("TranslateCMD: Отбой по промпту - ") + "n"), std::string::npos);
    EXPECT_EQ(log.find(W("Отбой по мувам")), std::string::npos);
}
