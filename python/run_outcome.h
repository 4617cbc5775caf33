#pragma once

#include <pybind11/pybind11.h>

#include <quillon/quillon.h>

namespace quillon::python {

// Adds quillon.Error and quillon.ConversionWarning to the module and turns
// the library's errors into Python exceptions: a refused option or text
// raises quillon.Error (a ValueError), a failing scratch file OSError, want of
// memory MemoryError.
void addOutcomeTypes(pybind11::module_& module);

// Issues each warning of a completed run as a quillon.ConversionWarning, so
// that Python's warning filters show, record or raise them.
void issueWarnings(const api::Result& result);

}  // namespace quillon::python
