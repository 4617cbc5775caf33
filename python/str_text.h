#pragma once

#include <pybind11/pybind11.h>

#include <string_view>

namespace quillon::python {

// A str's text as UTF-8, for a run to read: an ASCII str's own storage, else
// an encoding of its own in large pages, freed with this object. Python's
// cached UTF-8 would stay with the str for its lifetime and fault a page at
// a time. A str with a lone surrogate raises UnicodeEncodeError as
// str.encode() does.
class StrUtf8 {
public:
    // With the GIL held.
    explicit StrUtf8(pybind11::handle text);

    std::string_view bytes() const { return bytes_; }

private:
    pybind11::object owner_;
    std::string_view bytes_;
};

}  // namespace quillon::python
