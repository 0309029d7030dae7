// A reply buffer for the targets that read datagrams directly: the bytes past the
// datagram's terminator are poisoned for AddressSanitizer, so that a reader that
// looks beyond the datagram traps instead of reading stale bytes.
#pragma once

#include <sanitizer/asan_interface.h>
#include <stddef.h>

#include "codec.h"

class PoisonedReply {
public:
    PoisonedReply() : reply_(new ReplyBuffer) {}
    ~PoisonedReply()
    {
        ASAN_UNPOISON_MEMORY_REGION(reply_, sizeof *reply_);
        delete reply_;
    }
    PoisonedReply(const PoisonedReply&) = delete;
    PoisonedReply& operator=(const PoisonedReply&) = delete;

    const ReplyBuffer& Store(const void* datagram, size_t size)
    {
        ASAN_UNPOISON_MEMORY_REGION(reply_, sizeof *reply_);
        StoreReply(reply_, datagram, static_cast<int>(size < 65536 ? size : 65536));  // longer ones are cut
        ASAN_POISON_MEMORY_REGION(reply_->bytes + reply_->length + 1, kDatagramCapacity - reply_->length);
        return *reply_;
    }

private:
    ReplyBuffer* reply_;
};
