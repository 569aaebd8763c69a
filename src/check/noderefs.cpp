#include "check/noderefs.h"

#include "model/diagram.h"
#include "model/staterecord.h"
#include "model/transitionrecord.h"

namespace tarvel {

NodeRefs::NodeRefs(const Diagram& diagram) : m_diagram(diagram) {}

std::size_t NodeRefs::position(const Node& node) const {
    if (m_positions.empty()) {
        const auto& nodes = m_diagram.NodeList();
        m_positions.reserve(nodes.size());
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            m_positions.emplace(nodes[i].get(), i);
        }
    }
    const auto it = m_positions.find(&node);
    return it == m_positions.end() ? ElementRef::NO_NODE : it->second;
}

ElementRef NodeRefs::state(const Node& state) const {
    ElementRef r;
    r.kind = ElementKind::State;
    r.state = readStateField(SF_NAME, state);
    r.node = position(state);
    return r;
}

ElementRef NodeRefs::transition(const Node& transition) const {
    ElementRef r;
    r.kind = ElementKind::Transition;
    const Node* source = sourceState(transition);
    const Node* target = targetState(transition);
    r.state = source ? std::string(readStateField(SF_NAME, *source)) : std::string("?");
    r.target = target ? std::string(readStateField(SF_NAME, *target)) : std::string("?");
    r.priority = readTransitionField(TF_PRIORITY, transition);
    r.node = position(transition);
    return r;
}

ElementRef NodeRefs::comment(const Node& comment) const {
    ElementRef r;
    r.kind = ElementKind::Comment;
    r.node = position(comment);
    return r;
}

}  // namespace tarvel
