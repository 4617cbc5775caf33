#pragma once

#include <pybind11/pybind11.h>

#include <quillon/quillon.h>
#include <cstddef>
#include <string_view>

namespace quillon::python {

// A run's output written straight into a bytes object, which becomes the
// result without a copy: made with room for twice the input, and grown when
// a run writes more. Its sink is written with the GIL released; it
// takes the GIL back only to grow.
class BytesOutput {
public:
    // With the GIL held.
    explicit BytesOutput(std::size_t inputSize);
    BytesOutput(const BytesOutput&) = delete;
    BytesOutput& operator=(const BytesOutput&) = delete;

    const api::OutputSink& sink() const { return sink_; }
    // Whether a write failed for want of memory, as Python tells it.
    bool ranOutOfMemory() const { return ranOutOfMemory_; }
    // The output as bytes, its length cut to what was written.
    pybind11::object takeBytes();
    // What was written so far.
    std::string_view text() const { return {bytes(), used_}; }

private:
    bool write(const char* data, std::size_t length);
    bool grow(std::size_t needed);
    char* bytes() const { return PyBytes_AS_STRING(object_.ptr()); }

    pybind11::object object_;  // its only reference, which resizing takes
    std::size_t room_ = 0;
    std::size_t used_ = 0;
    bool ranOutOfMemory_ = false;
    api::OutputSink sink_;
};

}  // namespace quillon::python
