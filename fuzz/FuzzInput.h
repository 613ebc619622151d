#pragma once
// What the fuzz targets share: a reader that takes flags and pieces off the fuzzer's bytes, and a
// check that stops the run (libFuzzer keeps the input) when a target finds a property broken.
//
// A piece is the bytes up to a single backslash; a doubled backslash stands for one backslash
// byte, and the byte after a single one is skipped. Seeds stay readable text that way:
// "look\.n\.e" is three pieces.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Empty() const { return pos_ >= size_; }
    // The next byte, or 0 when none is left.
    std::uint8_t Byte() { return Empty() ? 0 : data_[pos_++]; }
    // The next piece, at most `max` bytes long (the rest of a longer piece is skipped).
    std::string Piece(std::size_t max = SIZE_MAX) {
        std::string out;
        while (pos_ < size_) {
            const char c = static_cast<char>(data_[pos_++]);
            if (c == '\\') {
                if (pos_ < size_ && data_[pos_] == '\\') {
                    ++pos_;
                } else {
                    ++pos_;
                    break;
                }
            }
            if (out.size() < max) out.push_back(c);
        }
        return out;
    }
    // Everything that is left, as it stands.
    std::string Rest() {
        std::string out(reinterpret_cast<const char*>(data_ + pos_), size_ - pos_);
        pos_ = size_;
        return out;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};
