#pragma once

#include <span>
#include <string_view>

namespace gfx {

// A face compiled into the program, under the file name its copy would have.
struct EmbeddedFace {
    std::string_view file;
    std::span<const unsigned char> data;
};

// The faces of a build that carries its own (Windows: the program starts wherever it alone
// lies, and opens no file to draw text); a source generated at build time defines it.
std::span<const EmbeddedFace> EmbeddedFaces();

}  // namespace gfx
