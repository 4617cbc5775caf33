#pragma once

#include <string>

#include "encoding_profile.h"

namespace quillon::api {

// The written form of text the engine read or wrote in `profile`: Big5 is
// traditional, GB and GBK simplified, plain ASCII none; empty for no profile.
std::string formOf(const EncodingProfile* profile);

}  // namespace quillon::api
