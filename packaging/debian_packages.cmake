# cpack -G DEB: one Debian package per install component, as Debian splits a
# program with a library: the command-line tool without Qt, the dialog, the
# shared library, its headers and the Python module.
set(CPACK_PACKAGE_VENDOR "The Quillon developers")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries each package's programs link decide its dependencies; the
# packages' dependencies on one another are named below, as dpkg-shlibdeps
# knows nothing of libquillon until it is installed.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Where dpkg-shlibdeps finds libquillon for the programs that load it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/library)

set(CPACK_COMPONENTS_ALL quillon-cli libquillon1 libquillon-dev)
if(QUILLON_BUILD_UI)
  list(APPEND CPACK_COMPONENTS_ALL quillon)
endif()
if(QUILLON_BUILD_PYTHON)
  list(APPEND CPACK_COMPONENTS_ALL python3-quillon)
endif()

set(same_version "(= ${PROJECT_VERSION})")
set(what_it_does
    "Quillon converts Chinese plain text between GB2312, GBK, Big5, GB18030,\n"
    "UTF-8 and UTF-16, from simplified characters to traditional ones and\n"
    "back, by the phrase where the text is Unicode, and reflows text into\n"
    "paragraphs of a fixed width with headings, indent and full-width\n"
    "punctuation.\n"
    "\n")
string(JOIN "" what_it_does ${what_it_does})

# quillon_debian_package(COMPONENT SECTION SYNOPSIS DEPENDS DESCRIPTION...):
# the package of one install component, named as the component.
function(quillon_debian_package component section synopsis depends)
  string(TOUPPER ${component} key)
  string(JOIN "" description ${ARGN})
  set(CPACK_DEBIAN_${key}_PACKAGE_NAME ${component} PARENT_SCOPE)
  set(CPACK_DEBIAN_${key}_PACKAGE_SECTION ${section} PARENT_SCOPE)
  set(CPACK_DEBIAN_${key}_DESCRIPTION "${synopsis}\n${what_it_does}${description}" PARENT_SCOPE)
  set(CPACK_DEBIAN_${key}_PACKAGE_DEPENDS "${depends}" PARENT_SCOPE)
endfunction()

quillon_debian_package(quillon-cli text "convert and reflow Chinese plain text from the command line"
  "libquillon1 ${same_version}"
  "This package holds quillon-cli, the command-line tool for scripts and\n"
  "pipes, which converts single files, standard input and whole folders in\n"
  "parallel. It needs no graphical environment.")

quillon_debian_package(quillon utils "dialog that converts and reflows Chinese plain text"
  "quillon-cli ${same_version}, libquillon1 ${same_version}"
  "This package holds quillon, a Qt dialog that runs the conversion on a\n"
  "file or the clipboard and shows the result in the font of its form.")
# The dialog shows Chinese in these fonts, Qt's own dialogs in Chinese from
# Qt's translations, and opens its help in a browser.
set(CPACK_DEBIAN_QUILLON_PACKAGE_RECOMMENDS "fonts-noto-cjk, qt6-translations-l10n, xdg-utils")

quillon_debian_package(libquillon1 libs "library that converts and reflows Chinese plain text"
  ""
  "This package holds the shared library, which programs use to convert,\n"
  "format and detect the encoding of a buffer or a stream.")
# Programs built against the library ask for this version or a later one
# (CPack makes a shlibs file for every package with a shared library).
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/ldconfig_trigger.cmake)

quillon_debian_package(libquillon-dev libdevel "development files for libquillon"
  "libquillon1 ${same_version}"
  "This package holds the C++ headers, the pkg-config file and the CMake\n"
  "package configuration needed to build programs that use libquillon.")

quillon_debian_package(python3-quillon python "Python 3 module that converts and reflows Chinese plain text"
  "libquillon1 ${same_version}, ${QUILLON_PYTHON_DEPENDS}"
  "This package holds the module quillon for Python 3: quillon.convert,\n"
  "quillon.format and quillon.detect on str and bytes, releasing the global\n"
  "interpreter lock while they work, so that threads, multiprocessing or\n"
  "Dask can convert many files at once.")

include(CPack)
