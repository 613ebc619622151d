// Writes the session files of every family whose sessions are made from its game's source:
//     quarvelin-family-sessions DIR     (DIR is tests/data/families of the source tree)
// gives DIR/<family>/look.session (of look.txt) and DIR/<family>/walk.session (of walk.txt).

#include "families/FamilyStyle.h"

#include "files/FileSaver.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    try {
        const std::filesystem::path dir = argv[1];
        const families::Town town = families::Town::Load(dir / "world.txt");
        for (const auto& style : families::AllStyles()) {
            for (const auto& [name, sends] :
                 {std::pair{"look.session", "look.txt"}, std::pair{"walk.session", "walk.txt"}}) {
                const families::Walk walk =
                    families::Walk::Load(dir / sends, town, style->Doors(), style->Follows());
                std::filesystem::create_directories(dir / style->Id());
                const storage::SaveResult r = storage::SaveFile(
                    dir / style->Id() / name, families::MakeSession(*style, town, walk), true);
                if (!r.ok) {
                    std::fprintf(stderr, "%s\n", r.error.c_str());
                    return 1;
                }
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
