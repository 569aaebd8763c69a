// The trace of a simulation as JSON Lines: one object per call with the
// actions that ran, the transitions that fired and the active state of every
// diagram afterwards:
//   {"call":1,"actions":["T(1);"],"fired":[{"diagram":"Door","from":"CLOSED",
//    "to":"OPEN","priority":1}],"active":{"Door":"OPEN","Door/Lock":"LOCKED"}}
// With several instances each object starts with "instance"; a call the
// simulator had to stop ends with "error".
#pragma once

#include <string>

namespace tarvel {

class Simulator;

// The line of the call `sim` ran last (without a line break). `instance` 0
// leaves the instance out.
void appendTraceLine(std::string& out, const Simulator& sim, int instance);

}  // namespace tarvel
