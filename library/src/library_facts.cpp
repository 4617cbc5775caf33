#include <quillon/quillon.h>

#include "opencc_tables.h"

namespace quillon::api {

Error::Error(Kind kind, const std::string& message, int systemError)
    : std::runtime_error(message), kind_(kind), systemError_(systemError) {}

Error::Error(Kind kind, const std::string& message, int systemError, std::vector<Warning> warnings)
    : std::runtime_error(message),
      kind_(kind),
      systemError_(systemError),
      warnings_(std::make_shared<const std::vector<Warning>>(std::move(warnings))) {}

const std::vector<Warning>& Error::warnings() const noexcept {
    static const std::vector<Warning> none;
    return warnings_ ? *warnings_ : none;
}

std::vector<OpenccConfiguration> openccConfigurations() {
    std::vector<OpenccConfiguration> configurations;
    for (const unicode::OpenccConfiguration& configuration : unicode::openccConfigurations()) {
        configurations.push_back({std::string(configuration.name), std::string(configuration.title)});
    }
    return configurations;
}

const char* version() noexcept { return QUILLON_LIBRARY_VERSION; }

}  // namespace quillon::api
