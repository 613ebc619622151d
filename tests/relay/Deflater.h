#pragma once
// A game server's compressor for tests of MCCP: real zlib streams.

#include <stdexcept>
#include <string>
#include <string_view>
#include <zlib.h>

// A server-side compressor: each chunk is flushed so that it can be inflated on its own.
class Deflater {
public:
    Deflater() {
        if (deflateInit(&zs_, Z_DEFAULT_COMPRESSION) != Z_OK) throw std::runtime_error("deflate");
    }
    explicit Deflater(std::string_view dictionary) : Deflater() {
        deflateSetDictionary(&zs_, reinterpret_cast<const Bytef*>(dictionary.data()),
                             static_cast<uInt>(dictionary.size()));
    }
    ~Deflater() { deflateEnd(&zs_); }

    std::string Chunk(std::string_view text, int flush = Z_SYNC_FLUSH) {
        std::string out;
        zs_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
        zs_.avail_in = static_cast<uInt>(text.size());
        unsigned char buf[4096];
        int rc;
        do {
            zs_.next_out = buf;
            zs_.avail_out = sizeof buf;
            rc = deflate(&zs_, flush);
            out.append(reinterpret_cast<char*>(buf), sizeof buf - zs_.avail_out);
        } while (zs_.avail_out == 0 || (flush == Z_FINISH && rc != Z_STREAM_END));
        return out;
    }

private:
    z_stream zs_{};
};
