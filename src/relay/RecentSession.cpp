#include "relay/RecentSession.h"

namespace relay {

void RecentSession::Add(char kind, std::string_view bytes) {
    if (bytes.empty()) return;
    if (bytes.size() > kKeep) bytes = bytes.substr(bytes.size() - kKeep);
    storage::SessionRecord record;
    record.kind = kind;
    record.bytes.swap(spare_);
    record.bytes.assign(bytes);
    bytes_ += bytes.size();
    records_.push_back(std::move(record));
    while (bytes_ > kKeep) {
        storage::SessionRecord& oldest = records_.front();
        const std::size_t over = bytes_ - kKeep;
        if (oldest.bytes.size() > over) {
            oldest.bytes.erase(0, over);
            bytes_ -= over;
            break;
        }
        bytes_ -= oldest.bytes.size();
        spare_.swap(oldest.bytes);
        spare_.clear();
        records_.pop_front();
    }
}

std::vector<storage::SessionRecord> RecentSession::Records() const {
    return {records_.begin(), records_.end()};
}

} // namespace relay
