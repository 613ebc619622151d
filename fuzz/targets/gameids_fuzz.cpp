// The world's "game-ids.txt", as a hand edit, a damaged disk or another program may have left it,
// and zone names made from area names the game sends.
//
// Input: the bytes of the file.
//
// Properties: a file that reads is written back to bytes that read to the same data, and writing
// those gives the same bytes again; a file that does not read gives nothing. The input as an area
// name becomes a zone name that is a valid file name, holds no character a file system refuses,
// and decodes back to the area unless it had to be cut.

#include "FuzzInput.h"
#include "files/AreaFileNames.h"
#include "files/Paths.h"
#include "files/RoomIdentityFile.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const storage::RoomIdentityReadResult first = storage::ReadRoomIdentities(bytes);
    if (first.ok()) {
        const std::string written = storage::WriteRoomIdentities(first.data);
        const storage::RoomIdentityReadResult second = storage::ReadRoomIdentities(written);
        FUZZ_CHECK(second.ok());
        FUZZ_CHECK(second.data == first.data);
        FUZZ_CHECK(storage::WriteRoomIdentities(second.data) == written);
    } else {
        FUZZ_CHECK(first.data.Empty());
    }

    const std::string name = storage::AreaFileName(bytes);
    FUZZ_CHECK(name.empty() == bytes.empty());
    if (name.empty()) return 0;
    FUZZ_CHECK(storage::IsValidFileName(name));
    FUZZ_CHECK(name.find_first_of("\\/:*?\"<>|") == std::string::npos);
    FUZZ_CHECK(name.back() != '.' && name.back() != ' ');
    const std::string back = storage::AreaOfFileName(name);
    // Only an area of 60 bytes or more can outgrow a file name (an escape takes 3 bytes on
    // disk); a cut name may then end well before its limit, where dots and blanks were dropped.
    FUZZ_CHECK(back == bytes || (bytes.size() >= 60 && bytes.starts_with(back)));
    return 0;
}
