#include "str_output.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "large_pages.h"

namespace quillon::python {
namespace {

namespace py = pybind11;

bool startsWithEightAscii(const unsigned char* at) {
    std::uint64_t word;
    std::memcpy(&word, at, sizeof word);
    return (word & 0x8080808080808080) == 0;
}

bool isTrail(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the sequence a byte leads, or 0 for a byte that leads none.
std::size_t sequenceLength(unsigned char lead) {
    return lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
}

// Decodes the whole sequence at `at`, which `sequenceLength` says lies
// before the end; its length, or 0 where it is not well formed (an
// overlong form, a surrogate, a trail byte missing, past U+10FFFF).
std::size_t decodeOne(const unsigned char* at, std::size_t length, std::uint32_t& c) {
    switch (length) {
    case 1:
        c = at[0];
        return 1;
    case 2:
        if (!isTrail(at[1])) return 0;
        c = (at[0] & 0x1Fu) << 6 | (at[1] & 0x3Fu);
        return 2;
    case 3:
        if (!isTrail(at[1]) || !isTrail(at[2])) return 0;
        c = (at[0] & 0x0Fu) << 12 | (at[1] & 0x3Fu) << 6 | (at[2] & 0x3Fu);
        return c >= 0x800 && (c & 0xF800) != 0xD800 ? 3 : 0;
    case 4:
        if (!isTrail(at[1]) || !isTrail(at[2]) || !isTrail(at[3])) return 0;
        c = (at[0] & 0x07u) << 18 | (at[1] & 0x3Fu) << 12 | (at[2] & 0x3Fu) << 6 | (at[3] & 0x3Fu);
        return c >= 0x10000 && c <= 0x10FFFF ? 4 : 0;
    default:
        return 0;
    }
}

// The widest character a str may hold that holds `c`, as PyUnicode_New takes it.
Py_UCS4 widthOf(std::uint32_t c) { return c > 0xFFFF ? 0x10FFFF : c > 0xFF ? 0xFFFF : c > 0x7F ? 0xFF : 0x7F; }

}  // namespace

StrOutput::StrOutput(py::handle text)
    : sink_{[this](const char* data, std::size_t length) { return write(data, length); },
            [this] {
                used_ = 0;
                seen_ = 0;
            }} {
    // Converted text has about as many characters as its source: room for
    // a sixteenth more saves most runs from growing.
    const auto count = static_cast<std::size_t>(PyUnicode_GET_LENGTH(text.ptr()));
    room_ = count + count / 16 + 64;
    object_ = py::reinterpret_steal<py::object>(
        PyUnicode_New(static_cast<Py_ssize_t>(room_), PyUnicode_MAX_CHAR_VALUE(text.ptr())));
    if (!object_) throw py::error_already_set();
    kind_ = PyUnicode_KIND(object_.ptr());
    data_ = PyUnicode_DATA(object_.ptr());
    api::adviseLargePages(data_, room_ * static_cast<std::size_t>(kind_));
}

template <typename Unit>
const unsigned char* StrOutput::decode(const unsigned char* at, const unsigned char* end) {
    const std::uint32_t widest = PyUnicode_MAX_CHAR_VALUE(object_.ptr());
    Unit* out = static_cast<Unit*>(data_) + used_;
    Unit* const full = static_cast<Unit*>(data_) + room_;
    std::uint32_t seen = seen_;
    // ASCII leaves `seen` as it is: it never widens a str.
    while (at < end && out < full) {
        const unsigned lead = *at;
        if (lead < 0x80) {
            if (end - at >= 8 && full - out >= 8 && startsWithEightAscii(at)) {
                for (int i = 0; i < 8; ++i) out[i] = static_cast<Unit>(at[i]);
                at += 8;
                out += 8;
            } else {
                *out++ = static_cast<Unit>(lead);
                ++at;
            }
            continue;
        }
        std::uint32_t c;
        if ((lead & 0xF0) == 0xE0 && end - at >= 3) {
            // Hanzi, the most of a Chinese text, decoded here.
            const unsigned trail1 = at[1] ^ 0x80u;
            const unsigned trail2 = at[2] ^ 0x80u;
            c = (lead & 0x0Fu) << 12 | trail1 << 6 | trail2;
            if ((trail1 | trail2) >= 0x40 || c < 0x800 || (c & 0xF800) == 0xD800 || c > widest) break;
            *out++ = static_cast<Unit>(c);
            seen |= c;
            at += 3;
            continue;
        }
        const std::size_t length = sequenceLength(*at);
        if (length == 0 || static_cast<std::size_t>(end - at) < length || decodeOne(at, length, c) == 0 ||
            c > widest) {
            break;
        }
        *out++ = static_cast<Unit>(c);
        seen |= c;
        at += length;
    }
    used_ = static_cast<std::size_t>(out - static_cast<Unit*>(data_));
    seen_ = seen;
    return at;
}

const unsigned char* StrOutput::decodeInWidth(const unsigned char* at, const unsigned char* end) {
    switch (kind_) {
    case PyUnicode_1BYTE_KIND:
        return decode<Py_UCS1>(at, end);
    case PyUnicode_2BYTE_KIND:
        return decode<Py_UCS2>(at, end);
    default:
        return decode<Py_UCS4>(at, end);
    }
}

bool StrOutput::write(const char* data, std::size_t length) {
    if (ranOutOfMemory_) return false;
    const auto* at = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* const end = at + length;
    for (;;) {
        at = decodeInWidth(at, end);
        if (at == end) return true;
        // A character wider than the str, or no room left for it. The run
        // hands on whole characters: anything else is no UTF-8 to take.
        const std::size_t needed = sequenceLength(*at);
        std::uint32_t c = 0;
        if (needed == 0 || static_cast<std::size_t>(end - at) < needed || decodeOne(at, needed, c) == 0) {
            return false;
        }
        if (!makeRoom(widthOf(c))) return false;
    }
}

bool StrOutput::makeRoom(Py_UCS4 widest) {
    const py::gil_scoped_acquire acquired;
    const Py_UCS4 wide = std::max(widest, PyUnicode_MAX_CHAR_VALUE(object_.ptr()));
    const std::size_t room = used_ < room_ ? room_ : room_ * 2;
    PyObject* object = nullptr;
    if (wide == PyUnicode_MAX_CHAR_VALUE(object_.ptr())) {
        // Resizing takes the object's one reference and gives the new
        // object's; when it fails, the object is left as it was.
        object = object_.ptr();
        if (PyUnicode_Resize(&object, static_cast<Py_ssize_t>(room)) != 0) {
            object = nullptr;
        } else {
            object_.release();
        }
    } else {
        object = PyUnicode_New(static_cast<Py_ssize_t>(room), wide);
        if (object != nullptr &&
            PyUnicode_CopyCharacters(object, 0, object_.ptr(), 0, static_cast<Py_ssize_t>(used_)) < 0) {
            Py_CLEAR(object);
        }
    }
    if (object == nullptr) {
        PyErr_Clear();
        ranOutOfMemory_ = true;
        return false;
    }
    object_ = py::reinterpret_steal<py::object>(object);
    room_ = room;
    kind_ = PyUnicode_KIND(object);
    data_ = PyUnicode_DATA(object);
    api::adviseLargePages(data_, room_ * static_cast<std::size_t>(kind_));
    return true;
}

py::object StrOutput::takeStr() {
    if (widthOf(seen_) < PyUnicode_MAX_CHAR_VALUE(object_.ptr())) {
        // Narrower than the text it came from: a str in its own width.
        PyObject* narrow = PyUnicode_FromKindAndData(kind_, data_, static_cast<Py_ssize_t>(used_));
        if (narrow == nullptr) throw py::error_already_set();
        return py::reinterpret_steal<py::object>(narrow);
    }
    PyObject* object = object_.ptr();
    if (PyUnicode_Resize(&object, static_cast<Py_ssize_t>(used_)) != 0) throw py::error_already_set();
    object_.release();
    return py::reinterpret_steal<py::object>(object);
}

}  // namespace quillon::python
