#include "codegen/clscontinueimmediately.h"

#include <algorithm>

#include "base/text.h"
#include "model/diagram.h"
#include "model/fsmrecord.h"
#include "model/staterecord.h"
#include "model/transitionrecord.h"

namespace tarvel {

namespace {

bool isChain(const Node& t) {
    return isTransition(t) && readTransitionField(TF_CONTINUE, t) == "Y";
}

// Any chain transition asks for the loop, even one that is never generated
// (its priority is taken or out of range).
bool anyChain(const Diagram& diagram) {
    for (const auto& node : diagram.NodeList()) {
        if (!isState(*node)) {
            continue;
        }
        for (const Link* l : node->NodeOutLinks()) {
            if (isChain(*l->LinkTarget())) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

void clsContinueImmediately::Captura(const Diagram& diagram, bool& chainPresent, int& maxLoops) {
    // One entry per state, by index; an index beyond the number of states has
    // no entry (the generator refuses such diagrams).
    const auto stateCount =
        static_cast<std::size_t>(std::count_if(diagram.NodeList().begin(), diagram.NodeList().end(),
                                               [](const auto& node) { return isState(*node); }));
    m_chains.assign(stateCount, {});
    chainPresent = anyChain(diagram);
    // Without any chain transition every entry stays empty, which answers
    // that no transition continues immediately.
    if (chainPresent) {
        recordChains(diagram);
    }

    maxLoops = 0;
    if (!chainPresent) {
        return;
    }
    maxLoops = std::clamp(lenientInt(GetGraphField(FF_MAX_LOOPS, diagram)), 0, 255);
    if (maxLoops == 1) {
        chainPresent = false;
    }
}

void clsContinueImmediately::recordChains(const Diagram& diagram) {
    for (const auto& node : diagram.NodeList()) {
        if (!isState(*node)) {
            continue;
        }
        const int k = lenientInt(readStateField(SF_INDEX, *node));
        if (k < 1 || static_cast<std::size_t>(k) > m_chains.size()) {
            continue;
        }
        const std::vector<const Node*> byPriority = transitionsByPriority(*node);
        std::vector<bool>& chains = m_chains[static_cast<std::size_t>(k - 1)];
        chains.assign(byPriority.size(), false);
        for (std::size_t p = 0; p < byPriority.size(); ++p) {
            chains[p] = byPriority[p] != nullptr && isChain(*byPriority[p]);
        }
    }
}

bool clsContinueImmediately::ExistInThisTrans(int stateIndex, int priority) const {
    if (stateIndex < 1 || static_cast<std::size_t>(stateIndex) > m_chains.size()) {
        return false;
    }
    const auto& chains = m_chains[static_cast<std::size_t>(stateIndex - 1)];
    return priority >= 1 && static_cast<std::size_t>(priority) <= chains.size() &&
           chains[static_cast<std::size_t>(priority - 1)];
}

}  // namespace tarvel
