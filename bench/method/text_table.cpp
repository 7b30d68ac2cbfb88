// Text layout for the printed summary.
#include "text_table.h"

#include <algorithm>
#include <sstream>

size_t TextWidth(const std::string& utf8) {
  size_t n = 0;
  for (unsigned char c : utf8) n += (c & 0xC0) != 0x80;
  return n;
}

std::string PadRight(const std::string& utf8, size_t width) {
  size_t have = TextWidth(utf8);
  return have >= width ? utf8 : utf8 + std::string(width - have, ' ');
}

std::string PadLeft(const std::string& utf8, size_t width) {
  size_t have = TextWidth(utf8);
  return have >= width ? utf8 : std::string(width - have, ' ') + utf8;
}

std::string TextTable(const std::vector<std::string>& header,
                      const std::vector<std::vector<std::string>>& rows) {
  std::vector<size_t> widths;
  for (size_t i = 0; i < header.size(); ++i) {
    size_t w = TextWidth(header[i]);
    for (const auto& row : rows) {
      if (i < row.size()) w = std::max(w, TextWidth(row[i]));
    }
    widths.push_back(w);
  }
  auto line = [&](const std::vector<std::string>& cells) {
    std::string out;
    for (size_t i = 0; i < widths.size(); ++i) {
      out += (i ? "  " : "") + PadRight(i < cells.size() ? cells[i] : "", widths[i]);
    }
    return out;
  };
  std::string top = line(header);
  std::string out = top + "\n" + std::string(TextWidth(top), '-') + "\n";
  for (const auto& row : rows) out += line(row) + "\n";
  return out;
}

std::string WrapText(const std::string& text, size_t width, const std::string& indent) {
  std::istringstream words(text);
  std::string word, out, current;
  while (words >> word) {
    if (!current.empty() && TextWidth(current) + 1 + TextWidth(word) > width) {
      out += current + "\n";
      current = indent + word;
    } else {
      current += (current.empty() ? "" : " ") + word;
    }
  }
  return out + current + "\n";
}
