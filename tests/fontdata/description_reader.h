// Reads a font description file by the texture font's line rules, for checking generated data.
#pragma once

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

struct FontDescription {
  std::string internalName;
  std::string texture;
  std::map<int, int> widths;  // byte code -> width, only the codes the file lists
};

inline void SplitDescriptionLine(const std::string& line, std::string* key, std::string* value) {
  size_t space = line.find(' ');
  *key = line.substr(0, space);
  value->clear();
  if (space == std::string::npos) return;
  size_t start = space + 1;
  if (start < line.size() && line[start] != ' ') {
    size_t end = line.find(' ', start);  // the separator token
    if (end == std::string::npos) return;
    start = end;
  }
  *value = line.substr(start + 1 > line.size() ? line.size() : start + 1);
}

inline FontDescription ParseFontDescription(const std::string& text) {
  FontDescription description;
  std::istringstream stream(text);
  std::string line;
  while (std::getline(stream, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    std::string key, value;
    SplitDescriptionLine(line, &key, &value);
    if (key.size() <= 3) description.widths[std::atoi(key.c_str())] = std::atoi(value.c_str());
    else if (key == "internalname") description.internalName = value;
    else if (key == "texture") description.texture = value;
  }
  return description;
}
