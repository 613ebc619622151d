// Session files: recorded by Quarvelin, but kept for days, copied between machines, cut short by
// a full disk or a crash, and replayed by players on other worlds.
//
// Input: the bytes of the file.
//
// Properties: reading never fails hard; every whole record before the damage is kept, and the
// good part ends exactly where the reader says; those records written out again read back the
// same, whole.

#include "FuzzInput.h"
#include "files/SessionFile.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const storage::SessionReadResult r = storage::ReadSession(bytes);
    FUZZ_CHECK(r.goodBytes <= bytes.size());
    // Whole: read to its end. Damaged: the good part stops before the end (an empty file is
    // no session either).
    FUZZ_CHECK(r.ok() ? r.goodBytes == bytes.size()
                      : (r.goodBytes < bytes.size() || bytes.empty()));
    if (!r.goodBytes) FUZZ_CHECK(r.records.empty());

    std::string written(storage::kSessionHeader);
    for (const storage::SessionRecord& rec : r.records)
        storage::AppendSessionRecord(written, rec.kind, rec.ms, rec.bytes);
    const storage::SessionReadResult again = storage::ReadSession(written);
    FUZZ_CHECK(again.ok() || r.goodBytes == 0);
    FUZZ_CHECK(again.records.size() == r.records.size());
    for (std::size_t i = 0; i < r.records.size(); ++i)
        FUZZ_CHECK(again.records[i].kind == r.records[i].kind &&
                   again.records[i].ms == r.records[i].ms &&
                   again.records[i].bytes == r.records[i].bytes);
    // The good part alone is a whole file.
    FUZZ_CHECK(r.goodBytes == 0 || storage::ReadSession(bytes.substr(0, r.goodBytes)).ok());
    return 0;
}
