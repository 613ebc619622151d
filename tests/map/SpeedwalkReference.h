#pragma once
// The speedwalk search written the slow, literal way: a list of (path, room) entries whose
// membership is tested by scanning it, levels dropped from the front after every pass, paths
// kept as whole texts. The fast search must give exactly the same command strings.

#include "map/MapModel.h"
#include "profile/WorldProfile.h"
#include "text/Text.h"

#include <optional>
#include <string>
#include <vector>

namespace maptest {

class ReferenceSpeedwalk {
public:
    ReferenceSpeedwalk(map::MapWorld& world, const map::DirectionWords& words)
        : world_(world), words_(words), p_(world.Profile()) {}

    std::optional<std::string> FindWay(map::TMudRoom2* from, map::TMudRoom2* to, int maxPasses) {
        target_ = to;
        list_.assign(1, {"", from});
        int passes = 0, previousStart = 0, previousSize = 1, added = 1;
        const std::string order[] = {p_.MoveWords[0],
                                     p_.MoveWords[1],
                                     p_.MoveWords[3],
                                     p_.MoveWords[2],
                                     p_.MoveWords[4],
                                     p_.MoveWords[5],
                                     "++"};
        while (!InList(to) && added > 0 && passes < maxPasses) {
            ++passes;
            added = 0;
            const std::size_t end = list_.size();
            for (std::size_t i = previousStart; i < end; ++i)
                for (const std::string& d : order) {
                    const Entry e = list_[i]; // copied: the list grows meanwhile
                    added += AddRoomSW(e.room, e.path, d);
                }
            list_.erase(list_.begin(), list_.begin() + previousStart);
            previousStart = previousSize;
            previousSize = added;
        }
        for (const Entry& e : list_)
            if (e.room == to) return e.path.substr(1);
        return std::nullopt;
    }

private:
    struct Entry {
        std::string path;
        map::TMudRoom2* room;
    };

    bool InList(const map::TMudRoom2* r) const {
        for (const Entry& e : list_)
            if (e.room == r) return true;
        return false;
    }
    bool Acceptable(const map::TMudRoom2* r, bool flyDT = true) const {
        if (InList(r) || r->DT) return false;
        return r == target_ || (!r->Agro && !(flyDT && r->FlyDT) && !r->NoStep);
    }
    std::string PhraseOfWord(const std::string& d) const {
        for (int i = 0; i < 6; ++i)
            if (p_.MoveWords[i] == d) return map::Phrase(p_, static_cast<map::Dir>(i));
        return "\x01"; // "++" has no phrase
    }
    std::string WordOfPhrase(const std::string& f2) const {
        for (int i = 0; i < 6; ++i)
            if (map::Phrase(p_, static_cast<map::Dir>(i)) == f2) return p_.MoveWords[i];
        return "";
    }
    static bool ReadBool(const std::string& f5, const std::string& f4) {
        const std::string t = text::Trim(f5);
        if (t.empty()) return f4.empty();
        long long v = 0;
        if (text::ParseInt(t, v)) return v != 0;
        return text::EqualsIgnoreCaseLatin(t, "true");
    }

    int AddRoomSW(map::TMudRoom2* r, const std::string& P, const std::string& d) {
        int added = 0;
        const std::size_t semi = P.rfind(';');
        const std::string last = semi == std::string::npos ? "" : P.substr(semi + 1, 100);
        if (words_.Opposite(d) == last) return 0;
        if (d != "++" && !(words_.WasStep(*r, d) && words_.HasExit(*r, d))) return 0;
        std::string step = d;
        map::TMudRoom2* t = nullptr;
        for (const std::string& line : r->AutoMaps) {
            const std::string f1 = text::GetField(line, 1), f2 = text::GetField(line, 2),
                              f3 = text::GetField(line, 3), f4 = text::GetField(line, 4),
                              f5 = text::GetField(line, 5);
            if (f1.empty() && !f4.empty() && PhraseOfWord(d) == f2) step = f4 + ";" + step;
            if (!f1.empty() && (PhraseOfWord(d) == f2 || d == "++") &&
                (f2.empty() || f2[0] != '=')) {
                long long tag = 0;
                t = text::ParseInt(f3, tag) && tag >= 1
                        ? world_.GlobalFindRoomByTag(static_cast<int>(tag), f1)
                        : nullptr;
            }
            if (t && d == "++") {
                // A direction's movement word; for an exit that is no direction, the text
                // that takes it (none: no way through it).
                const std::string w = WordOfPhrase(f2);
                if (!w.empty())
                    step = w;
                else if (!f1.empty() && text::DecodeEscapes(f2).empty())
                    t = nullptr;
                else if (!f1.empty())
                    step = text::DecodeEscapes(f2);
            }
            if (t && Acceptable(t)) {
                if (ReadBool(f5, f4))
                    list_.push_back({P + ";" + (f4.empty() ? "" : f4 + ";") + step, t});
                else
                    list_.push_back({P + ";" + f4, t});
                ++added;
            }
        }
        if (t || d == "++") return added;
        int x = r->X, y = r->Y, l = r->L;
        words_.ReposXYL(d, x, y, l);
        const std::string& zone = world_.ZoneOf(r);
        map::TMudRoom2* n = world_.GlobalFindRoom(x, y, l, zone);
        if (!n || !Acceptable(n)) return added;
        list_.push_back({P + ";" + step, n});
        ++added;
        while (n->Pipe) {
            words_.ReposXYL(d, x, y, l);
            n = world_.GlobalFindRoom(x, y, l, zone);
            if (!n) break;
            if (Acceptable(n, false)) {
                list_.push_back({P + ";" + d, n});
                ++added;
            }
        }
        return added;
    }

    map::MapWorld& world_;
    const map::DirectionWords& words_;
    const profile::WorldProfile& p_;
    std::vector<Entry> list_;
    map::TMudRoom2* target_ = nullptr;
};

} // namespace maptest
