// A run of every path of scripts/bench's table as the Windows side would record it: two
// processes of four rounds each, one path failed, one held at the display's refresh rate.
#pragma once

#include "run_record.h"

#include <string>

const char kSampleFailedPath[] = "gl_reference-glyphs";  // a reference, in information lines
const char kSampleCappedPath[] = "glyphstorm-mode2";     // its reference is not capped

std::string ReadSourceFile(const std::string& relative);
PathTable SampleTable();
RunRecord SampleRun(const PathTable& table);
