#pragma once

#include <pybind11/pybind11.h>

#include <quillon/quillon.h>
#include <cstddef>
#include <cstdint>

namespace quillon::python {

// A run's UTF-8 output decoded straight into a str as it comes, which
// becomes the result without a copy: no second buffer of the whole text,
// and each piece is decoded while it is still in cache. The str starts in
// the width of the text run on and with room for as many characters, and
// is widened or grown when a run writes more; its sink is written with the
// GIL released and takes the GIL back only for that.
class StrOutput {
public:
    // With the GIL held; `text` is the str the run reads.
    explicit StrOutput(pybind11::handle text);
    StrOutput(const StrOutput&) = delete;
    StrOutput& operator=(const StrOutput&) = delete;

    const api::OutputSink& sink() const { return sink_; }
    // Whether a write failed for want of memory, as Python tells it.
    bool ranOutOfMemory() const { return ranOutOfMemory_; }
    // The output as a str, cut to its length and in the width its widest
    // character asks, as Python requires of every str. With the GIL held.
    pybind11::object takeStr();

private:
    bool write(const char* data, std::size_t length);
    // Decodes from `at` and returns where it stopped: at `end`, or before a
    // character wider than the str, past its room, or not well formed.
    template <typename Unit>
    const unsigned char* decode(const unsigned char* at, const unsigned char* end);
    const unsigned char* decodeInWidth(const unsigned char* at, const unsigned char* end);
    bool makeRoom(Py_UCS4 widest);

    pybind11::object object_;  // its only reference, which resizing takes
    int kind_ = 0;
    void* data_ = nullptr;
    std::size_t room_ = 0;
    std::size_t used_ = 0;
    std::uint32_t seen_ = 0;  // every character written, or-ed: tells the widest
    bool ranOutOfMemory_ = false;
    api::OutputSink sink_;
};

}  // namespace quillon::python
