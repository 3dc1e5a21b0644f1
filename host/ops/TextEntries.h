#pragma once
// Entries handed to add-ons as zero-terminated texts, one after the other: each entry its kind
// and fields. Texts go out in the module's code page, or as UTF-8 when the caller asks.
#include "basekit/BKMemory.h"
#include "basekit/BKText.h"
#include "hostapi/HostAPI.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>

namespace hostops {

class TextEntries {
public:
    explicit TextEntries(bool utf8) : utf8_(utf8) {}
    void Add(std::initializer_list<std::string_view> fields) {
        for (std::string_view field : fields) {
            const size_t at = bytes_.size();
            if (utf8_) bytes_ += field;
            else bytes_ += BKFromUtf8(field);
            // A decoded \\X2\\0000\\X0\\ must not end a field early.
            for (size_t i = at; i < bytes_.size(); ++i)
                if (bytes_[i] == '\0') bytes_[i] = ' ';
            bytes_ += '\0';
        }
        ++count_;
    }
    const std::string& Bytes() const { return bytes_; }
    int32_t Count() const { return count_; }
    // Into a handle the caller frees.
    GSErr HandOut(uint32_t* handle, int32_t* count) const {
        BKHandle h = BKNewHandle(bytes_.size());
        if (!h) return kHostErrNoMemory;
        std::memcpy(BKHandleData(h), bytes_.data(), bytes_.size());
        *handle = h;
        *count = count_;
        return kHostNoError;
    }

private:
    bool utf8_;
    std::string bytes_;
    int32_t count_ = 0;
};

} // namespace hostops
