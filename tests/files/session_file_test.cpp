// Session files: the bytes the writer puts on disk, the reader's view of whole, cut and
// damaged files, and a writer on a disk that is full.

#include "files/SessionFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using storage::ReadSession;
using storage::SessionWriter;

namespace {
// A file as the format describes it, written out by hand.
const std::string kFile = "Quarvelin session 1\r\n"
                          "E 0 16\r\nclient connected\r\n"
                          "C 15 3\r\nn\r\n\r\n"
                          "S 42 10\r\nRoom\r\n\xFF\xF9\xFF\xFF\r\n"
                          "S 43 0\r\n\r\n";
} // namespace

TEST(SessionFile, ReadsWholeFilesRecordByRecord) {
    const storage::SessionReadResult r = ReadSession(kFile);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.goodBytes, kFile.size());
    ASSERT_EQ(r.records.size(), 4u);
    EXPECT_EQ(r.records[0].kind, 'E');
    EXPECT_EQ(r.records[0].bytes, "client connected");
    EXPECT_EQ(r.records[1].ms, 15u);
    EXPECT_EQ(r.records[1].bytes, "n\r\n"); // the bytes may hold CR LF themselves
    EXPECT_EQ(r.records[2].bytes, "Room\r\n\xFF\xF9\xFF\xFF");
    EXPECT_TRUE(r.records[3].bytes.empty());
    // Written back record by record, the same bytes.
    std::string again(storage::kSessionHeader);
    for (const auto& rec : r.records)
        storage::AppendSessionRecord(again, rec.kind, rec.ms, rec.bytes);
    EXPECT_EQ(again, kFile);
}

TEST(SessionFile, ACutOrDamagedFileIsReadUpToTheDamage) {
    // Cut anywhere: the whole records before the cut, and where it was.
    const std::size_t thirdRecord = kFile.find("S 42");
    for (std::size_t cut = kFile.find("C 15"); cut < thirdRecord; ++cut) {
        const storage::SessionReadResult r = ReadSession(std::string_view(kFile).substr(0, cut));
        EXPECT_EQ(r.records.size(), 1u) << cut;
        EXPECT_EQ(r.goodBytes, kFile.find("C 15")) << cut;
        if (cut > r.goodBytes) {
            EXPECT_EQ(r.error, "cut short at byte " + std::to_string(r.goodBytes) + " (record 2)")
                << cut;
        }
    }

    struct Case {
        std::string bytes, error;
    } cases[] = {
        {"Quarvelin session 2\r\n", "not a Quarvelin session file"},
        {"Quarvel", "cut short in its first line"},
        {std::string(storage::kSessionHeader) + "X 1 1\r\na\r\n", "damaged: a record begins"},
        {std::string(storage::kSessionHeader) + "S one 1\r\na\r\n", "damaged: a record's head"},
        {std::string(storage::kSessionHeader) + "S 1 3\r\nab\r\nS 2 1\r\nc\r\n",
         "damaged: a record's bytes do not end"},
        {std::string(storage::kSessionHeader) + "S 1 99999999\r\nab\r\n",
         "damaged: a record claims 99999999 bytes"},
    };
    for (const Case& c : cases) {
        const storage::SessionReadResult r = ReadSession(c.bytes);
        EXPECT_TRUE(r.records.empty()) << c.bytes;
        EXPECT_EQ(r.error.rfind(c.error, 0), 0u) << c.bytes << " -> " << r.error;
    }
}

TEST(SessionFile, TheWriterWritesTheFormatAndStopsCleanlyOnAFullDisk) {
    TempDir dir;
    const auto file = dir.path() / "s.session";
    {
        SessionWriter w;
        ASSERT_TRUE(w.Open(file));
        EXPECT_TRUE(w.Add('E', "client connected"));
        std::string big(100 * 1024, 'x');
        const std::size_t capacity = big.capacity();
        EXPECT_TRUE(w.Take('S', big)); // taken, not copied
        EXPECT_TRUE(big.empty());
        EXPECT_TRUE(w.Add('C', "look\r\n"));
        // Once flushed, everything handed over is on the disk, readable.
        ASSERT_TRUE(w.Flush());
        const storage::SessionReadResult early = ReadSession(TempDir::Read(file));
        EXPECT_TRUE(early.ok());
        EXPECT_EQ(early.records.size(), 3u);
        // The writer's spent buffers come back for the next large record.
        std::string next;
        EXPECT_TRUE(w.Take('S', next));
        EXPECT_GE(next.capacity(), capacity);
    }
    const storage::SessionReadResult r = ReadSession(TempDir::Read(file));
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(r.records.size(), 4u);
    EXPECT_EQ(r.records[1].bytes, std::string(100 * 1024, 'x'));
    EXPECT_EQ(r.records[2].bytes, "look\r\n");
    EXPECT_LE(r.records[0].ms, r.records[2].ms);

    // A directory that does not exist: Open says why.
    SessionWriter missing;
    EXPECT_FALSE(missing.Open(dir.path() / "no" / "such" / "dir" / "s.session"));
    EXPECT_FALSE(missing.Error().empty());
    EXPECT_FALSE(missing.Add('C', "x"));

    // A full disk (/dev/full takes nothing): the writer stops with the reason and takes nothing
    // more, without throwing or blocking.
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    SessionWriter full;
    EXPECT_FALSE(full.Open("/dev/full"));
    EXPECT_FALSE(full.Recording());
    EXPECT_NE(full.Error().find("No space"), std::string::npos) << full.Error();
    EXPECT_FALSE(full.Add('S', "text"));
    EXPECT_FALSE(full.Flush());
}
