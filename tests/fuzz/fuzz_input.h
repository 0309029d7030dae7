// Reads a fuzz input front to back. Past its end every read gives zero bytes and
// empty pieces, so that any input is a complete script.
#pragma once

#include <stddef.h>
#include <stdint.h>

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool Empty() const { return at_ >= size_; }

    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }

    // A piece: two bytes of length (little-endian), then that many bytes, or fewer
    // when the input ends first. declared keeps the length as written, which may be
    // more than a datagram can be.
    struct Piece {
        const uint8_t* data;
        size_t length;
        size_t declared;
    };
    Piece Take()
    {
        size_t declared = Byte();
        declared |= static_cast<size_t>(Byte()) << 8;
        const size_t left = size_ - (at_ < size_ ? at_ : size_);
        const size_t length = declared < left ? declared : left;
        Piece piece = {data_ + (at_ < size_ ? at_ : size_), length, declared};
        at_ += length;
        return piece;
    }

    // Everything not read yet.
    const uint8_t* Rest(size_t* size) const
    {
        *size = at_ < size_ ? size_ - at_ : 0;
        return data_ + (at_ < size_ ? at_ : size_);
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};
