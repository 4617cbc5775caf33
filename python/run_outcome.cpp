#include "run_outcome.h"

#include <exception>

namespace quillon::python {
namespace {

namespace py = pybind11;

// Owned by the module, which lives as long as the interpreter.
PyObject* errorType = nullptr;
PyObject* warningType = nullptr;

const char* kindName(api::Error::Kind kind) {
    switch (kind) {
    case api::Error::Kind::BadOption: return "bad-option";
    case api::Error::Kind::PlainAscii: return "plain-ascii";
    case api::Error::Kind::SourceNotText: return "not-text";
    default: return "system";
    }
}

const char* kindName(api::Warning::Kind kind) {
    switch (kind) {
    case api::Warning::Kind::InvalidCode: return "invalid-code";
    case api::Warning::Kind::Unmappable: return "unmappable";
    case api::Warning::Kind::HtmlAborted: return "html-aborted";
    case api::Warning::Kind::EndMark: return "end-mark";
    }
    return "";
}

// The library's 0, -1 and empty text for "not told" read as None.
py::object toldOrNone(std::int64_t value, std::int64_t untold) {
    return value == untold ? py::object(py::none()) : py::object(py::int_(value));
}

// The place a warning shows as text; never fails on a byte that is no UTF-8.
py::object textOf(const std::string& text) {
    return py::reinterpret_steal<py::object>(
        PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "backslashreplace"));
}

void raise(const api::Error& error) {
    switch (error.kind()) {
    case api::Error::Kind::OutOfMemory:
        PyErr_SetString(PyExc_MemoryError, error.what());
        return;
    case api::Error::Kind::SourceUnreadable:
    case api::Error::Kind::DestinationUnwritable:
    case api::Error::Kind::ScratchFile:
        if (error.systemError() != 0) {
            PyErr_SetObject(PyExc_OSError, py::make_tuple(error.systemError(), error.what()).ptr());
        } else {
            PyErr_SetString(PyExc_OSError, error.what());
        }
        return;
    default:
        py::object exception = py::reinterpret_borrow<py::object>(errorType)(error.what());
        exception.attr("kind") = kindName(error.kind());
        PyErr_SetObject(errorType, exception.ptr());
    }
}

}  // namespace

void addOutcomeTypes(py::module_& module) {
    errorType = PyErr_NewExceptionWithDoc(
        "quillon.Error",
        "The text or an option was refused; nothing was converted. `kind` says why: "
        "'bad-option', 'plain-ascii' or 'not-text'.",
        PyExc_ValueError, nullptr);
    warningType = PyErr_NewExceptionWithDoc(
        "quillon.ConversionWarning",
        "Something the output could not keep. `kind` is 'invalid-code', 'unmappable', "
        "'html-aborted' or 'end-mark'; `count`, `line`, `column`, `text` and `offset` "
        "tell how often and where first, or are None.",
        PyExc_UserWarning, nullptr);
    if (errorType == nullptr || warningType == nullptr) throw py::error_already_set();
    module.add_object("Error", py::handle(errorType));
    module.add_object("ConversionWarning", py::handle(warningType));
    py::register_exception_translator([](std::exception_ptr thrown) {
        try {
            std::rethrow_exception(thrown);
        } catch (const api::Error& error) {
            raise(error);
        }
    });
}

void issueWarnings(const api::Result& result) {
    const py::object warn = py::module_::import("warnings").attr("warn");
    for (const api::Warning& warning : result.warnings) {
        py::object issued = py::reinterpret_borrow<py::object>(warningType)(warning.message);
        issued.attr("kind") = kindName(warning.kind);
        issued.attr("count") = toldOrNone(warning.count, 0);
        issued.attr("line") = toldOrNone(warning.line, 0);
        issued.attr("column") = toldOrNone(warning.column, 0);
        issued.attr("text") = warning.text.empty() ? py::object(py::none()) : textOf(warning.text);
        issued.attr("offset") = toldOrNone(warning.offset, -1);
        // From C there is no frame of ours: the warning points at the caller.
        warn(issued);
    }
}

}  // namespace quillon::python
