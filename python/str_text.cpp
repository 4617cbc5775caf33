#include "str_text.h"

#include <cstdint>

#include "large_pages.h"

namespace quillon::python {
namespace {

namespace py = pybind11;

bool isSurrogate(std::uint32_t c) { return c - 0xD800 < 0x800; }

// Encodes `count` code points into `out`, which has room for the widest
// UTF-8 they could take; returns the end of the UTF-8, or null when a code
// point is a lone surrogate, which UTF-8 cannot hold.
template <typename Unit>
unsigned char* encodeUtf8(const Unit* units, std::size_t count, unsigned char* out) {
    bool sawSurrogate = false;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t c = units[i];
        if (c < 0x80) {
            *out++ = static_cast<unsigned char>(c);
        } else if (c < 0x800) {
            *out++ = static_cast<unsigned char>(0xC0 | c >> 6);
            *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            sawSurrogate |= isSurrogate(c);
            *out++ = static_cast<unsigned char>(0xE0 | c >> 12);
            *out++ = static_cast<unsigned char>(0x80 | (c >> 6 & 0x3F));
            *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        } else {
            *out++ = static_cast<unsigned char>(0xF0 | c >> 18);
            *out++ = static_cast<unsigned char>(0x80 | (c >> 12 & 0x3F));
            *out++ = static_cast<unsigned char>(0x80 | (c >> 6 & 0x3F));
            *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        }
    }
    return sawSurrogate ? nullptr : out;
}

py::object bytesOfSize(std::size_t size) {
    auto bytes = py::reinterpret_steal<py::object>(PyBytes_FromStringAndSize(nullptr, static_cast<Py_ssize_t>(size)));
    if (!bytes) throw py::error_already_set();
    return bytes;
}

}  // namespace

StrUtf8::StrUtf8(py::handle text) {
    PyObject* str = text.ptr();
    if (PyUnicode_READY(str) != 0) throw py::error_already_set();
    const auto count = static_cast<std::size_t>(PyUnicode_GET_LENGTH(str));
    if (PyUnicode_IS_ASCII(str)) {
        owner_ = py::reinterpret_borrow<py::object>(text);
        bytes_ = std::string_view(static_cast<const char*>(PyUnicode_DATA(str)), count);
        return;
    }
    const int kind = PyUnicode_KIND(str);
    const void* data = PyUnicode_DATA(str);
    // Room for the widest UTF-8: pages past what is written are never touched.
    const std::size_t room = count * std::size_t(kind == PyUnicode_1BYTE_KIND ? 2 : kind == PyUnicode_2BYTE_KIND ? 3 : 4);
    owner_ = bytesOfSize(room);
    auto* const start = reinterpret_cast<unsigned char*>(PyBytes_AS_STRING(owner_.ptr()));
    api::adviseLargePages(start, room);
    const unsigned char* const end = kind == PyUnicode_1BYTE_KIND ? encodeUtf8(static_cast<const Py_UCS1*>(data), count, start)
                                     : kind == PyUnicode_2BYTE_KIND ? encodeUtf8(static_cast<const Py_UCS2*>(data), count, start)
                                                                    : encodeUtf8(static_cast<const Py_UCS4*>(data), count, start);
    if (end == nullptr) {
        // Python's own encoder tells which character and where.
        PyUnicode_AsUTF8AndSize(str, nullptr);
        throw py::error_already_set();
    }
    bytes_ = std::string_view(reinterpret_cast<const char*>(start), std::size_t(end - start));
}

}  // namespace quillon::python
