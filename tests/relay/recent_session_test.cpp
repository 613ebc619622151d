// What the relay keeps of the session for learning a profile: the last stretch, whole records in
// order, the oldest cut at the front, however the reads fall.

#include "relay/RecentSession.h"

#include <gtest/gtest.h>

namespace {

std::string Joined(const relay::RecentSession& recent) {
    std::string all;
    for (const auto& r : recent.Records())
        all += std::string(1, r.kind) + ":" + r.bytes + "|";
    return all;
}

TEST(RecentSession, KeepsTheLastStretchInOrderAndCutsOnlyTheOldest) {
    constexpr std::size_t keep = relay::RecentSession::kKeep;
    relay::RecentSession recent;
    recent.Add('S', "");
    recent.Add('C', "look\r\n");
    recent.Add('S', "Hall\r\n");
    EXPECT_EQ(Joined(recent), "C:look\r\n|S:Hall\r\n|");

    // Reads that pass the limit push the oldest out, and cut the one that straddles it.
    const std::string block(keep / 3, 'x');
    for (int i = 0; i < 3; ++i)
        recent.Add('S', block);
    recent.Add('C', "n\r\n");
    std::size_t total = 0;
    const auto records = recent.Records();
    for (const auto& r : records)
        total += r.bytes.size();
    EXPECT_EQ(total, keep);
    EXPECT_EQ(recent.Bytes(), keep);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records.front().bytes.size(), block.size() - (block.size() * 3 + 3 - keep));
    EXPECT_EQ(records.back().kind, 'C');
    EXPECT_EQ(records.back().bytes, "n\r\n");

    // One read larger than everything kept: its end alone stays.
    std::string flood(keep * 2, 'a');
    flood.replace(flood.size() - 4, 4, "END!");
    recent.Add('S', flood);
    ASSERT_EQ(recent.Records().size(), 1u);
    EXPECT_EQ(recent.Records().front().bytes.size(), keep);
    EXPECT_EQ(recent.Records().front().bytes.substr(keep - 4), "END!");
    recent.Add('C', "e\r\n");
    EXPECT_EQ(recent.Records().back().bytes, "e\r\n");
    EXPECT_EQ(recent.Bytes(), keep);
}

} // namespace
