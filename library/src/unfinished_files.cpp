#include <quillon/quillon.h>

#include "output_file.h"

namespace quillon::api {

void removeUnfinishedFiles() noexcept { removeUnfinishedOutputs(); }

}  // namespace quillon::api
