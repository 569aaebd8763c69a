// Writes one section of the module in which every child diagram's text is
// nested under its parent's: a child's block opens with "// [Child:" on the
// parent's last line and is indented two blanks deeper than its parent, with
// the blanks that end a block removed. Writing the blocks in walk order at
// their depth gives the same text as indenting each child's whole subtree
// again at every level, in time linear in the output.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "base/codeprinter.h"

namespace tarvel {

class ChildBlockWriter {
public:
    // Appends the section to `out`.
    explicit ChildBlockWriter(CodePrinter& out) : m_out(out) {}
    ~ChildBlockWriter() { closeTo(0); }
    ChildBlockWriter(const ChildBlockWriter&) = delete;
    ChildBlockWriter& operator=(const ChildBlockWriter&) = delete;

    // Closes the blocks at `depth` and deeper and opens a new child block at
    // `depth` (1 for a child of the root).
    void openChild(int depth);
    // Writes text into the innermost open block (verbatim at the root).
    void write(std::string_view text);
    // A line break followed by the indentation of the open blocks.
    void lineBreak();

private:
    void closeTo(std::size_t depth);
    int pad() const { return static_cast<int>(m_starts.size()) * 2; }

    CodePrinter& m_out;
    // Where each open block starts; the size is the current depth.
    std::vector<std::size_t> m_starts;
};

}  // namespace tarvel
