#pragma once

#include <cstddef>

namespace quillon::api {

// Asks that the whole pages of `size` bytes at `data`, memory a run is about
// to fill, come in large pages as they are first written: a fault per 2 MiB
// costs far less than one per 4 KiB, which in a large output cost more than
// the run itself. A hint only: memory stays as it was where it is not taken.
void adviseLargePages(void* data, std::size_t size);

}  // namespace quillon::api
