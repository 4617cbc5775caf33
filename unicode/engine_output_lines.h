#pragma once

#include <cstddef>
#include <functional>
#include <vector>

namespace quillon::unicode {

// The lines of an engine run's output, taken block by block as the run
// writes them, as a LineReader would read them from the file the run would
// have written: CR LF as LF, and a line longer than the engine's buffer in
// pieces, none of which ends in the lead byte of a double-byte character.
class EngineOutputLines {
public:
    // Gets each line (or piece), which it may change in place; with
    // `together`, as many whole lines at once as there are instead, where
    // the pieces make no difference.
    using LineHandler = std::function<void(char* lines, std::size_t length)>;
    EngineOutputLines(LineHandler onLine, bool together) : onLine_(std::move(onLine)), together_(together) {}

    void take(const char* block, std::size_t length);
    // The output has ended: what is left is its last line.
    void finish() { pass(true); }

private:
    void pass(bool atEnd);
    // Hands on the whole lines of what is pending, CR LF made LF in place;
    // the rest too at the end.
    void passTogether(bool atEnd);

    LineHandler onLine_;
    const bool together_;
    std::vector<char> pending_;  // what is not yet a line or a piece
};

}  // namespace quillon::unicode
