#include "text_forms.h"

namespace quillon::api {

std::string formOf(const EncodingProfile* profile) {
    if (profile == nullptr) return {};
    switch (profile->id) {
        case kBig5Id: return "traditional";
        case kPureAscId: return "none";
        default: return "simplified";
    }
}

}  // namespace quillon::api
