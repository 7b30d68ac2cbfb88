// Ordered JSON without exceptions on the way in, and figures every build writes alike.
#include "json_doc.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// Finds where and why a text is not JSON: the library says so only through an exception or a
// SAX handler, and exceptions stay out of this code.
struct FirstError : nlohmann::json_sax<Json> {
  std::string message;
  bool null() override { return true; }
  bool boolean(bool) override { return true; }
  bool number_integer(number_integer_t) override { return true; }
  bool number_unsigned(number_unsigned_t) override { return true; }
  bool number_float(number_float_t, const string_t&) override { return true; }
  bool string(string_t&) override { return true; }
  bool binary(binary_t&) override { return true; }
  bool start_object(std::size_t) override { return true; }
  bool key(string_t&) override { return true; }
  bool end_object() override { return true; }
  bool start_array(std::size_t) override { return true; }
  bool end_array() override { return true; }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& e) override {
    message = e.what();
    size_t tag = message.find("] ");  // "[json.exception.parse_error.101] parse error at ..."
    if (tag != std::string::npos) message.erase(0, tag + 2);
    return false;
  }
};

}  // namespace

bool ParseJsonText(const std::string& text, Json& value, std::string& error) {
  value = Json::parse(text, nullptr, false);
  if (!value.is_discarded()) return true;
  FirstError first;
  Json::sax_parse(text, &first, nlohmann::detail::input_format_t::json, false);
  error = text.empty() ? "empty, not JSON" : "not JSON: " + first.message;
  value = Json();
  return false;
}

std::string JsonText(const Json& value) {
  return value.dump(1, ' ', false, Json::error_handler_t::replace) + "\n";
}

Json Figure(double value) {
  if (!std::isfinite(value)) return nullptr;
  char text[40];
  std::snprintf(text, sizeof text, "%.12g", value);
  return std::strtod(text, nullptr);
}

Json Figure(std::optional<double> value) { return value ? Figure(*value) : Json(nullptr); }

std::optional<double> NumberAt(const Json& object, const char* name) {
  if (!object.is_object()) return std::nullopt;
  auto found = object.find(name);
  if (found == object.end() || !found->is_number()) return std::nullopt;
  return found->get<double>();
}

std::string TextAt(const Json& object, const char* name) {
  if (!object.is_object()) return "";
  auto found = object.find(name);
  return found != object.end() && found->is_string() ? found->get<std::string>() : "";
}

const Json& MemberAt(const Json& object, const char* name) {
  static const Json kNull;
  if (!object.is_object()) return kNull;
  auto found = object.find(name);
  return found == object.end() ? kNull : *found;
}
