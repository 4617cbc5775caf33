#include "keyword_options.h"

#include <climits>
#include <cstdint>
#include <optional>
#include <type_traits>
#include <variant>
#include <vector>

namespace quillon::python {
namespace {

namespace py = pybind11;
using api::Options;

using WordField = std::string Options::*;
using SwitchField = std::optional<bool> Options::*;
using NumberField = std::optional<std::int32_t> Options::*;
using ListField = std::vector<std::string> Options::*;

struct Keyword {
    const char* name;
    std::variant<WordField, SwitchField, NumberField, ListField> field;
    bool formatOnly;
};

constexpr Keyword kKeywords[] = {
    {"from_", &Options::from, false},
    {"to", &Options::to, false},
    {"form", &Options::form, false},
    {"line_ends", &Options::lineEnds, false},
    {"standard", &Options::standard, false},
    {"regional_words", &Options::regionalWords, false},
    {"opencc", &Options::opencc, false},
    {"phrases", &Options::phrases, false},
    {"html", &Options::html, false},
    {"quotes", &Options::quotes, false},
    {"bom", &Options::bom, false},
    {"dictionaries", &Options::dictionaries, false},
    {"chars_per_line", &Options::charsPerLine, true},
    {"line_spacing", &Options::lineSpacing, true},
    {"lead_spaces", &Options::leadSpaces, true},
    {"left_margin", &Options::leftMargin, true},
    {"paragraph", &Options::paragraph, true},
    {"heading", &Options::heading, true},
    {"fullwidth_spaces", &Options::fullwidthSpaces, true},
    {"auto_fix", &Options::autoFix, true},
    {"natural_syntax", &Options::naturalSyntax, true},
    {"mixed_text", &Options::mixedText, true},
    {"line_start_rules", &Options::lineStartRules, true},
    {"chapter_headings", &Options::chapterHeadings, true},
    {"space_between_scripts", &Options::spaceBetweenScripts, true},
    {"heading_pattern", &Options::headingPattern, true},
};

bool takes(api::Task task, const Keyword& keyword) { return task == api::Task::Format || !keyword.formatOnly; }

[[noreturn]] void refuse(const Keyword& keyword, const char* wanted, py::handle value) {
    throw py::type_error(std::string(keyword.name) + " takes " + wanted + ", not " +
                         std::string(py::str(py::type::handle_of(value).attr("__name__"))));
}

void set(Options& options, const Keyword& keyword, py::handle value) {
    std::visit(
        [&](auto field) {
            using Field = decltype(field);
            if constexpr (std::is_same_v<Field, WordField>) {
                if (!py::isinstance<py::str>(value)) refuse(keyword, "a str", value);
                options.*field = value.cast<std::string>();
            } else if constexpr (std::is_same_v<Field, ListField>) {
                // A str is a sequence too, of letters: refused, not taken as names.
                if (py::isinstance<py::str>(value) || !py::isinstance<py::sequence>(value)) {
                    refuse(keyword, "a list of str", value);
                }
                for (py::handle item : value) {
                    if (!py::isinstance<py::str>(item)) refuse(keyword, "a list of str", item);
                    (options.*field).push_back(item.cast<std::string>());
                }
            } else if constexpr (std::is_same_v<Field, SwitchField>) {
                if (!PyBool_Check(value.ptr())) refuse(keyword, "True or False", value);
                options.*field = value.ptr() == Py_True;
            } else {
                if (!PyLong_Check(value.ptr()) || PyBool_Check(value.ptr())) refuse(keyword, "an int", value);
                int overflow = 0;
                const long long number = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
                if (overflow != 0 || number < INT32_MIN || number > INT32_MAX) {
                    throw py::value_error(std::string(keyword.name) + " is out of range: " +
                                          std::string(py::repr(value)));
                }
                options.*field = static_cast<std::int32_t>(number);
            }
        },
        keyword.field);
}

}  // namespace

const char* functionName(api::Task task) { return task == api::Task::Format ? "format" : "convert"; }

Options optionsFromKeywords(api::Task task, const char* function, const py::kwargs& keywords) {
    Options options;
    for (const auto& [key, value] : keywords) {
        const std::string name = py::str(key);
        const Keyword* keyword = nullptr;
        for (const Keyword& candidate : kKeywords) {
            if (name == candidate.name) keyword = &candidate;
        }
        if (keyword == nullptr || !takes(task, *keyword)) {
            throw py::type_error(std::string(function) + "() got an unexpected keyword argument '" + name +
                                 (keyword != nullptr ? "' (it is for format only)" : "'"));
        }
        if (!value.is_none()) set(options, *keyword, value);
    }
    return options;
}

std::string keywordList(api::Task task) {
    std::string list;
    for (const Keyword& keyword : kKeywords) {
        if (!takes(task, keyword)) continue;
        if (!list.empty()) list += ", ";
        list += keyword.name;
    }
    return list;
}

}  // namespace quillon::python
