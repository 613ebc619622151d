#pragma once
// The object base of a world: the tree of item and creature reports with its file
// "objects.dat", the text pane's contents for the node shown, the two change flags, the
// exchange of reports through group and clan tells, and the searches. The object page shows
// it and reports the user's edits back here; everything the page needs to follow goes through
// `Page` hooks.

#include "files/ObjectTree.h"
#include "world/WorldUi.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace profile {
struct WorldProfile;
}

namespace storage {

class Language;

// What the object base sends through the relay.
class ObjectBaseHost {
public:
    virtual ~ObjectBaseHost() = default;
    virtual void SendToClient(const std::string& bytes) = 0;
    virtual void SendToServer(const std::string& bytes) = 0;
    virtual bool ServerConnected() const = 0;
};

// A hit of the text search: the node, its line, the match's first character and length, and
// its offset in the pane's text when every line break counts two characters.
struct ObjectMatch {
    ObjectNode* node = nullptr;
    std::size_t line = 0, start = 0, length = 0, offset = 0;
};

class ObjectBase {
public:
    // The banners that frame an item sent through a tell.
    static constexpr std::string_view kBegin = "Quarvelin objecs base <begin> (v.2)";
    static constexpr std::string_view kEnd = "Quarvelin objecs base <end> (v.2)";
    static constexpr std::string_view kMarker = "->>";

    ObjectBase(const profile::WorldProfile& profile, const Language& language, WorldUi& ui,
               ObjectBaseHost& host, std::string versionText);

    // The page follows the base through these (all optional).
    struct Page {
        std::function<void()> treeChanged;             // nodes added, removed or moved
        std::function<void(ObjectNode*)> selected;     // select this node in the tree
        std::function<void()> paneChanged;             // the pane's lines were replaced
        std::function<void(const ObjectMatch&)> match; // show the page, select the match
    } page;

    ObjectTree& Tree() { return tree_; }
    const ObjectTree& Tree() const { return tree_; }

    // ---- Flags ----
    bool Unsaved() const { return unsaved_; }
    bool UnchangedSinceLoad() const { return unchangedSinceLoad_; }
    // The settings' ReplaceLore: a received report replaces a different one already filed.
    bool replaceLore = true;

    // ---- The tree's selection and the text pane ----
    ObjectNode* Selected() const { return selected_; }
    ObjectNode* Shown() const { return shown_; }
    const std::vector<std::string>& Pane() const { return pane_; }
    bool PaneEdited() const { return paneEdited_; }
    // Selecting a node shows it: the pane is stored into the node shown before (when edited),
    // then filled with the node's text.
    void Select(ObjectNode* node);
    // The user edited the pane.
    void EditPane(std::vector<std::string> lines);
    // Stores an edited pane into the shown node (the pane lost the focus).
    void StorePane();
    // While a title is being edited in place, adding nodes does nothing.
    bool editingTitle = false;

    // ---- File ----
    // The world's "objects.dat".
    void SetFile(std::filesystem::path path) { path_ = std::move(path); }
    const std::filesystem::path& File() const { return path_; }
    // Another world is loading: the base and the pane are emptied, both flags reset.
    void Clear();
    // tbSaveObjectsClick. False (after a line in the log, the unsaved flag kept) when the file
    // could not be written.
    bool tbSaveObjectsClick();
    // tbDiscardClick: reads the file anew, dropping every change; a missing file changes nothing.
    void tbDiscardClick();
    // nAddFromFileClick after the file was chosen. False when the file could not be read.
    bool AddFromFile(const std::filesystem::path& file);
    // Saved with the world when something changed since the last save.
    bool SaveIfChanged() { return !unsaved_ || tbSaveObjectsClick(); }
    // The window closes: when the base changed since it was read, ask whether to save it.
    void AskSaveOnClose();

