// MSDP and GMCP, the client's side: its answers and requests, merged with the program's own
// before they reach the game (no answer twice, no request that drops the program's room).

#include "relay/OutOfBand.h"
#include "relay/TelnetBytes.h"
#include "text/Text.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace relay {

using namespace telnet;

namespace {

// A GMCP message: the package name, then its data (JSON, after blanks).
std::pair<std::string_view, std::string_view> SplitGmcp(std::string_view payload) {
    std::size_t end = 0;
    while (end < payload.size() && payload[end] != ' ' && payload[end] != '\t' &&
           payload[end] != '[' && payload[end] != '{' && payload[end] != '\r' &&
           payload[end] != '\n')
        ++end;
    return {payload.substr(0, end), payload.substr(end)};
}

bool NamesPackage(const QString& entry, std::string_view package) {
    const QString name = entry.trimmed().section(' ', 0, 0);
    const QByteArray bytes = name.toUtf8();
    return text::EqualsIgnoreCaseLatin(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), package);
}

bool ParseList(std::string_view json, QJsonArray& list) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(
        QByteArray(json.data(), static_cast<qsizetype>(json.size())), &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray()) return false;
    list = doc.array();
    return true;
}

// One MSDP value from `pos` (just after VAL): plain text up to the next control byte, or a whole
// table or array. Returns where it ends, or npos when it never closes.
std::size_t SkipMsdpValue(std::string_view s, std::size_t pos) {
    if (pos < s.size() && (s[pos] == kTableOpen || s[pos] == kArrayOpen)) {
        int depth = 0;
        for (; pos < s.size(); ++pos) {
            if (s[pos] == kTableOpen || s[pos] == kArrayOpen) {
                ++depth;
            } else if (s[pos] == kTableClose || s[pos] == kArrayClose) {
                if (--depth == 0) return pos + 1;
            }
        }
        return std::string_view::npos;
    }
    while (pos < s.size() && !IsMsdpControl(s[pos]))
        ++pos;
    return pos;
}

// The plain texts of an array value (ARRAY_OPEN VAL text ... ARRAY_CLOSE); false when it holds
// anything else.
bool ArrayTexts(std::string_view v, std::vector<std::string_view>& texts) {
    std::size_t i = 1;
    while (i < v.size() && v[i] == kVal) {
        const std::size_t from = ++i;
        while (i < v.size() && !IsMsdpControl(v[i]))
            ++i;
        texts.push_back(v.substr(from, i - from));
    }
    return i + 1 == v.size() && v[i] == kArrayClose;
}

} // namespace

std::string MsdpWithout(std::string_view s, std::string_view name, std::string_view value,
                        bool& found) {
    found = false;
    std::string out;
    std::size_t pos = 0;
    while (pos < s.size()) {
        if (s[pos] != kVar) return std::string(s);
        const std::size_t entry = pos++;
        const std::size_t nameFrom = pos;
        while (pos < s.size() && !IsMsdpControl(s[pos]))
            ++pos;
        const std::string_view var = s.substr(nameFrom, pos - nameFrom);
        std::vector<std::string_view> texts;
        bool simple = true, array = false;
        int values = 0;
        while (pos < s.size() && s[pos] == kVal) {
            ++values;
            const std::size_t end = SkipMsdpValue(s, ++pos);
            if (end == std::string_view::npos) return std::string(s);
            const std::string_view v = s.substr(pos, end - pos);
            if (!v.empty() && v[0] == kArrayOpen)
                simple = ArrayTexts(v, texts) && (array = true);
            else if (!v.empty() && v[0] == kTableOpen)
                simple = false;
            else
                texts.push_back(v);
            pos = end;
        }
        if (values == 0) return std::string(s);
        const std::string_view whole = s.substr(entry, pos - entry);
        if (var != name || !simple || (array && values != 1)) {
            out.append(whole);
            continue;
        }
        std::vector<std::string_view> kept;
        for (std::string_view t : texts)
            if (t == value)
                found = true;
            else
                kept.push_back(t);
        if (kept.size() == texts.size()) {
            out.append(whole);
            continue;
        }
        if (kept.empty()) continue;
        out.push_back(kVar);
        out.append(var);
        if (array) {
            out.push_back(kVal);
            out.push_back(kArrayOpen);
        }
        for (std::string_view t : kept) {
            out.push_back(kVal);
            out.append(t);
        }
        if (array) out.push_back(kArrayClose);
    }
    return found ? out : std::string(s);
}

bool GmcpListHas(std::string_view json, std::string_view package) {
    QJsonArray list;
    if (!ParseList(json, list)) return false;
    for (const QJsonValue& v : list)
        if (v.isString() && NamesPackage(v.toString(), package)) return true;
    return false;
}

std::string GmcpListWithout(std::string_view json, std::string_view package, bool& empty) {
    QJsonArray list, kept;
    empty = false;
    if (!ParseList(json, list)) return std::string(json);
    for (const QJsonValue& v : list)
        if (!v.isString() || !NamesPackage(v.toString(), package)) kept.append(v);
    empty = kept.isEmpty();
    return QJsonDocument(kept).toJson(QJsonDocument::Compact).toStdString();
}

