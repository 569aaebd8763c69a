// Fixed texts of the generated module: the two banner lines, the program's
// title and the methodology tag printed in every banner.
#pragma once

#include <string_view>

namespace tarvel {

#define TARVEL_CODEGEN_STR2(x) #x
#define TARVEL_CODEGEN_STR(x) TARVEL_CODEGEN_STR2(x)

// The title and version of the program that wrote the code.
inline constexpr std::string_view APP_TITLE =
    "Tarvel Editor v" TARVEL_CODEGEN_STR(TARVEL_VERSION_MAJOR) "." TARVEL_CODEGEN_STR(
        TARVEL_VERSION_MINOR) "r" TARVEL_CODEGEN_STR(TARVEL_VERSION_REVISION);

#undef TARVEL_CODEGEN_STR
#undef TARVEL_CODEGEN_STR2

// Version of the generation method, unchanged since the layout was fixed.
inline constexpr std::string_view METHODOLOGY_VERSION = "v1.5r1";

// Section banners, 80 characters each, without their line break: "//" and 78
// plus signs; "//" and 39 times a blank and a dash.
inline constexpr std::string_view PLUS_LINE =
    "//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++";
inline constexpr std::string_view DASH_LINE =
    "// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -";

static_assert(PLUS_LINE.size() == 80 && DASH_LINE.size() == 80);

}  // namespace tarvel
