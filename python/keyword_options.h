#pragma once

#include <pybind11/pybind11.h>

#include <quillon/quillon.h>
#include <string>

namespace quillon::python {

// The keyword arguments of quillon.convert and quillon.format: quillon-cli's
// long options with '_' for '-', and `from_` for --from, which Python keeps
// for itself. Throws TypeError, naming `function`, for an unknown keyword or a
// value of the wrong type; the library judges the values themselves.
api::Options optionsFromKeywords(api::Task task, const char* function, const pybind11::kwargs& keywords);

// The name of the module's function that runs a task.
const char* functionName(api::Task task);

// The keywords a task takes, for its docstring.
std::string keywordList(api::Task task);

}  // namespace quillon::python
