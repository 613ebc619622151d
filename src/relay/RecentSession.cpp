#include "relay/RecentSession.h"

namespace relay {

void RecentSession::Add(char kind, std::string_view bytes) {
    if (bytes.empty()) return;
    // The relay calls this on every read: one copy, and the oldest bytes are let go without
    // moving the rest.
    if (bytes.size() > kKeep) bytes = bytes.substr(bytes.size() - kKeep);
    Kept record;
    record.kind = kind;
    record.bytes.swap(spare_);
    record.bytes.assign(bytes);
    bytes_ += bytes.size();
    records_.push_back(std::move(record));
    while (bytes_ > kKeep) {
        Kept& oldest = records_.front();
        const std::size_t over = bytes_ - kKeep;
        const std::size_t left = oldest.bytes.size() - oldest.skip;
        if (left > over) {
            oldest.skip += over;
            bytes_ -= over;
            break;
        }
        bytes_ -= left;
        spare_.swap(oldest.bytes);
        spare_.clear();
        records_.pop_front();
    }
}

std::vector<storage::SessionRecord> RecentSession::Records() const {
    std::vector<storage::SessionRecord> out;
    out.reserve(records_.size());
    for (const Kept& k : records_)
        out.push_back({k.kind, 0, k.bytes.substr(k.skip)});
    return out;
}

} // namespace relay
