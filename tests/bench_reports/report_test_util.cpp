#include "report_test_util.h"

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <sstream>

Json LoadDocument(const std::string& name) {
  std::ifstream in(std::string(BENCH_REPORTS_DATA) + "/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  Json value;
  std::string error;
  EXPECT_TRUE(ParseJsonText(text.str(), value, error)) << name << ": " << error;
  return value;
}

std::string FileNamed(const std::vector<ReportFile>& files, const std::string& name) {
  for (const ReportFile& file : files) {
    if (file.name == name) return file.bytes;
  }
  ADD_FAILURE() << "no " << name;
  return "";
}

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
    ++n;
  return n;
}

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

namespace {

bool NameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == ':' ||
         c == '.';
}

// Character data: every '&' starts a known entity, no '<'.
std::string TextFault(const std::string& text) {
  for (size_t at = text.find('&'); at != std::string::npos; at = text.find('&', at + 1)) {
    size_t end = text.find(';', at);
    std::string entity = end == std::string::npos ? "" : text.substr(at, end - at + 1);
    bool numeric = entity.size() > 3 && entity[1] == '#';
    if (!numeric && entity != "&amp;" && entity != "&lt;" && entity != "&gt;" &&
        entity != "&quot;" && entity != "&apos;")
      return "bad entity at " + text.substr(at, 12);
  }
  return text.find('<') == std::string::npos ? "" : "'<' in text";
}

}  // namespace

std::string XmlFault(const std::string& text) {
  std::vector<std::string> open;
  size_t at = 0;
  int roots = 0;
  while (at < text.size()) {
    size_t tag = text.find('<', at);
    std::string fault = TextFault(text.substr(at, tag == std::string::npos ? tag : tag - at));
    if (!fault.empty()) return fault;
    if (tag == std::string::npos) break;
    if (open.empty() && text.find_first_not_of(" \n\r\t", at) < tag) return "text outside the root";
    size_t end = text.find('>', tag);
    if (end == std::string::npos) return "unclosed tag";
    std::string inside = text.substr(tag + 1, end - tag - 1);
    at = end + 1;
    if (inside.compare(0, 3, "!--") == 0) {
      size_t close = text.find("-->", tag);
      if (close == std::string::npos) return "unclosed comment";
      at = close + 3;
      continue;
    }
    if (!inside.empty() && inside[0] == '/') {
      if (open.empty() || open.back() != inside.substr(1))
        return "</" + inside.substr(1) + "> unopened";
      open.pop_back();
      continue;
    }
    bool empty = !inside.empty() && inside.back() == '/';
    if (empty) inside.pop_back();
    size_t i = 0;
    while (i < inside.size() && NameChar(inside[i])) ++i;
    std::string name = inside.substr(0, i);
    if (name.empty()) return "a tag without a name";
    // Attributes: name="value" pairs, each name once.
    std::vector<std::string> seen;
    while (true) {
      while (i < inside.size() && std::isspace(static_cast<unsigned char>(inside[i]))) ++i;
      if (i >= inside.size()) break;
      size_t start = i;
      while (i < inside.size() && NameChar(inside[i])) ++i;
      std::string attribute = inside.substr(start, i - start);
      if (attribute.empty() || i + 1 >= inside.size() || inside[i] != '=' || inside[i + 1] != '"')
        return "<" + name + "> has a malformed attribute";
      size_t close = inside.find('"', i + 2);
      if (close == std::string::npos) return "<" + name + "> has an unclosed attribute";
      fault = TextFault(inside.substr(i + 2, close - i - 2));
      if (!fault.empty()) return fault;
      for (const std::string& s : seen) {
        if (s == attribute) return "<" + name + "> repeats " + attribute;
      }
      seen.push_back(attribute);
      i = close + 1;
    }
    if (open.empty() && ++roots > 1) return "more than one root";
    if (!empty) open.push_back(name);
  }
  if (!open.empty()) return "<" + open.back() + "> not closed";
  return roots == 1 ? "" : "no root";
}
