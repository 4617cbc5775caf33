#include "bytes_output.h"

#include <cstring>

#include "large_pages.h"

namespace quillon::python {

namespace py = pybind11;

// Room for twice the text, as the library makes for a run into a string:
// ASCII doubles in UTF-16, hanzi grow by half from GB or Big5 to UTF-8, and a
// short text may gain a byte-order mark and a line end. Pages never written
// cost no memory, and the bytes are cut to their length at the end.
BytesOutput::BytesOutput(std::size_t inputSize)
    : room_(2 * inputSize + 16),
      sink_{[this](const char* data, std::size_t length) { return write(data, length); }, [this] { used_ = 0; }} {
    object_ = py::reinterpret_steal<py::object>(PyBytes_FromStringAndSize(nullptr, static_cast<Py_ssize_t>(room_)));
    if (!object_) throw py::error_already_set();
    api::adviseLargePages(bytes(), room_);
}

bool BytesOutput::write(const char* data, std::size_t length) {
    if (ranOutOfMemory_) return false;
    if (used_ + length > room_ && !grow(used_ + length)) return false;
    std::memcpy(bytes() + used_, data, length);
    used_ += length;
    return true;
}

bool BytesOutput::grow(std::size_t needed) {
    const py::gil_scoped_acquire acquired;
    const std::size_t room = room_ * 2 > needed ? room_ * 2 : needed;
    // Resizing takes the object's one reference and gives the new object's,
    // or none when it fails.
    PyObject* object = object_.release().ptr();
    const bool resized = _PyBytes_Resize(&object, static_cast<Py_ssize_t>(room)) == 0;
    object_ = py::reinterpret_steal<py::object>(object);
    if (!resized) {
        PyErr_Clear();
        ranOutOfMemory_ = true;
        return false;
    }
    room_ = room;
    api::adviseLargePages(bytes(), room_);
    return true;
}

py::object BytesOutput::takeBytes() {
    PyObject* object = object_.release().ptr();
    if (_PyBytes_Resize(&object, static_cast<Py_ssize_t>(used_)) != 0) throw py::error_already_set();
    return py::reinterpret_steal<py::object>(object);
}

}  // namespace quillon::python
