// The object base file "objects.dat" (or a TreePad outline a player imports): records of
// titles, levels and text lines in any order and any shape.
//
// Input: the bytes of the file; the first half is read into the tree before the whole, as a
// second file merges into a loaded base.
//
// Properties: what was read is written back to a file that reads into the same tree, and
// reading and writing once more gives the same bytes.

#include "FuzzInput.h"
#include "files/ObjectTree.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    storage::ObjectTree tree;
    (void)storage::ReadObjects(bytes.substr(0, size / 2), tree);
    const storage::ObjectReadResult read = storage::ReadObjects(bytes, tree);
    (void)read;
    const std::string written = storage::WriteObjects(tree, "1.0");

    storage::ObjectTree again;
    const storage::ObjectReadResult reread = storage::ReadObjects(written, again);
    FUZZ_CHECK(reread.ok());
    FUZZ_CHECK(storage::WriteObjects(again, "1.0") == written);
    return 0;
}
