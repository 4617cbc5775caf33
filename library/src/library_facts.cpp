#include <quillon/quillon.h>

#include "opencc_tables.h"

namespace quillon::api {

Error::Error(Kind kind, const std::string& message, int systemError)
    : std::runtime_error(message), kind_(kind), systemError_(systemError) {}

Error::Error(Kind kind, const std::string& message, int systemError, std::vector<Warning> warnings)
    : std::runtime_error(message),
      kind_(kind),
      systemError_(systemError),
      warnings_(std::move(warnings)) {}

std::vector<OpenccConfiguration> openccConfigurations() {
    std::vector<OpenccConfiguration> configurations;
    for (const unicode::OpenccConfiguration& configuration : unicode::openccConfigurations()) {
        configurations.push_back({std::string(configuration.name), std::string(configuration.title)});
    }
    return configurations;
}

const char* version() noexcept { return QUILLON_LIBRARY_VERSION; }

}  // namespace quillon::api
