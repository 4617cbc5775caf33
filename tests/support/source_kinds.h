#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "legacy_text.h"

namespace quillon::testing {

// A small source of one kind, as its bytes.
struct SourceKind {
    std::string name;
    std::string bytes;
};

// Every kind of source a run may meet, each told by detection alone.
inline std::vector<SourceKind> sourceKinds() {
    return {
        {"GB", gb("头发很长，说：“这是为了中国。”\n")},
        {"GBK", gb("头发很长，丂乂说。\n")},  // 丂乂 are GBK only
        {"Big5", big5("這是第二個文件，說：「國家。」\n")},
        {"ASCII", "plain text, nothing else.\n"},
        {"UTF-8 simplified", "这是第二个文件，国家的人民。\n"},
        {"UTF-8 traditional", "頭髮很長，國家的人民。\n"},
        {"UTF-16", recode("\uFEFF国家的人民。\n", "UTF-16LE", "UTF-8")},
        {"GB18030", recode("中国的人民€𠀀。\n", "GB18030", "UTF-8")},
        // Its end mark leaves an offset in the run's report.
        {"GB ended by 1A", gb("中文\x1A更多\n")},
    };
}

// Positions in a list of `count` kinds, in an order where each kind follows
// each kind once, itself included: a de Bruijn sequence of pairs.
inline std::vector<std::size_t> eachAfterEach(std::size_t count) {
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < count; ++i) {
        order.push_back(i);
        for (std::size_t j = i + 1; j < count; ++j) {
            order.push_back(i);
            order.push_back(j);
        }
    }
    order.push_back(0);
    return order;
}

}  // namespace quillon::testing
