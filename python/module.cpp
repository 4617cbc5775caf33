// `import quillon`: convert, format and detect on str and bytes through
// libquillon's public API, as any other program would use it.
#include <pybind11/pybind11.h>

#include <quillon/quillon.h>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "bytes_output.h"
#include "keyword_options.h"
#include "run_outcome.h"
#include "str_output.h"
#include "str_text.h"

namespace quillon::python {
namespace {

namespace py = pybind11;

// The bytes of a text argument, held for the run with the GIL released: a str
// as its UTF-8, anything else through the buffer protocol, whose export
// keeps a bytearray from being resized meanwhile.
class TextBytes {
public:
    TextBytes(py::handle text, const char* function) {
        if (PyUnicode_Check(text.ptr())) {
            bytes_ = str_.emplace(text).bytes();
            return;
        }
        if (PyObject_GetBuffer(text.ptr(), &buffer_, PyBUF_SIMPLE) != 0) {
            PyErr_Clear();
            throw py::type_error(std::string(function) + "() takes str or a bytes-like object, not " +
                                 std::string(py::str(py::type::handle_of(text).attr("__name__"))));
        }
        exported_ = true;
        bytes_ = std::string_view(static_cast<const char*>(buffer_.buf), static_cast<std::size_t>(buffer_.len));
    }
    TextBytes(const TextBytes&) = delete;
    TextBytes& operator=(const TextBytes&) = delete;
    ~TextBytes() {
        if (exported_) PyBuffer_Release(&buffer_);
    }

    std::string_view bytes() const { return bytes_; }

private:
    std::optional<StrUtf8> str_;
    Py_buffer buffer_{};
    bool exported_ = false;
    std::string_view bytes_;
};

// Runs with the GIL released into an output that makes the result as the
// run writes, and issues the run's warnings.
template <typename Output>
void runInto(api::Task task, std::string_view input, Output& output, const api::Options& options) {
    api::Result result;
    try {
        py::gil_scoped_release released;
        result = api::run(task, input, output.sink(), options);
    } catch (const api::Error&) {
        if (output.ranOutOfMemory()) throw std::bad_alloc();
        throw;
    }
    issueWarnings(result);
}

py::object run(api::Task task, py::handle text, const py::kwargs& keywords) {
    api::Options options = optionsFromKeywords(task, functionName(task), keywords);
    const bool isStr = PyUnicode_Check(text.ptr());
    if (isStr) {
        if (!options.from.empty() || !options.to.empty()) {
            throw api::Error(api::Error::Kind::BadOption,
                             "a str is converted to a str and takes no from_ or to: pass bytes to name encodings");
        }
        options.from = options.to = "utf-8";
    }
    const TextBytes input(text, functionName(task));
    if (isStr) {
        StrOutput output(text);
        runInto(task, input.bytes(), output, options);
        return output.takeStr();
    }
    BytesOutput output(input.bytes().size());
    runInto(task, input.bytes(), output, options);
    return output.takeBytes();
}

// A run from file to file by path, as quillon-cli makes it: no text passes
// through Python's memory, and the destination is replaced only once the run
// is complete.
void runFile(api::Task task, py::handle source, py::handle destination, const py::kwargs& keywords) {
    const std::string function = std::string(functionName(task)) + "_file";
    const api::Options options = optionsFromKeywords(task, function.c_str(), keywords);
    const py::object fsencode = py::module_::import("os").attr("fsencode");
    const std::string sourcePath = fsencode(source).cast<std::string>();
    const std::string destinationPath = fsencode(destination).cast<std::string>();
    api::Result result;
    {
        py::gil_scoped_release released;
        result = api::runFile(task, sourcePath, destinationPath, options);
    }
    issueWarnings(result);
}

api::Detection detect(py::handle data) {
    if (PyUnicode_Check(data.ptr())) throw py::type_error("detect() takes bytes: a str has no encoding left to tell");
    const TextBytes input(data, "detect");
    py::gil_scoped_release released;
    return api::detect(input.bytes());
}

std::string runDoc(api::Task task) {
    const std::string what = task == api::Task::Convert
                                 ? "changes simplified characters to traditional ones or back, and the encoding, "
                                   "line by line."
                                 : "reflows text into paragraphs of a fixed width, converting as convert does.";
    return std::string(functionName(task)) + "(text, **options): " + what +
           "\n\nA str gives a str, bytes (or any bytes-like object) give bytes. Options are quillon-cli's "
           "long options with '_' for '-' and from_ for --from: " +
           keywordList(task) +
           ". Warnings are issued as quillon.ConversionWarning; a refused text or option raises "
           "quillon.Error.";
}

}  // namespace
}  // namespace quillon::python

PYBIND11_MODULE(quillon, module) {
    namespace py = pybind11;
    using namespace quillon;
    using namespace quillon::python;
    module.doc() = "Converts and reflows Chinese plain text: simplified and traditional characters, GB2312, "
                   "GBK, Big5, GB18030, UTF-8 and UTF-16.";
    module.attr("__version__") = api::version();
    // Each docstring begins with the call as Python users write it.
    py::options docstrings;
    docstrings.disable_function_signatures();
    addOutcomeTypes(module);

    for (const api::Task task : {api::Task::Convert, api::Task::Format}) {
        module.def(
            functionName(task),
            [task](py::handle text, const py::kwargs& keywords) { return run(task, text, keywords); },
            py::arg("text"), py::pos_only(), runDoc(task).c_str());
        const std::string function = std::string(functionName(task)) + "_file";
        module.def(
            function.c_str(),
            [task](py::handle source, py::handle destination, const py::kwargs& keywords) {
                runFile(task, source, destination, keywords);
            },
            py::arg("source"), py::arg("destination"), py::pos_only(),
            (function + "(source, destination, **options): " + functionName(task) +
             " from file to file by path (str, bytes or os.PathLike), with the same options; the destination is "
             "replaced only once the run is complete. A file that cannot be read or written raises OSError.")
                .c_str());
    }

    py::class_<api::Detection>(module, "Detection", "What a text is, as `quillon-cli detect` tells it.")
        .def_readonly("encoding", &api::Detection::encoding)
        .def_readonly("form", &api::Detection::form)
        .def_readonly("line_ends", &api::Detection::lineEnds)
        .def("__repr__", [](const api::Detection& detection) {
            return "Detection(encoding='" + detection.encoding + "', form='" + detection.form + "', line_ends='" +
                   detection.lineEnds + "')";
        });
    module.def("detect", &detect, py::arg("data"), py::pos_only(),
               "detect(data): the encoding (UTF-8, UTF-16LE, UTF-16BE, GB18030, GB, GBK, BIG5 or PureASC), the "
               "form (simplified, traditional or none) and the line ends (LF, CRLF, mixed or none) of bytes.");
}
