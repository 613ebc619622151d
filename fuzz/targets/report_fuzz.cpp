// Item and creature reports: the template language of StuffTem and MobTem matched against the
// game's text, and the capture step that files what fits.
//
// Input: a template piece, a text piece, then the item template (as written in the profile,
// escapes and all), its path rule, the creature template and its path rule, and the pending
// text that capture looks at.
//
// Properties: Match consumes a prefix of the text and leaves the rest; a miss changes nothing.
// Capture only ever removes text, and only what it filed; a path rule that is not a list of
// numbers is refused before its report is taken.

#include "FuzzInput.h"
#include "profile/WorldProfile.h"
#include "tracking/ReportTemplate.h"

#include <stdexcept>

namespace {

struct Sink : tracking::ReportSink {
    std::size_t filed = 0;
    Filed FileReport(const std::string& root, const std::vector<std::string>& titles,
                     const std::vector<std::string>&) override {
        ++filed;
        Filed f;
        f.displayName = root;
        for (const auto& t : titles)
            f.displayName += "\\" + t;
        return f;
    }
    void SendToClient(const std::string&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::string tmpl = in.Piece(1024);
    const std::string original = in.Piece(16384);

    std::string text = original;
    std::vector<std::string> fields{"before"};
    const std::size_t n = tracking::Match(text, tmpl, fields);
    FUZZ_CHECK(n <= original.size());
    FUZZ_CHECK(text == original.substr(n));
    if (n == 0) FUZZ_CHECK(fields.size() == 1);
    FUZZ_CHECK(fields[0] == "before");
    (void)tracking::TemplateHead(tmpl);

    profile::WorldProfile profile;
    profile.StuffTem = in.Piece(1024);
    profile.StuffSeq = in.Piece(64);
    profile.MobTem = in.Piece(1024);
    profile.MobSeq = in.Piece(64);
    const std::string pendingBefore = in.Piece(16384);
    std::string pending = pendingBefore;
    Sink sink;
    try {
        tracking::CaptureReports(pending, profile, sink);
    } catch (const std::runtime_error&) {
        // The item report may have been filed before the creature rule was found broken.
        if (sink.filed == 0) FUZZ_CHECK(pending == pendingBefore);
    }
    FUZZ_CHECK(pending.size() <= pendingBefore.size());
    if (sink.filed == 0) FUZZ_CHECK(pending == pendingBefore);
    return 0;
}
