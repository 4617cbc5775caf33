#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillon::fuzz {

// A fuzz input read as a few option bytes followed by the text they apply to.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    // The next option byte; 0 once the input is used up, so that a short
    // input still gives every option a value.
    std::uint8_t takeByte() { return pos_ < size_ ? data_[pos_++] : 0; }

    // A value from `low` to `high`, both included.
    std::int32_t takeInRange(std::int32_t low, std::int32_t high) {
        return low + takeByte() % (high - low + 1);
    }

    template <std::size_t N>
    std::int32_t takeOneOf(const std::int32_t (&values)[N]) {
        return values[takeByte() % N];
    }

    // Everything after the option bytes taken so far.
    std::string_view rest() const {
        return {reinterpret_cast<const char*>(data_) + pos_, size_ - pos_};
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace quillon::fuzz
