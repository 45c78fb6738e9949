# Writes a C++ file that holds the bytes of a data file as an array, so that
# the program carries the file with it.
#   cmake -DINPUT=FILE -DOUTPUT=FILE.cpp -DNAME=Identifier -P embed_bytes.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n  " bytes "${bytes}")
file(WRITE "${OUTPUT}" "// Generated from ${INPUT} at build time.\n#include <cstddef>\n#include <cstdint>\n\nnamespace terrafix {\n\nextern const uint8_t ${NAME}[${size}] = {\n  ${bytes}\n};\nextern const size_t ${NAME}Size = ${size};\n\n}  // namespace terrafix\n")
