cmake_minimum_required(VERSION 3.25)
# cmake -DOUT=<source.cpp> -DFACES=<a.ttf;b.ttf> -P EmbedFaces.cmake
# Writes a source that compiles the faces into the program, each under its file name
# (platform/graphics/EmbeddedFaces.h): the Windows build's, which reads no files to draw text.
set(arrays "")
set(table "")
set(n 0)
foreach(face IN LISTS FACES)
    file(READ ${face} hex HEX)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)"
                         "\\1\n" bytes "${bytes}")
    cmake_path(GET face FILENAME name)
    string(APPEND arrays "const unsigned char kFace${n}[] = {\n${bytes}};\n\n")
    string(APPEND table "    {\"${name}\", kFace${n}},\n")
    math(EXPR n "${n} + 1")
endforeach()
file(CONFIGURE OUTPUT ${OUT} @ONLY CONTENT
"// Generated at build time by cmake/EmbedFaces.cmake from the game's faces. Do not edit.

#include \"platform/graphics/EmbeddedFaces.h\"

namespace {

@arrays@const gfx::EmbeddedFace kFaces[] = {
@table@};

}  // namespace

std::span<const gfx::EmbeddedFace> gfx::EmbeddedFaces() {
    return kFaces;
}
")
