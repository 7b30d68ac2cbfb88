# Writes gl_redirect.h from the function list: one "#define name table.name" per entry, so engine
# code calls through the seam while reading like plain OpenGL.
# Usage: cmake -DLIST=gl_list.h -DOUT=gl_redirect.h -P GlRedirect.cmake
file(READ ${LIST} text)
string(REGEX REPLACE "\\\\\n" " " text "${text}")
set(out "// Generated from gl_list.h. Do not edit.\n#pragma once\n")
foreach(list GS_GL_CORE_FUNCS:glTable GS_GL_EXT_FUNCS:glExt)
  string(REPLACE ":" ";" parts ${list})
  list(GET parts 0 macro)
  list(GET parts 1 table)
  string(REGEX MATCH "#define ${macro}\\(X\\)[^\n]*" body "${text}")
  string(REGEX MATCHALL "X\\([^,]+, *[A-Za-z0-9_]+," entries "${body}")
  foreach(entry ${entries})
    string(REGEX REPLACE "X\\([^,]+, *([A-Za-z0-9_]+)," "\\1" name "${entry}")
    string(APPEND out "#define ${name} ${table}.${name}\n")
  endforeach()
endforeach()
file(WRITE ${OUT}.tmp "${out}")
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different ${OUT}.tmp ${OUT})
