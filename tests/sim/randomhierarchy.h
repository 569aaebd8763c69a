// Random well-formed hierarchies of diagrams for the differential test of
// the simulator against the compiled code: up to 30 states per diagram and
// three levels, every transition flag, loop limits including 0, history and
// non-history children, shared and out-of-range priorities. Conditions are
// "in[k]" and every action statement is "T(n);" with n unique in the
// hierarchy, so that a trace of the numbers tells exactly which texts ran.
#pragma once

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace tarvel::test {

struct RandomHierarchySettings {
    int maxStates = 30;
    int maxDepth = 2;  // levels below the root
    int conditions = 6;
};

// A hierarchy written to disk: the root diagram's path and the number of
// distinct "in[k]" conditions it may use.
struct RandomHierarchy {
    std::string rootPath;
    int conditions = 0;
};

// The shape of one random hierarchy, drawn once and written in either style:
// the reentrant code calls a child as "Child(this);", the other as "Child();".
class RandomHierarchyPlan {
public:
    RandomHierarchyPlan(std::mt19937& rng, const RandomHierarchySettings& settings);
    ~RandomHierarchyPlan();
    RandomHierarchyPlan(RandomHierarchyPlan&&) noexcept;

    // Writes the diagrams into `folder` (created): the root named `rootName`,
    // its descendants after it ("<root>c1", "<root>c2"...). `rootInitialisation`
    // is the root's user initialisation text.
    RandomHierarchy write(const std::string& folder, const std::string& rootName, bool reentrant,
                          const std::string& rootInitialisation) const;

    int conditions() const;

    struct Plan;

private:
    std::unique_ptr<Plan> m_plan;
};

}  // namespace tarvel::test
