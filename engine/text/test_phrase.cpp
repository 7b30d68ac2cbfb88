#include "engine/text/texture_font.h"

const char TestPhrase[34] = "саббакка баббка аф-фа-аф %!%^^^#$";