std::string OutOfBand::FromClient(std::string_view block, std::string& after) {
    after.clear();
    if (!Active()) {
        clientScan_ = Scan::Data;
        clientSub_ = nullptr;
        return std::string(block);
    }
    std::string out;
    out.reserve(block.size());
    const char* b = block.data();
    const std::size_t n = block.size();
    auto put = [&](unsigned char a, unsigned char c) {
        out.push_back(static_cast<char>(a));
        out.push_back(static_cast<char>(c));
    };
    auto putStart = [&] {
        put(kIac, kSb);
        out.push_back(static_cast<char>(clientSubOption_));
    };
    std::size_t i = 0;
    while (i < n) {
        switch (clientScan_) {
        case Scan::Data: {
            const void* hit = std::memchr(b + i, kIac, n - i);
            const std::size_t end =
                hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - b) : n;
            out.append(b + i, end - i);
            i = hit ? end + 1 : n;
            if (hit) clientScan_ = Scan::Iac;
            break;
        }
        case Scan::Iac: {
            const unsigned char c = At(b, i++);
            if (c >= kWill && c <= kDont) {
                clientVerb_ = c;
                clientScan_ = Scan::Verb;
            } else if (c == kSb) {
                clientScan_ = Scan::SubOption;
            } else {
                put(kIac, c);
                clientScan_ = Scan::Data;
            }
            break;
        }
        case Scan::Verb:
            clientScan_ = Scan::Data;
            ClientVerb(clientVerb_, At(b, i++), out, after);
            break;
        case Scan::SubOption:
            clientScan_ = Scan::Sub;
            clientSubOption_ = At(b, i++);
            clientSub_ = Find(clientSubOption_);
            clientSubPassing_ = !clientSub_;
            clientPayload_.clear();
            if (clientSubPassing_) putStart();
            break;
        case Scan::Sub: {
            const void* hit = std::memchr(b + i, kIac, n - i);
            const std::size_t end =
                hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - b) : n;
            if (clientSubPassing_) {
                out.append(b + i, end - i);
            } else {
                clientPayload_.append(b + i, end - i);
                if (clientPayload_.size() > kMaxSubnegotiation) {
                    // Too long to hold: what came goes on, and the rest as it comes.
                    std::string start;
                    PutSubnegotiation(clientSubOption_, clientPayload_, start);
                    out.append(start, 0, start.size() - 2); // without its IAC SE
                    clientPayload_.clear();
                    clientPayload_.shrink_to_fit();
                    clientSubPassing_ = true;
                }
            }
            i = hit ? end + 1 : n;
            if (hit) clientScan_ = Scan::SubIac;
            break;
        }
        case Scan::SubIac: {
            const unsigned char c = At(b, i++);
            if (c == kIac) {
                clientScan_ = Scan::Sub;
                if (clientSubPassing_)
                    put(kIac, kIac);
                else
                    clientPayload_.push_back(static_cast<char>(kIac));
                break;
            }
            clientScan_ = Scan::Data;
            if (clientSubPassing_) {
                put(kIac, c);
            } else if (c == kSe) {
                ClientSubnegotiation(*clientSub_, out);
            } else { // malformed: on as it came
                std::string whole;
                PutSubnegotiation(clientSubOption_, clientPayload_, whole);
                whole.back() = static_cast<char>(c);
                out += whole;
            }
            clientSub_ = nullptr;
            clientSubPassing_ = false;
            clientPayload_.clear();
            break;
        }
        }
    }
    return out;
}

void OutOfBand::ClientVerb(unsigned char verb, unsigned char option, std::string& out,
                           std::string& after) {
    Option* o = Find(option);
    const bool pass = [&] {
        if (!o) return true;
        if (verb == kDo) {
            o->client = ClientAnswer::Accepted;
            if (o->toldDo) return false; // the program has answered already
            o->toldDo = true;
            return true;
        }
        if (verb == kDont) {
            o->client = ClientAnswer::Refused;
            return !o->toldDo; // the program keeps the option for itself
        }
        return true;
    }();
    if (pass) {
        out.push_back(static_cast<char>(kIac));
        out.push_back(static_cast<char>(verb));
        out.push_back(static_cast<char>(option));
    }
    // The client answered the game's offer before the program did (or in its place).
    if (o && pass && verb == kDo) Ask(*o, after);
}

void OutOfBand::ClientSubnegotiation(Option& o, std::string& out) {
    std::string p = std::move(clientPayload_);
    clientPayload_.clear();
    if (o.code == kMsdp) {
        bool found = false;
        std::string without = MsdpWithout(p, "REPORT", "ROOM", found);
        if (found && o.asked)
            p = std::move(without); // reported already, and the client gets every ROOM anyway
        else if (found && o.toldDo)
            o.asked = true;
        // The program's report stays, whatever the client stops.
        without = MsdpWithout(p, "UNREPORT", "ROOM", found);
        if (found) p = std::move(without);
        if (!p.empty()) PutSubnegotiation(kMsdp, p, out);
        return;
    }
    const auto [package, json] = SplitGmcp(p);
    if (text::EqualsIgnoreCaseLatin(package, "Core.Hello")) {
        if (o.toldDo) o.clientHello = true;
    } else if (text::EqualsIgnoreCaseLatin(package, "Core.Supports.Set")) {
        o.clientSetList = true;
        QJsonArray list;
        if (ParseList(json, list) && !GmcpListHas(json, "Room")) {
            // The client's list replaces the program's: Room must stay in it.
            const std::size_t close = p.rfind(']');
            p.insert(close, list.isEmpty() ? "\"Room 1\"" : ", \"Room 1\"");
        }
        if (o.toldDo && GmcpListHas(SplitGmcp(p).second, "Room")) o.asked = true;
    } else if (text::EqualsIgnoreCaseLatin(package, "Core.Supports.Add")) {
        if (o.toldDo && GmcpListHas(json, "Room")) o.asked = true;
    } else if (text::EqualsIgnoreCaseLatin(package, "Core.Supports.Remove")) {
        if (GmcpListHas(json, "Room")) {
            bool empty = false;
            const std::string rest = GmcpListWithout(json, "Room", empty);
            if (empty) return;
            p = std::string(package) + " " + rest;
        }
    }
    PutSubnegotiation(kGmcp, p, out);
}

} // namespace relay
