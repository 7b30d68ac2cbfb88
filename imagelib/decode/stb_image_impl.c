/* The general-purpose decoders, built once for the whole library. */
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_NO_FAILURE_STRINGS
#define STBI_MAX_DIMENSIONS (1 << 16)
#include "stb_image.h"
