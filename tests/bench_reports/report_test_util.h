// Shared by the report writers' tests: the hand-made results documents of data/ and a check
// that a text is well-formed XML.
#pragma once

#include <string>
#include <vector>

#include "json_doc.h"
#include "report_files.h"

// data/NAME parsed (a failed test when it cannot be read).
Json LoadDocument(const std::string& name);
// The file of that name among ReportFiles, or "" (and a failed test).
std::string FileNamed(const std::vector<ReportFile>& files, const std::string& name);
// "" when `text` is one well-formed XML element (tags nested and closed, attributes quoted,
// entities known), else what is wrong.
std::string XmlFault(const std::string& text);
// How often `part` occurs in `text`.
size_t Count(const std::string& text, const std::string& part);
// The lines of a text.
std::vector<std::string> LinesOf(const std::string& text);
