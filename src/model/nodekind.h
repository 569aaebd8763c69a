// Kind flags of the nodes the program owns (`NodeKind`).
#pragma once

#include <cstdint>

namespace tarvel {

inline constexpr std::uint32_t NK_INFO = 0x200;         // information node, only inside a file
inline constexpr std::uint32_t NK_COMMENT = 0x400;      // free comment node
inline constexpr std::uint32_t NK_TRANSITION = 0x800;   // transition node
inline constexpr std::uint32_t NK_MARK = 0x1000;        // temporary mark while renumbering
inline constexpr std::uint32_t NK_STATE = 0x2000;       // state without a child diagram
inline constexpr std::uint32_t NK_INITIAL = 0x4000;     // the initial state
inline constexpr std::uint32_t NK_FINAL = 0x8000;       // final state
inline constexpr std::uint32_t NK_SUPERSTATE = 0x10000; // state with a child diagram
inline constexpr std::uint32_t NK_ANNOTATION = 0x20000; // temporary export margin node

inline constexpr std::uint32_t NK_ANY_STATE = 0x1E000;
inline constexpr std::uint32_t NK_ANY_OWN = 0x1F800;

}  // namespace tarvel
