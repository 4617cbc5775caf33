#include "str_text.h"

#include <cstdint>
#include <cstring>

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

// What a str made of UTF-8 takes, told before it is decoded: how many code
// points (the bytes that are no trail byte) and the widest, told by the lead
// bytes: from C2 U+0080 and on, from C4 U+0100 and on, from F0 U+10000 and
// on. Eight bytes are taken at once, each one's bits where its top bit is.
struct Utf8Census {
    std::size_t count = 0;
    Py_UCS4 widest = 0x7F;

    explicit Utf8Census(std::string_view utf8) {
        constexpr std::uint64_t kTops = 0x8080808080808080;
        std::uint64_t high = 0, wide = 0, astral = 0;
        std::size_t trails = 0;
        std::size_t at = 0;
        while (utf8.size() - at >= 8) {
            // Trail bytes counted a byte each, 255 words at most before the
            // counts could carry into their neighbours.
            std::uint64_t lanes = 0;
            for (int words = 0; words < 255 && utf8.size() - at >= 8; ++words, at += 8) {
                std::uint64_t x = 0;
                std::memcpy(&x, utf8.data() + at, 8);
                const std::uint64_t leads = x & x << 1 & kTops;  // 11xxxxxx
                lanes += (x & ~(x << 1) & kTops) >> 7;           // 10xxxxxx
                high |= x;
                wide |= leads & (x << 2 | x << 3 | x << 4 | x << 5);
                astral |= leads & x << 2 & x << 3;
            }
            const std::uint64_t pairs = (lanes & 0x00FF00FF00FF00FF) + (lanes >> 8 & 0x00FF00FF00FF00FF);
            trails += std::size_t(pairs * 0x0001000100010001 >> 48);
        }
        for (; at < utf8.size(); ++at) {
            const std::uint64_t x = static_cast<unsigned char>(utf8[at]);
            trails += std::size_t((x & 0xC0) == 0x80);
            high |= x;
            wide |= std::uint64_t(x >= 0xC4) << 7;
            astral |= std::uint64_t(x >= 0xF0) << 7;
        }
        count = utf8.size() - trails;
        widest = (astral & kTops) ? 0x10FFFF : (wide & kTops) ? 0xFFFF : (high & kTops) ? 0xFF : 0x7F;
    }
};

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

py::object strOfUtf8(std::string_view utf8) {
    const Utf8Census census(utf8);
    const std::size_t count = census.count;
    const Py_UCS4 widest = census.widest;
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
