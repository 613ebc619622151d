// The game's prompt ends every answer: a move whose answer ends without a room is refused,
// whatever the refusal says, and the next room is never paired with it. Without prompts
// (neither IAC GA nor the profile's markers) tracking works as it always did.

#include "TrackingRig.h"

#include <gtest/gtest.h>

namespace {

const std::string kHall = RoomText("Hall", "A hall.", "N E");
const std::string kNorth = RoomText("North room", "Cold.", "S");
const std::string kEast = RoomText("East room", "Warm.", "W");
const std::string kGa = "\xFF\xF9";

// One read holding these answers, each ended by a prompt with IAC GA, as the decoder gives it.
void Answers(TrackingRig& rig, std::initializer_list<std::string> answers) {
    std::string text;
    std::vector<size_t> ends;
    for (const std::string& a : answers) {
        text += a + "\r\n100H 50V> " + kGa;
        ends.push_back(text.size());
    }
    rig.tracker.TranslateCmd(text, ends, true);
}

// A rig standing in the hall, with every room of the little map known.
struct Hall : TrackingRig {
    map::TMudRoom2* hall = nullptr;
    Hall() {
        Send({"look"});
        Answers(*this, {kHall});
        hall = current();
        for (auto [go, room, back] : {std::tuple{"n", kNorth, "s"}, std::tuple{"e", kEast, "w"}}) {
            Send({go});
            Answers(*this, {room});
            Send({back});
            Answers(*this, {kHall});
        }
        host.log.clear();
    }
    std::string Here() { return current() ? current()->Hint : "(nowhere)"; }
    size_t RoomsOnMap() { return world().Lists().WorldCount(); }
};

} // namespace

TEST(Prompt, ARefusalTheProfileDoesNotKnowEndsTheMoveAtThePrompt) {
    // A closed door, exhaustion, a fight, sitting, no exit that way: none is in the profile.
    for (const char* refusal : {"The door is closed.", "You are too tired.", "You are fighting!",
                                "You are sitting down.", "Alas, you cannot go that way."}) {
        Hall rig;
        ASSERT_TRUE(rig.profile.CantMove.empty());
        ASSERT_EQ(rig.Here(), "Hall");
        const size_t rooms = rig.RoomsOnMap();
        rig.Send({"e"});
        Answers(rig, {refusal});
        EXPECT_EQ(rig.Here(), "Hall") << refusal;
        EXPECT_TRUE(rig.tracker.State().CommandQueue.empty()) << refusal;
        EXPECT_TRUE(rig.host.Logged(W8("TranslateCMD: Отбой по промпту - ") + "e")) << refusal;
        // The next room is the next move's.
        rig.Send({"n"});
        Answers(rig, {kNorth});
        EXPECT_EQ(rig.Here(), "North room") << refusal;
        EXPECT_EQ(rig.RoomsOnMap(), rooms) << refusal;
        EXPECT_TRUE(rig.host.tracing) << refusal;
    }
}

TEST(Prompt, TwoMovesInOneBlockTheFirstRefused) {
    Hall rig;
    rig.Send({"n", "e"}); // the client sent both lines in one write
    Answers(rig, {"The door is closed.", kEast});
    EXPECT_EQ(rig.Here(), "East room");
    EXPECT_TRUE(rig.tracker.State().CommandQueue.empty());

    // The same answers in reads cut anywhere: the end of each answer is the prompt, not the read.
    for (size_t cut : {5, 25, 40}) {
        Hall r;
        r.Send({"n", "e"});
        std::string text = "The door is closed.\r\n100H 50V> " + kGa;
        const size_t first = text.size();
        text += kEast + "\r\n100H 50V> " + kGa;
        std::vector<size_t> ends1, ends2;
        for (size_t end : {first, text.size()})
            (end <= cut ? ends1 : ends2).push_back(end <= cut ? end : end - cut);
        r.tracker.TranslateCmd(text.substr(0, cut), ends1, true);
        r.tracker.TranslateCmd(text.substr(cut), ends2, true);
        EXPECT_EQ(r.Here(), "East room") << cut;
    }
}

TEST(Prompt, ASpeedwalkBurstStopsAtARefusalInTheMiddle) {
    Hall rig;
    rig.host.speedwalk = {"n", "s"}; // what is left of the way after this burst
    rig.Send({"e", "n", "w"});
    Answers(rig, {kEast, "You are too tired.", kHall});
    EXPECT_EQ(rig.Here(), "Hall");
    EXPECT_TRUE(rig.host.speedwalk.empty()) << "the rest of the way is never sent";
    EXPECT_EQ(rig.host.bursts, 0);
    EXPECT_TRUE(rig.host.Logged(W8("TranslateCMD: Отбой по промпту - ") + "n"));
}

TEST(Prompt, WhatTheProfileSaysKeepsItsMeaning) {
    // A listed refusal is taken as before (and the prompt has nothing left to decide).
    Hall listed;
    listed.profile.CantMove = {"The door is closed."};
    listed.Send({"e"});
    Answers(listed, {"The door is closed."});
    EXPECT_TRUE(listed.host.Logged(W8("TranslateCMD: Отбой по мувам 0 - The door is closed.")));
    EXPECT_FALSE(listed.host.Logged(W8("TranslateCMD: Отбой по промпту - ") + "e"));

    // Darkness that the profile's list does not hold: the move is not refused.
    Hall dark;
    dark.profile.Dark = "It is dark.";
    dark.Send({"n"});
    Answers(dark, {"It is dark."});
    EXPECT_EQ(dark.tracker.State().CommandQueue.size(), 1u);

    // A chat line is no move: consumed as always, never "refused".
    Hall chat;
    chat.Send({"say hi", "e"});
    Answers(chat, {"You say 'hi'", kEast});
    EXPECT_EQ(chat.Here(), "East room");
    EXPECT_FALSE(chat.host.Logged(W8("TranslateCMD: Отбой по промпту - ") + "say hi"));

    // Text the game sends on its own, before the move was made, does not end the move's answer.
    Hall idle;
    Answers(idle, {"A rat arrives."});
    idle.Send({"e"});
    Answers(idle, {kEast});
    EXPECT_EQ(idle.Here(), "East room");
}

TEST(Prompt, TheProfilesPromptMarkersServeAGameWithoutPromptCommands) {
    Hall rig;
    rig.profile.PromptExitStart = W8("Вых:");
    rig.profile.PromptExitEnd = ">";
    rig.profile.DecodeMarkers();
    rig.Send({"e", "n"});
    // Split inside the prompt: the carried line still finds it.
    rig.tracker.TranslateCmd("The door is closed.\r\n100H " + W8("Вых:С"));
    rig.tracker.TranslateCmd(W8("В> ") + kNorth + "100H " + W8("Вых:Ю> "));
    EXPECT_EQ(rig.Here(), "North room");
    EXPECT_TRUE(rig.host.Logged(W8("TranslateCMD: Отбой по промпту - ") + "e"));
}

TEST(Prompt, WithoutPromptsNothingChanges) {
    // No IAC GA, no markers in the text: the unknown refusal leaves the move queued, and the
    // next room printed is paired with it, as it always was.
    Hall rig;
    rig.Send({"e"});
    rig.tracker.TranslateCmd("The door is closed.\r\n100H 50V> ");
    EXPECT_EQ(rig.tracker.State().CommandQueue.size(), 1u);
    rig.tracker.TranslateCmd(kEast + "\r\n100H 50V> ");
    EXPECT_EQ(rig.Here(), "East room");
    EXPECT_FALSE(rig.host.Logged(W8("TranslateCMD: Отбой по промпту - ") + "e"));
}
