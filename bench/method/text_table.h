// Plain-text layout for the printed summary: widths in characters of UTF-8 text, as Python's
// ljust and %-Ns count them. Portable.
#pragma once

#include <string>
#include <vector>

size_t TextWidth(const std::string& utf8);
std::string PadRight(const std::string& utf8, size_t width);
std::string PadLeft(const std::string& utf8, size_t width);  // as %Ns right-aligns
// Columns two spaces apart, a dashed line under the header; rows shorter than the header are
// padded with empty cells.
std::string TextTable(const std::vector<std::string>& header,
                      const std::vector<std::vector<std::string>>& rows);
// Greedy wrap at spaces to `width` characters; continuation lines start with `indent`.
std::string WrapText(const std::string& text, size_t width, const std::string& indent);
