#pragma once
// Item and creature reports: the small template language of StuffTem and MobTem, and the step
// of the tracking pass that files a report that fits into the object base.
//
// A template is made of literals and the tokens CR LF (a line break, matched as a literal),
// "/*" (any text on the line before the next literal), "//" (the next literal may lie on a
// later line), "/$" (capture up to the next literal), "/+" (the next literal is optional; its
// field holds the literal or "") and "[[" a "][" b "]]" (the first alternative that fits).

#include "profile/WorldProfile.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tracking {

// Matches `tmpl` against the beginning of `text` and returns the number of bytes consumed
// (0: no match). On a match `text` loses what was consumed and `fields` gains the captures in
// order; on no match both stay as they were. A template still unfinished when the text runs
// out counts as matched up to the end of the text.
std::size_t Match(std::string& text, std::string_view tmpl, std::vector<std::string>& fields);

// The literal start a report is looked for by: the template up to its first token other than
// CR LF (empty when it begins with one), or all of it when it has none.
std::string_view TemplateHead(std::string_view tmpl);

// What capturing needs of the object base.
class ReportSink {
public:
    virtual ~ReportSink() = default;
    struct Filed {
        std::string displayName; // the root node's title, then "\" + each title walked
        bool replaced = false;   // the node had a text before
    };
    // Files the report lines under the top-level node `root` (found ignoring case, added
    // when missing), then down the titles with find-or-add (exact case; empty titles are
    // skipped), shows the node and stores the lines as its text.
    virtual Filed FileReport(const std::string& root, const std::vector<std::string>& titles,
                             const std::vector<std::string>& lines) = 0;
    virtual void SendToClient(const std::string& bytes) = 0;
};

// Root nodes of the object base: "Предметы" and "Мобы".
inline constexpr char kItemsRoot[] = "\xCF\xF0\xE5\xE4\xEC\xE5\xF2\xFB";
inline constexpr char kCreaturesRoot[] = "\xCC\xEE\xE1\xFB";

// Looks for one item report (StuffTem, StuffSeq), then one creature report (MobTem, MobSeq) in
// the pending text; each that fits and starts before the exit line is filed, removed from the
// pending text and announced to the client. A report that the pending text holds only the
// beginning of is left for a later read. Throws std::runtime_error for a path rule entry that
// is not a number (before anything is changed).
void CaptureReports(std::string& pendingText, const profile::WorldProfile& profile,
                    ReportSink& sink);

} // namespace tracking
