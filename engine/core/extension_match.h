// Whole-word search in an OpenGL extension string. Portable: no Windows or GL headers.
#pragma once

// True when name occurs in text as a whole word (words are separated by spaces). A name that is
// empty or contains a space never matches; a null text holds no names.
bool ExtensionListHas(const char* text, const char* name);
