#include "engine/core/extension_match.h"

#include <cstring>

bool ExtensionListHas(const char* text, const char* name) {
  if (!name || !*name || std::strchr(name, ' ')) return false;
  if (!text) return false;  // a driver may answer no string at all
  size_t length = std::strlen(name);
  const char* start = text;
  for (;;) {
    const char* found = std::strstr(start, name);
    if (!found) return false;
    const char* end = found + length;
    // An occurrence right where the previous one ended counts as starting a word, too.
    if ((found == start || found[-1] == ' ') && (*end == ' ' || *end == '\0')) return true;
    start = end;
  }
}