    // ---- Editing the tree ----
    // nAddNodeClick / nAddChildClick: an untitled node after the selected node's last sibling
    // or as its last child (a last top-level node without a selection), selected. Null while a
    // title is being edited. The page then puts its title into editing.
    ObjectNode* nAddNodeClick();
    ObjectNode* nAddChildClick();
    void SetTitle(ObjectNode* node, std::string_view title);
    void nDeleteNodeClick();
    void nSortClick();
    bool SortEnabled() const { return selected_ && !selected_->Children().empty(); }
    bool DeleteEnabled() const { return selected_ != nullptr; }
    bool TellEnabled() const;
    // Drag and drop; false when the target lies inside the dragged subtree.
    bool Drop(ObjectNode* node, ObjectNode* target, bool asFirstChild);

    // ---- Tells ----
    // nGroupTellClick / nClanTellClick: sends the selected node through the profile's group or
    // clan tell word.
    void nGroupTellClick();
    void nClanTellClick();
    // The commands that send a node through a tell word, each ending in CR LF, as the wire
    // carries them (every 0xFF doubled).
    std::string TellCommands(const ObjectNode& node, const std::string& word) const;
    // One "->>" line of the game's text, colour removed, marker included.
    void ReceiveLine(std::string_view line);
    bool Receiving() const { return receiving_; }

    // ---- Reports captured from the game ----
    // Files report lines under a top-level node (found ignoring case) and a path of titles
    // (empty titles skipped), shows the node and stores the lines as an edit. Returns the
    // display name (titles joined by "\") and whether the node had a text before.
    std::pair<std::string, bool> FileReport(std::string_view root,
                                            const std::vector<std::string>& titles,
                                            const std::vector<std::string>& lines);

    // ---- Searches ----
    // The next match of `text` in the nodes' texts (ignoring case, Cyrillic too) from the
    // search position; the node is shown and the page told. At the end the position is
    // forgotten and "StringNotFound" shown; an empty text does nothing.
    std::optional<ObjectMatch> FindNext(std::string_view text);
    // Replace All after asking; returns the number of replacements (nullopt when not asked on).
    std::optional<std::size_t> ReplaceAll(std::string_view text, std::string_view replacement);
    // Replace: the last match in the pane becomes the replacement, then the next is searched.
    std::optional<ObjectMatch> ReplaceNext(std::string_view text, std::string_view replacement);
    void ForgetSearchPosition() { searchNode_ = nullptr; }

    // The client's item search: the answer lines for `query`, selecting the nodes found.
    std::string SearchForClient(std::string_view query);

private:
    std::string Text(std::string_view section, std::string_view key) const;
    void Report(const std::string& message);
    void Tell(const std::string& word);
    void FileReceived();
    void StoreLines(ObjectNode* node, std::vector<std::string> lines);
    void ForgetShown();
    void Changed() {
        if (page.treeChanged) page.treeChanged();
    }
    // The user changed the tree itself: saved with the world, asked about on close.
    void Edited() {
        unsaved_ = true;
        unchangedSinceLoad_ = false;
    }
    ObjectNode* AddAfterSelection(bool asChild);

    const profile::WorldProfile& profile_;
    const Language& language_;
    WorldUi& ui_;
    ObjectBaseHost& host_;
    std::string versionText_;
    std::filesystem::path path_;
    ObjectTree tree_;
    bool unsaved_ = false;
    bool toldCantSave_ = false; // the player was told that the file cannot be written
    bool unchangedSinceLoad_ = true;

    ObjectNode* selected_ = nullptr;
    ObjectNode* shown_ = nullptr;
    std::vector<std::string> pane_;
    bool paneEdited_ = false;

    bool receiving_ = false;
    std::size_t cut_ = 0;
    std::vector<std::string> received_;

    ObjectNode* searchNode_ = nullptr;
    std::size_t searchLine_ = 0, searchPos_ = 0;
    std::optional<ObjectMatch> lastMatch_;
};

} // namespace storage
