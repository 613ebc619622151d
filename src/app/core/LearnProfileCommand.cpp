#include "app/core/LearnProfileCommand.h"

#include "files/FileSaver.h"
#include "files/LearntProfileFile.h"
#include "files/Paths.h"
#include "text/Cp1251.h"

#include <cstdio>

namespace app {

namespace {
void Say(const std::string& cp1251) {
    std::fprintf(stderr, "%s\n", text::ToUnicode(cp1251).toUtf8().constData());
}
} // namespace

int LearnProfileCommand(const std::filesystem::path& file, const std::filesystem::path& out) {
    const std::string name = storage::PathToText(file);
    std::string bytes;
    if (!storage::ReadFile(file, bytes)) {
        Say("quarvelin: Cannot read the session file " + name + ".");
        return kUnreadable;
    }
    const storage::SessionReadResult session = storage::ReadSession(bytes);
    if (session.records.empty() && !session.ok()) {
        Say("quarvelin: The session file " + name + " is " + session.error + ".");
        return kUnreadable;
    }
    if (!session.ok())
        Say("quarvelin: The session file " + name + " is " + session.error +
            ": learning from the " + std::to_string(session.records.size()) +
            " records before it.");

    const tracking::LearntProfile learnt =
        tracking::LearnProfile(storage::LearnPieces(session.records));
    for (const tracking::LearnRemark& r : learnt.remarks)
        Say(std::string(r.Missing() ? "missing: " : "note: ") + tracking::RemarkText(r));
    if (!learnt.Learnt()) {
        // What was seen still helps a player who writes the rest by hand.
        const std::string seen = storage::LearntProfileText(learnt);
        if (!learnt.keys.empty()) Say("seen, but not enough to recognise rooms:\n" + seen);
        Say("quarvelin: No profile that recognises rooms could be learnt from " + name + ".");
        return kNothingLearnt;
    }
    Say("learnt " + std::to_string(learnt.keys.size()) + " keys; they recognise " +
        std::to_string(learnt.rooms.size()) + " rooms in the session.");

    if (out.empty()) {
        const std::string text = storage::LearntProfileText(learnt);
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
    } else {
        std::string error;
        if (!storage::WriteLearntProfile(learnt, out, error)) {
            Say("quarvelin: " + error);
            return kCannotWrite;
        }
        Say("written to " + storage::PathToText(out));
    }
    return session.ok() ? kLearnt : kDamaged;
}

} // namespace app
