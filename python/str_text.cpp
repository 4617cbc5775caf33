#include "str_text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "large_pages.h"

namespace quillon::python {
namespace {

namespace py = pybind11;

bool isSurrogate(std::uint32_t c) { return c - 0xD800 < 0x800; }

// The UTF-8 length of `count` code points, or 0 with `surrogate` set when
// one is a lone surrogate, which UTF-8 cannot hold.
template <typename Unit>
std::size_t utf8Size(const Unit* units, std::size_t count, bool& surrogate) {
    std::size_t size = count;
    bool sawSurrogate = false;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t c = units[i];
        size += std::size_t(c >= 0x80) + std::size_t(c >= 0x800) + std::size_t(c >= 0x10000);
        sawSurrogate |= isSurrogate(c);
    }
    surrogate = sawSurrogate;
    return size;
}

template <typename Unit>
void encodeUtf8(const Unit* units, std::size_t count, unsigned char* out) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t c = units[i];
        if (c < 0x80) {
            *out++ = static_cast<unsigned char>(c);
        } else if (c < 0x800) {
            *out++ = static_cast<unsigned char>(0xC0 | c >> 6);
            *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
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
}

bool isTrail(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Decodes UTF-8 whose code points number `count`, each below 2^(8 *
// sizeof(Unit)), as strOfUtf8 has counted them; false on the first sequence
// that is not well formed (an overlong form, a surrogate, a lead byte
// without its trail).
template <typename Unit>
bool decodeUtf8(std::string_view utf8, Unit* out) {
    const auto* at = reinterpret_cast<const unsigned char*>(utf8.data());
    const unsigned char* const end = at + utf8.size();
    while (at < end) {
        const std::uint32_t lead = *at;
        std::uint32_t c = 0;
        if (lead < 0x80) {
            c = lead;
            at += 1;
        } else if (lead < 0xE0) {
            if (lead < 0xC2 || end - at < 2 || !isTrail(at[1])) return false;
            c = (lead & 0x1F) << 6 | (at[1] & 0x3Fu);
            at += 2;
        } else if (lead < 0xF0) {
            if (end - at < 3 || !isTrail(at[1]) || !isTrail(at[2])) return false;
            c = (lead & 0x0F) << 12 | (at[1] & 0x3Fu) << 6 | (at[2] & 0x3Fu);
            if (c < 0x800 || isSurrogate(c)) return false;
            at += 3;
        } else {
            if (lead > 0xF4 || end - at < 4 || !isTrail(at[1]) || !isTrail(at[2]) || !isTrail(at[3])) return false;
            c = (lead & 0x07) << 18 | (at[1] & 0x3Fu) << 12 | (at[2] & 0x3Fu) << 6 | (at[3] & 0x3Fu);
            if (c < 0x10000 || c > 0x10FFFF) return false;
            at += 4;
        }
        *out++ = static_cast<Unit>(c);
    }
    return true;
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
    bool surrogate = false;
    const std::size_t size = kind == PyUnicode_1BYTE_KIND   ? utf8Size(static_cast<const Py_UCS1*>(data), count, surrogate)
                             : kind == PyUnicode_2BYTE_KIND ? utf8Size(static_cast<const Py_UCS2*>(data), count, surrogate)
                                                            : utf8Size(static_cast<const Py_UCS4*>(data), count, surrogate);
    if (surrogate) {
        // Python's own encoder tells which character and where.
        PyUnicode_AsUTF8AndSize(str, nullptr);
        throw py::error_already_set();
    }
    owner_ = bytesOfSize(size);
    auto* out = reinterpret_cast<unsigned char*>(PyBytes_AS_STRING(owner_.ptr()));
    api::adviseLargePages(out, size);
    if (kind == PyUnicode_1BYTE_KIND) {
        encodeUtf8(static_cast<const Py_UCS1*>(data), count, out);
    } else if (kind == PyUnicode_2BYTE_KIND) {
        encodeUtf8(static_cast<const Py_UCS2*>(data), count, out);
    } else {
        encodeUtf8(static_cast<const Py_UCS4*>(data), count, out);
    }
    bytes_ = std::string_view(reinterpret_cast<const char*>(out), size);
}

py::object strOfUtf8(std::string_view utf8) {
    // The code points are the bytes that are no trail byte; the greatest
    // byte tells the widest: lead bytes from C4 begin U+0100 and on, from F0
    // U+10000 and on.
    std::size_t count = 0;
    unsigned char top = 0;
    for (const char byte : utf8) {
        const auto b = static_cast<unsigned char>(byte);
        count += std::size_t((b & 0xC0) != 0x80);
        top = std::max(top, b);
    }
    const Py_UCS4 widest = top < 0x80 ? 0x7F : top < 0xC4 ? 0xFF : top < 0xF0 ? 0xFFFF : 0x10FFFF;
    auto str = py::reinterpret_steal<py::object>(PyUnicode_New(static_cast<Py_ssize_t>(count), widest));
    if (!str) throw py::error_already_set();
    void* data = PyUnicode_DATA(str.ptr());
    const int kind = PyUnicode_KIND(str.ptr());
    api::adviseLargePages(data, count * std::size_t(kind));
    if (widest == 0x7F) {
        std::memcpy(data, utf8.data(), utf8.size());
        return str;
    }
    const bool decoded = kind == PyUnicode_1BYTE_KIND   ? decodeUtf8(utf8, static_cast<Py_UCS1*>(data))
                         : kind == PyUnicode_2BYTE_KIND ? decodeUtf8(utf8, static_cast<Py_UCS2*>(data))
                                                        : decodeUtf8(utf8, static_cast<Py_UCS4*>(data));
    if (decoded) return str;
    // Python's own decoder tells which bytes and where.
    PyObject* strict = PyUnicode_DecodeUTF8(utf8.data(), static_cast<Py_ssize_t>(utf8.size()), "strict");
    if (strict == nullptr) throw py::error_already_set();
    return py::reinterpret_steal<py::object>(strict);
}

}  // namespace quillon::python
