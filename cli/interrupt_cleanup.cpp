#include "interrupt_cleanup.h"

#include <csignal>

#include "output_file.h"

namespace quillon::cli {
namespace {

extern "C" void removeUnfinishedFilesAndDie(int signal) {
    removeUnfinishedOutputs();
    std::signal(signal, SIG_DFL);
    std::raise(signal);  // delivered when this handler returns
}

}  // namespace

void removeUnfinishedFilesOnSignals() {
    for (int signal : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE, SIGXFSZ}) {
        struct sigaction previous {};
        ::sigaction(signal, nullptr, &previous);
        if (previous.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = removeUnfinishedFilesAndDie;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}

}  // namespace quillon::cli
