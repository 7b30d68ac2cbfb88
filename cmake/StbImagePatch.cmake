# Debian's stb_image (2.27) has input faults that later upstream versions mend, and our copy takes
# their checks. Each fix names the text it replaces (its anchor) and how often that text occurs;
# a header that differs stops the configure with the fix's name, because a fix skipped without a
# word lets its fault back into the decoder.
#   include(StbImagePatch) ... glyphstorm_patch_stb_image(<stb_image.h> <patched copy>)
#   cmake -DSTB_IMAGE=<stb_image.h> -DOUT=<patched copy> -P StbImagePatch.cmake

# Sets stb_fixes (the names, in the order they apply) and, per name, stb_fix_<name>_count,
# _anchor and _text in the caller's scope.
macro(glyphstorm_stb_fixes)
  set(stb_fixes)

  # A Huffman table declaring more than 256 codes wrote past its size table.
  _stb_fix(jpeg_dht_code_count 1
    "            L -= 17;\n            if (tc == 0) {"
    "            L -= 17;\n            if (n > 256) return stbi__err(\"bad DHT header\",\"Corrupt JPEG\");\n            if (tc == 0) {")

  # A code the table's lengths allow but its symbols don't reach indexed past the symbol list.
  _stb_fix(jpeg_huffman_symbol_range 1
    "   c = ((j->code_buffer >> (32 - k)) & stbi__bmask[k]) + h->delta[k];\n"
    "   c = ((j->code_buffer >> (32 - k)) & stbi__bmask[k]) + h->delta[k];\n   if (c < 0 || c >= 256) return -1;\n")

  # A scan whose Huffman table was never defined ran the code-length search past its table.
  _stb_fix(jpeg_huffman_length_search 1
    "for (k=FAST_BITS+1 ; ; ++k)"
    "for (k=FAST_BITS+1 ; k < 17; ++k)")

  # A DC value summed (baseline and progressive) or scaled past the int range overflowed.
  _stb_fix(jpeg_dc_sum_range 2
    "dc = j->img_comp[b].dc_pred + diff;"
    "if ((long long) j->img_comp[b].dc_pred + diff > INT_MAX || (long long) j->img_comp[b].dc_pred + diff < INT_MIN) return stbi__err(\"bad delta\",\"Corrupt JPEG\"); dc = j->img_comp[b].dc_pred + diff;")
  _stb_fix(jpeg_dc_scale_range_baseline 1
    "data[0] = (short) (dc * dequant[0]);"
    "if ((long long) dc * dequant[0] > SHRT_MAX || (long long) dc * dequant[0] < SHRT_MIN) return stbi__err(\"can't merge dc and ac\",\"Corrupt JPEG\"); data[0] = (short) (dc * dequant[0]);")
  _stb_fix(jpeg_dc_scale_range_progressive 1
    "data[0] = (short) (dc * (1 << j->succ_low));"
    "if ((long long) dc * (1 << j->succ_low) > SHRT_MAX || (long long) dc * (1 << j->succ_low) < SHRT_MIN) return stbi__err(\"can't merge dc and ac\",\"Corrupt JPEG\"); data[0] = (short) (dc * (1 << j->succ_low));")

  # An empty IDAT chunk before any data offset the null data pointer.
  _stb_fix(png_empty_idat 1
    "if (!stbi__getn(s, z->idata+ioff,c.length))"
    "if (c.length > 0 && !stbi__getn(s, z->idata+ioff,c.length))")

  # A header number past the int range overflowed.
  _stb_fix(pnm_header_number_range 1
    "      value = value*10 + (*c - '0');\n"
    "      if (value > (INT_MAX - (*c - '0')) / 10) return stbi__err(\"integer parse overflow\",\"Corrupt PNM\");\n      value = value*10 + (*c - '0');\n")

  # Matte removal: float results outside the channel type's range were cast to it.
  _stb_fix(psd_matte_clamp 1
    "   // remove weird white matte from PSD\n"
    "   // remove weird white matte from PSD\n#define STBI__MATTE(v, top) ((v) < 0.0f ? 0.0f : (v) > (top) ? (top) : (v))\n")
  foreach(channel 0 1 2)
    _stb_fix(psd_matte_16bit_channel${channel} 1
      "(stbi__uint16) (pixel[${channel}]*ra + inv_a)"
      "(stbi__uint16) STBI__MATTE(pixel[${channel}]*ra + inv_a, 65535.0f)")
    _stb_fix(psd_matte_8bit_channel${channel} 1
      "(unsigned char) (pixel[${channel}]*ra + inv_a)"
      "(unsigned char) STBI__MATTE(pixel[${channel}]*ra + inv_a, 255.0f)")
  endforeach()
endmacro()

function(_stb_fix name count anchor text)
  set(stb_fixes ${stb_fixes} ${name} PARENT_SCOPE)
  set(stb_fix_${name}_count ${count} PARENT_SCOPE)
  set(stb_fix_${name}_anchor "${anchor}" PARENT_SCOPE)
  set(stb_fix_${name}_text "${text}" PARENT_SCOPE)
endfunction()

# How many times anchor occurs in text (without overlaps, as string(REPLACE) sees it).
function(_stb_count result text anchor)
  string(LENGTH "${text}" whole)
  string(REPLACE "${anchor}" "" rest "${text}")
  string(LENGTH "${rest}" left)
  string(LENGTH "${anchor}" each)
  math(EXPR found "(${whole} - ${left}) / ${each}")
  set(${result} ${found} PARENT_SCOPE)
endfunction()

# Writes the patched header to out (touched only when its text changes).
function(glyphstorm_patch_stb_image header out)
  if(NOT EXISTS "${header}")
    message(FATAL_ERROR "stb_image patch: ${header} not found")
  endif()
  glyphstorm_stb_fixes()
  file(READ "${header}" text)
  foreach(name IN LISTS stb_fixes)
    _stb_count(found "${text}" "${stb_fix_${name}_anchor}")
    if(NOT found EQUAL stb_fix_${name}_count)
      message(FATAL_ERROR "stb_image patch: fix ${name} expects its anchor "
        "${stb_fix_${name}_count} time(s) in ${header} but found it ${found} time(s); this header "
        "is not the one the fix was written for: check the fix in cmake/StbImagePatch.cmake")
    endif()
    string(REPLACE "${stb_fix_${name}_anchor}" "${stb_fix_${name}_text}" text "${text}")
  endforeach()
  file(WRITE "${out}.new" "${text}")
  execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different "${out}.new" "${out}")
  file(REMOVE "${out}.new")
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  glyphstorm_patch_stb_image("${STB_IMAGE}" "${OUT}")
endif()
