// The make rule of a batch run's outputs, for build tools that regenerate the
// C module when a diagram changes: every file the run writes depends on the
// diagram of the command line and on every child diagram the generation walk
// read. Make and Ninja read the rule as they read a C compiler's "-MD" output.
#pragma once

#include <string>
#include <vector>

namespace tarvel {

// "t1 t2: \<LF> p1 \<LF> p2<LF>", then an empty rule per prerequisite so that
// make does not stop when a child diagram is deleted later (without targets,
// only those). Blanks, "#" and "$" in
// paths are escaped as make reads them. Line ends are LF: the text is for make.
std::string DepfileText(const std::vector<std::string>& targets,
                        const std::vector<std::string>& prerequisites);

// Writes DepfileText() to `path` through the atomic writer. False, with the
// reason in `error`, when it was not written or a path cannot be written in
// make's form (a line break in it).
bool WriteDepfile(const std::string& path, const std::vector<std::string>& targets,
                  const std::vector<std::string>& prerequisites, std::string& error);

}  // namespace tarvel
