#include "files/WorldDirectories.h"
#include "support/TempDir.h"
#include "text/Cp1251.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using storage::WorldDirResult;
using text::W;

namespace {

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

} // namespace

TEST(WorldDirectories, ListsSubdirectoriesExceptHiddenOnes) {
    TempDir dir;
    const fs::path maps = dir.path() / "Maps";
    TempDir::Write(maps / "Alpha" / "local.ini", "");
    TempDir::Write(maps / "Мир" / "Zone.tk2", "");
    TempDir::Write(maps / ".git" / "config", "");
    TempDir::Write(maps / ".hidden" / "local.ini", "");
    TempDir::Write(maps / "notes.txt", "a file is no world");
    EXPECT_EQ(Sorted(storage::ListWorlds(maps)),
              Sorted({"Alpha", W("Мир")})); // names come back as Windows-1251
    EXPECT_TRUE(storage::ListWorlds(dir.path() / "NoMaps").empty());
}

TEST(WorldDirectories, DeletesTheWholeWorldButNeverTheLoadedOne) {
    TempDir dir;
    const fs::path maps = dir.path() / "Maps";
    for (const char* f : {"Zone.tk2", "local.ini", "objects.dat", "skin/small.png"})
        TempDir::Write(maps / "Old" / f, "x");
    TempDir::Write(maps / "Loaded" / "Zone.tk2", "x");
    TempDir::Write(maps / "Other" / "Zone.tk2", "x");
    const fs::path loaded = maps / "Loaded";

    // The loaded world stays, in whatever case its name is given.
    EXPECT_EQ(storage::DeleteWorld(maps, "Loaded", loaded), WorldDirResult::Loaded);
    EXPECT_EQ(storage::DeleteWorld(maps, "LOADED", loaded), WorldDirResult::Loaded);
    EXPECT_TRUE(fs::exists(loaded / "Zone.tk2"));
    EXPECT_TRUE(storage::IsLoadedWorld(maps, "loaded", loaded));
    EXPECT_FALSE(storage::IsLoadedWorld(maps, "Old", loaded));
    EXPECT_FALSE(storage::IsLoadedWorld(maps, "Old", {}));

    // Zone files, profile, object base and subdirectories all go.
    EXPECT_EQ(storage::DeleteWorld(maps, "old", loaded), WorldDirResult::Done);
    EXPECT_FALSE(fs::exists(maps / "Old"));
    EXPECT_EQ(storage::DeleteWorld(maps, "Old", loaded), WorldDirResult::Missing);

    // Names that would reach outside "Maps", or hidden ones, delete nothing.
    for (const char* name : {"", ".", "..", "../Maps", "Other/..", ".hidden"})
        EXPECT_EQ(storage::DeleteWorld(maps, name, {}), WorldDirResult::Invalid) << name;
    EXPECT_TRUE(fs::exists(maps / "Other" / "Zone.tk2"));
    EXPECT_TRUE(fs::exists(maps));
}

TEST(WorldDirectories, DeletingReportsWhatTheFileSystemRefused) {
    TempDir dir;
    const fs::path maps = dir.path() / "Maps";
    TempDir::Write(maps / "Stuck" / "inner" / "Zone.tk2", "x");
    // A directory whose entries cannot be removed (not for root, who may remove anything).
    std::error_code ec;
    fs::permissions(maps / "Stuck" / "inner", fs::perms::owner_write, fs::perm_options::remove, ec);
    const WorldDirResult r = storage::DeleteWorld(maps, "Stuck", {});
    const bool stayed = fs::exists(maps / "Stuck");
    fs::permissions(maps / "Stuck" / "inner", fs::perms::owner_write, fs::perm_options::add, ec);
    // Success is claimed exactly when the directory is gone.
    EXPECT_EQ(r == WorldDirResult::Failed, stayed);
    EXPECT_EQ(r == WorldDirResult::Done, !stayed);
}

TEST(WorldDirectories, RenamingNeverReplacesAWorld) {
    TempDir dir;
    const fs::path maps = dir.path() / "Maps";
    TempDir::Write(maps / "A" / "Zone.tk2", "a");
    TempDir::Write(maps / "B" / "Zone.tk2", "b");
    TempDir::Write(maps / "Loaded" / "Zone.tk2", "l");
    const fs::path loaded = maps / "Loaded";

    EXPECT_EQ(storage::RenameWorld(maps, "A", "B", loaded), WorldDirResult::Exists);
    EXPECT_EQ(storage::RenameWorld(maps, "A", "b", loaded), WorldDirResult::Exists);
    EXPECT_EQ(TempDir::Read(maps / "B" / "Zone.tk2"), "b");
    EXPECT_EQ(storage::RenameWorld(maps, "Loaded", "New", loaded), WorldDirResult::Loaded);
    EXPECT_EQ(storage::RenameWorld(maps, "A", "../A", loaded), WorldDirResult::Invalid);
    EXPECT_EQ(storage::RenameWorld(maps, "A", ".A", loaded), WorldDirResult::Invalid);
    EXPECT_EQ(storage::RenameWorld(maps, "Nope", "X", loaded), WorldDirResult::Missing);

    EXPECT_EQ(storage::RenameWorld(maps, "A", W("Мир"), loaded), WorldDirResult::Done);
    EXPECT_EQ(TempDir::Read(maps / "Мир" / "Zone.tk2"), "a");
    // Only the letter case changes.
    EXPECT_EQ(storage::RenameWorld(maps, W("Мир"), W("МИР"), loaded), WorldDirResult::Done);
    EXPECT_EQ(TempDir::Read(maps / "МИР" / "Zone.tk2"), "a");
}
