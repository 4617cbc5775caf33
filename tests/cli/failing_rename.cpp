// Preloaded into quillon-cli by unplaced_output_test.sh: a rename onto a path
// whose last part FAILING_RENAME_NAME names fails with EACCES, as into a
// folder locked while the run wrote its output. Every other rename is the
// system's own.
#include <dlfcn.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

extern "C" int rename(const char* from, const char* to) {
    const char* failing = std::getenv("FAILING_RENAME_NAME");
    const char* slash = std::strrchr(to, '/');
    if (failing != nullptr && std::strcmp(slash != nullptr ? slash + 1 : to, failing) == 0) {
        errno = EACCES;
        return -1;
    }
    using Rename = int (*)(const char*, const char*);
    static const auto real = reinterpret_cast<Rename>(dlsym(RTLD_NEXT, "rename"));
    return real(from, to);
}
