#include "world/ObjectBase.h"

#include "files/FileSaver.h"
#include "files/Language.h"
#include "files/Paths.h"
#include "profile/WorldProfile.h"
#include "text/Text.h"

namespace storage {

namespace {
std::string DoubleYa(std::string s, bool on) {
    return on ? text::ReplaceAll(s, "\xFF", "\xFF\xFF") : s;
}
} // namespace

ObjectBase::ObjectBase(const profile::WorldProfile& profile, const Language& language, WorldUi& ui,
                       ObjectBaseHost& host, std::string versionText)
    : profile_(profile), language_(language), ui_(ui), host_(host),
      versionText_(std::move(versionText)) {}

std::string ObjectBase::Text(std::string_view section, std::string_view key) const {
    return language_.GetCaption(section, key);
}

void ObjectBase::Report(const std::string& message) {
    host_.SendToClient(
        DoubleYa("\r\n\x1b[1;32m" + message + "\x1b[0m\r\n\r\n", profile_.AddDoubleYaLor));
}

// ---- Selection and pane ----

void ObjectBase::Select(ObjectNode* node) {
    StorePane();
    selected_ = node;
    shown_ = node;
    pane_ = node ? node->Text() : std::vector<std::string>();
    paneEdited_ = false;
    lastMatch_.reset();
    if (page.selected) page.selected(node);
    if (page.paneChanged) page.paneChanged();
}

void ObjectBase::EditPane(std::vector<std::string> lines) {
    pane_ = std::move(lines);
    paneEdited_ = true;
}

void ObjectBase::StorePane() {
    if (!paneEdited_ || !shown_) return;
    unchangedSinceLoad_ = false;
    unsaved_ = true;
    shown_->TextList() = pane_;
    paneEdited_ = false;
}

void ObjectBase::StoreLines(ObjectNode* node, std::vector<std::string> lines) {
    Select(node);
    EditPane(std::move(lines));
    StorePane();
    if (page.paneChanged) page.paneChanged();
}

void ObjectBase::ForgetShown() {
    shown_ = nullptr;
    pane_.clear();
    paneEdited_ = false;
    lastMatch_.reset();
    if (page.paneChanged) page.paneChanged();
}

// ---- File ----

void ObjectBase::Clear() {
    ForgetShown();
    selected_ = nullptr;
    searchNode_ = nullptr;
    tree_.Clear();
    unsaved_ = false;
    unchangedSinceLoad_ = true;
    receiving_ = false;
    received_.clear();
    Changed();
}

bool ObjectBase::tbSaveObjectsClick() {
    StorePane();
    if (path_.empty()) return false;
    const SaveResult r = SaveFile(path_, WriteObjects(tree_, versionText_), /*durable=*/true);
    if (!r.ok) {
        // The changes stay marked, so that the next save tries again. The player hears of it
        // once until a save works again (the world's saves would otherwise repeat it).
        ui_.LogError("objects.dat: " + r.error);
        if (!toldCantSave_)
            ui_.ShowError(Text("MainForm", "CantSaveObjects") + " <" + PathToText(path_) + ">\r\n" +
                          r.error);
        toldCantSave_ = true;
        return false;
    }
    unsaved_ = false;
    toldCantSave_ = false;
    return true;
}

void ObjectBase::tbDiscardClick() {
    std::string bytes;
    std::error_code ec;
    if (path_.empty() || !std::filesystem::is_regular_file(path_, ec) || !ReadFile(path_, bytes))
        return;
    ForgetShown();
    selected_ = nullptr;
    searchNode_ = nullptr;
    unsaved_ = false;
    tree_.Clear();
    const ObjectReadResult r = ReadObjects(bytes, tree_);
    if (!r.ok()) ui_.LogError("objects.dat: " + r.error);
    unchangedSinceLoad_ = true;
    Changed();
}

bool ObjectBase::AddFromFile(const std::filesystem::path& file) {
    std::string bytes;
    if (!ReadFile(file, bytes)) {
        ui_.LogError("Cannot read " + PathToText(file));
        return false;
    }
    StorePane();
    const ObjectReadResult r = ReadObjects(bytes, tree_);
    if (!r.ok()) ui_.LogError(PathToText(file.filename()) + ": " + r.error);
    unchangedSinceLoad_ = true;
    unsaved_ = true;
    Changed();
    return true;
}

void ObjectBase::AskSaveOnClose() {
    StorePane();
    if (unchangedSinceLoad_) return;
    if (ui_.Ask(Text("MainForm", "ObjectsChanged"), false) == Answer::Yes) tbSaveObjectsClick();
}

// ---- Editing the tree ----

ObjectNode* ObjectBase::AddAfterSelection(bool asChild) {
    if (editingTitle) return nullptr;
    ObjectNode* parent = selected_ ? (asChild ? selected_ : selected_->Parent()) : nullptr;
    ObjectNode* node = tree_.Add(parent, "");
    Edited();
    Changed();
    Select(node);
    return node;
}

ObjectNode* ObjectBase::nAddNodeClick() {
    return AddAfterSelection(false);
}

ObjectNode* ObjectBase::nAddChildClick() {
    return AddAfterSelection(true);
}

void ObjectBase::SetTitle(ObjectNode* node, std::string_view title) {
    if (!node || node->Title() == title) return;
    tree_.SetTitle(node, title);
    Edited();
}

void ObjectBase::nDeleteNodeClick() {
    if (!selected_) return;
    if (shown_ && ObjectTree::Within(shown_, selected_)) ForgetShown();
    if (searchNode_ && ObjectTree::Within(searchNode_, selected_)) searchNode_ = nullptr;
    tree_.Remove(selected_);
    selected_ = nullptr;
    Edited();
    Changed();
}

void ObjectBase::nSortClick() {
    if (!SortEnabled()) return;
    tree_.SortChildren(selected_);
    Edited();
    Changed();
}

bool ObjectBase::TellEnabled() const {
    return selected_ && selected_->HasText() && host_.ServerConnected();
}

bool ObjectBase::Drop(ObjectNode* node, ObjectNode* target, bool asFirstChild) {
    const bool moved =
        asFirstChild ? tree_.MoveToFirstChild(node, target) : tree_.MoveBefore(node, target);
    if (moved) {
        Edited();
        Changed();
    }
    return moved;
}

// ---- Tells ----

std::string ObjectBase::TellCommands(const ObjectNode& node, const std::string& word) const {
    const std::string head = word + " " + std::string(kMarker);
    std::string out = head + std::string(kBegin) + "\r\n";
    out += head + ObjectTree::Key(&node) + "\r\n";
    for (const std::string& line : node.Text())
        out += head + line + "\r\n";
    out += head + std::string(kEnd) + "\r\n";
    // The letter "я" is the telnet IAC byte: the game must receive it doubled, whatever the
    // client-side AddDoubleYa says.
    return DoubleYa(std::move(out), true);
}

void ObjectBase::Tell(const std::string& word) {
    StorePane();
    if (!selected_ || !selected_->HasText()) return;
    host_.SendToServer(TellCommands(*selected_, word));
}

void ObjectBase::nGroupTellClick() {
    Tell(profile_.GroupTell);
}

void ObjectBase::nClanTellClick() {
    Tell(profile_.ClanTell);
}

void ObjectBase::ReceiveLine(std::string_view line) {
    std::string_view taken = line;
    if (taken.substr(0, kMarker.size()) == kMarker) taken.remove_prefix(kMarker.size());
    if (taken.find(kBegin) != std::string_view::npos) {
        receiving_ = true;
        // Whatever the game adds after a tell's text (a closing quote) is cut from every line.
        cut_ = taken.size() - kBegin.size();
        received_.clear();
    } else if (taken.find(kEnd) != std::string_view::npos) {
        if (receiving_) FileReceived();
        receiving_ = false;
    } else if (receiving_) {
        received_.emplace_back(taken.substr(0, taken.size() > cut_ ? taken.size() - cut_ : 0));
    }
}

void ObjectBase::FileReceived() {
    std::vector<std::string> lines = std::move(received_);
    received_.clear();
    if (lines.empty()) return;
    const std::string key = lines.front();
    lines.erase(lines.begin());
    ObjectNode* node = nullptr;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = key.find('.', start);
        node = tree_.FindOrAdd(node, std::string_view(key).substr(start, dot - start));
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    if (!node) return; // a key of dots only names nothing
    Changed();
    const std::string name = text::ReplaceAll(key, ".", "\\");
    if (!node->HasText()) {
        StoreLines(node, std::move(lines));
        Report("Item added: " + name);
    } else if (replaceLore && node->Text() != lines) {
        StoreLines(node, std::move(lines));
        Report("Item replaced: " + name);
    } else {
        Select(node);
    }
}

// ---- Reports ----

std::pair<std::string, bool> ObjectBase::FileReport(std::string_view root,
                                                    const std::vector<std::string>& titles,
                                                    const std::vector<std::string>& lines) {
    ObjectNode* node = tree_.FindOrAdd(nullptr, root);
    if (!node) return {std::string(), false};
    std::string name = node->Title();
    for (const std::string& t : titles) {
        if (t.empty()) continue;
        node = tree_.FindOrAdd(node, t);
        name += "\\" + node->Title();
    }
    Changed();
    const bool replaced = node->HasText();
    StoreLines(node, lines);
    return {name, replaced};
}

// ---- Searches ----

std::optional<ObjectMatch> ObjectBase::FindNext(std::string_view wanted) {
    if (wanted.empty()) return std::nullopt;
    // An edit in the pane is kept before the pane shows the match.
    StorePane();
    if (!searchNode_) {
        searchNode_ = tree_.Next(nullptr);
        searchLine_ = 0;
        searchPos_ = 0;
    }
    for (ObjectNode* node = searchNode_; node; node = tree_.Next(node)) {
        const auto& lines = node->Text();
        for (std::size_t l = searchLine_; l < lines.size(); ++l) {
            const std::size_t from = l == searchLine_ ? searchPos_ : 0;
            if (from > lines[l].size()) continue;
            const std::size_t at = text::FindIgnoreCaseCp1251(lines[l], wanted, from);
            if (at == std::string::npos) continue;
            searchNode_ = node;
            searchLine_ = l;
            searchPos_ = at + wanted.size();
            ObjectMatch m{node, l, at, wanted.size(), at};
            for (std::size_t i = 0; i < l; ++i)
                m.offset += lines[i].size() + 2;
            ForgetShown();
            Select(node);
            lastMatch_ = m;
            if (page.match) page.match(m);
            return m;
        }
        searchLine_ = 0;
        searchPos_ = 0;
    }
    searchNode_ = nullptr;
    ui_.ShowError(Text("MainForm", "StringNotFound") + " <" + std::string(wanted) + ">");
    return std::nullopt;
}

std::optional<std::size_t> ObjectBase::ReplaceAll(std::string_view wanted,
                                                  std::string_view replacement) {
    if (wanted.empty()) return std::nullopt;
    const std::string question = Text("MainForm", "Replace") + " '" + std::string(wanted) +
                                 "' >> '" + std::string(replacement) + "' " +
                                 Text("MainForm", "InAllDescriptions");
    if (ui_.Ask(question, true) != Answer::Yes) return std::nullopt;
    StorePane();
    std::size_t count = 0;
    tree_.ForEach([&](ObjectNode* node) {
        if (!node->HasText()) return;
        for (std::string& line : *node->TextList()) {
            for (std::size_t at = text::FindIgnoreCaseCp1251(line, wanted, 0);
                 at != std::string::npos;
                 at = text::FindIgnoreCaseCp1251(line, wanted, at + replacement.size())) {
                line.replace(at, wanted.size(), replacement);
                ++count;
                unchangedSinceLoad_ = false;
            }
        }
    });
    // The replaced texts are changes like any other: the next world save writes them.
    if (count) unsaved_ = true;
    ForgetShown();
    Select(selected_);
    ui_.ShowError(Text("MainForm", "FoundAndReplaced") + " " + std::to_string(count) + ".");
    return count;
}

std::optional<ObjectMatch> ObjectBase::ReplaceNext(std::string_view wanted,
                                                   std::string_view replacement) {
    if (lastMatch_ && shown_ == lastMatch_->node && lastMatch_->line < pane_.size()) {
        std::string& line = pane_[lastMatch_->line];
        if (lastMatch_->start + lastMatch_->length <= line.size()) {
            line.replace(lastMatch_->start, lastMatch_->length, replacement);
            searchPos_ = lastMatch_->start + replacement.size();
            paneEdited_ = true;
            StorePane();
            lastMatch_.reset();
            if (page.paneChanged) page.paneChanged();
        }
    }
    return FindNext(wanted);
}

std::string ObjectBase::SearchForClient(std::string_view query) {
    const bool contains = !query.empty() && query.front() == '*';
    const bool begins = !contains && !query.empty() && query.back() == '*';
    std::string_view q = query;
    if (contains) q.remove_prefix(1);
    if (begins) q.remove_suffix(1);
    auto matches = [&](const std::string& title) {
        if (contains) return text::FindIgnoreCaseCp1251(title, q) != std::string::npos;
        if (begins)
            return title.size() >= q.size() &&
                   text::EqualsIgnoreCaseCp1251(std::string_view(title).substr(0, q.size()), q);
        return title == query;
    };

    std::string out;
    std::size_t found = 0;
    auto send = [&](ObjectNode* node) {
        if (found == 0) out += "\r\n\x1b[1;32mDatabase search result:\x1b[0m\r\n\r\n";
        for (const std::string& line : node->Text())
            out += DoubleYa(line, profile_.AddDoubleYaLor) + "\r\n";
        out += "-----\r\n";
        ++found;
        Select(node);
    };
    tree_.ForEach([&](ObjectNode* node) {
        if (!matches(node->Title())) return;
        if (node->HasText()) send(node);
        if (node->Children().size() == 1 && node->Children().front()->HasText())
            send(node->Children().front().get());
    });
    if (found)
        out += "\r\n\x1b[1;32m" + std::to_string(found) + " item(s) found\x1b[0m\r\n\r\n";
    else
        out += "\r\n\x1b[1;31mDatabase search has no results\x1b[0m\r\n";
    return out;
}

} // namespace storage
