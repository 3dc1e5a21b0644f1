# Writes a C++ source holding a file's bytes: cmake -DINPUT=file -DOUTPUT=file.cpp -DSYMBOL=name -P EmbedBytes.cmake
# gives `extern const unsigned char name[]` and `extern const size_t nameSize`.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){32})" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT}
  "// Made by cmake/EmbedBytes.cmake from ${INPUT}; do not edit.\n"
  "#include <cstddef>\n"
  "extern const unsigned char ${SYMBOL}[];\n"
  "extern const size_t ${SYMBOL}Size;\n"
  "alignas(16) const unsigned char ${SYMBOL}[] = {\n${bytes}0};\n"
  "const size_t ${SYMBOL}Size = ${size};\n")
