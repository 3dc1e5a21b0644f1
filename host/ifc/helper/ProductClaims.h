#pragma once
// The products two processes convert, taken one at a time until none is left: the first
// process takes them from the front, the second from the back, so that neither waits for the
// other however the work is spread over the file. Made before the fork, in memory both share.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>

class ProductClaims {
public:
    // Claims on `count` products, numbered from 0; without shared memory (Valid() false),
    // every take gives nothing.
    explicit ProductClaims(size_t count);
    ~ProductClaims();
    ProductClaims(const ProductClaims&) = delete;
    ProductClaims& operator=(const ProductClaims&) = delete;

    bool Valid() const { return state_ != nullptr; }
    std::optional<size_t> TakeFront();
    std::optional<size_t> TakeBack();
    // Every number from here on was taken from the back.
    size_t Back() const;
    // Every number below here was taken from the front.
    size_t Front() const;

private:
    std::atomic<uint64_t>* state_ = nullptr; // the front's next number above, the back's below
};
