// Zone files: binary room records as another program, a damaged disk or a hostile download may
// have left them.
//
// Input: the bytes of a zone file.
//
// Properties: the rooms read are written back to a file that reads without an error, and
// reading and writing once more gives the same bytes (a load and save cycle changes nothing
// after the first).

#include "FuzzInput.h"
#include "files/ZoneFile.h"
#include "profile/WorldProfile.h"

#include <string_view>
#include <vector>

namespace {

std::string Write(const std::vector<map::TMudRoom2>& rooms) {
    std::vector<const map::TMudRoom2*> pointers;
    for (const auto& room : rooms)
        pointers.push_back(&room);
    return storage::WriteZone(pointers);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const profile::WorldProfile profile;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const storage::ZoneReadResult first = storage::ReadZone(bytes, profile);
    (void)first.LogLine();
    const std::string written = Write(first.rooms);

    const storage::ZoneReadResult second = storage::ReadZone(written, profile);
    FUZZ_CHECK(second.ok());
    FUZZ_CHECK(second.rooms.size() == first.rooms.size());
    FUZZ_CHECK(Write(second.rooms) == written);

    const storage::ZoneReadResult undo =
        storage::ReadZone(bytes, profile, storage::ZoneFixups::Undo);
    FUZZ_CHECK(undo.rooms.size() == first.rooms.size());
    return 0;
}
