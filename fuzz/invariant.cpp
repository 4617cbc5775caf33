#include "invariant.h"

#include <cstdio>
#include <cstdlib>

#include <unistd.h>

namespace quillon::fuzz {
namespace {

// Taken before main, before libFuzzer can point descriptor 2 at /dev/null.
const int originalStandardError = ::dup(2);

}  // namespace

void require(bool holds, const char* what) {
    if (holds) return;
    ::dprintf(originalStandardError >= 0 ? originalStandardError : 2, "invariant failed: %s\n", what);
    std::abort();
}

}  // namespace quillon::fuzz
