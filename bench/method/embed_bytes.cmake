# cmake -DINPUT=file -DOUTPUT=header -P embed_bytes.cmake: the file as a byte array
# kReportTemplate with its length kReportTemplateSize.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){24})" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT} "// Generated from ${INPUT}; do not edit.\n#pragma once\n#include <cstddef>\n"
     "static const unsigned char kReportTemplate[] = {\n${bytes}0};\n"
     "static const size_t kReportTemplateSize = ${size};\n")
