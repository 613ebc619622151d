// INI files: a world's profile "local.ini" and the settings "quarvelin.ini", as users bring them
// from other machines and other tools.
//
// Input: the bytes of the file.
//
// Properties: the file's lines are kept (its content read back reads to the same content), the
// whole profile and the settings read from it without failing, and a profile written and read
// back writes the same way again.

#include "FuzzInput.h"
#include "files/AppSettings.h"
#include "files/IniFile.h"
#include "files/ProfileFile.h"
#include "profile/WorldProfile.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const storage::IniFile ini("", bytes);
    const std::string content = ini.Content();
    FUZZ_CHECK(storage::IniFile("", content).Content() == content);
    for (const std::string& section : ini.ReadSections())
        (void)ini.ReadSectionValues(section);

    profile::WorldProfile profile;
    storage::ReadProfile(profile, ini);
    storage::AppSettings settings;
    settings.Read(ini);

    // Written into memory only: inside a batch that is never ended no file is written.
    storage::IniFile written("", std::string_view());
    written.BeginBatch();
    storage::WriteWholeProfile(profile, written);
    profile::WorldProfile reread;
    storage::ReadProfile(reread, storage::IniFile("", written.Content()));
    storage::IniFile again("", std::string_view());
    again.BeginBatch();
    storage::WriteWholeProfile(reread, again);
    FUZZ_CHECK(again.Content() == written.Content());
    return 0;
}
