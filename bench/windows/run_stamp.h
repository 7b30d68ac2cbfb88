// The run's stamp from the system (date, command line, clock tick) and text of the system's
// code page as UTF-8, which raw.json and every report hold.
#pragma once

#include <string>

#include "raw_record.h"

RunStamp CurrentRunStamp();
// Text of the ANSI code page (paths, names from the A functions) as UTF-8.
std::string Utf8FromAnsi(const std::string& text);
