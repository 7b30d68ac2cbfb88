# The stb_image patch applies to the header as it is, and a header it does not fit stops the
# configure naming the fix: for every fix a copy without its anchor and a copy with one more, and
# one whole configure of the project on such a copy.
#   cmake -DSTB_IMAGE=<stb_image.h> -DDEVIL_INCLUDE_DIR=<dir> -DSOURCE=<repo> -DWORK=<dir> -P ...
set(module ${SOURCE}/cmake/StbImagePatch.cmake)
include(${module})
glyphstorm_stb_fixes()
file(READ ${STB_IMAGE} original)
file(REMOVE_RECURSE ${WORK})
set(failures "")

# Patches header in a process of its own; fix names the fix expected to stop it (empty: none).
function(expect_patch case header fix)
  execute_process(COMMAND ${CMAKE_COMMAND} -DSTB_IMAGE=${header} -DOUT=${WORK}/patched.h
                          -P ${module}
                  RESULT_VARIABLE result ERROR_VARIABLE errors OUTPUT_QUIET)
  if(fix STREQUAL "" AND NOT result EQUAL 0)
    set(failures "${failures}\n${case}: the patch failed:\n${errors}" PARENT_SCOPE)
  elseif(NOT fix STREQUAL "" AND (result EQUAL 0 OR NOT errors MATCHES "fix[ \n]+${fix}[ \n]"))
    set(failures "${failures}\n${case}: expected a stop naming ${fix}, got (${result}):\n${errors}"
        PARENT_SCOPE)
  endif()
endfunction()

expect_patch("the header as it is" ${STB_IMAGE} "")
foreach(name IN LISTS stb_fixes)
  string(REPLACE "${stb_fix_${name}_anchor}" "/* gone */" text "${original}")
  file(WRITE ${WORK}/missing_${name}.h "${text}")
  expect_patch("${name} anchor missing" ${WORK}/missing_${name}.h ${name})
  file(WRITE ${WORK}/extra_${name}.h "${original}\n${stb_fix_${name}_anchor}\n")
  expect_patch("${name} anchor once more" ${WORK}/extra_${name}.h ${name})
endforeach()

# The configure itself goes through the check (the last fix, so every other one passed first).
list(GET stb_fixes -1 last)
string(REPLACE "${stb_fix_${last}_anchor}" "/* gone */" text "${original}")
file(WRITE ${WORK}/doctored/stb_image.h "${text}")
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${WORK}/configure -DGLYPHSTORM_TESTS=OFF
                        -DGLYPHSTORM_STB_DIR=${WORK}/doctored -DDEVIL_INCLUDE_DIR=${DEVIL_INCLUDE_DIR}
                RESULT_VARIABLE result ERROR_VARIABLE errors OUTPUT_QUIET)
if(result EQUAL 0 OR NOT errors MATCHES "fix[ \n]+${last}[ \n]")
  string(APPEND failures "\nconfigure with ${last} missing: expected a stop naming it, got "
                         "(${result}):\n${errors}")
endif()

if(NOT failures STREQUAL "")
  message(FATAL_ERROR "${failures}")
endif()
list(LENGTH stb_fixes count)
message(STATUS "stb_image patch: ${count} fixes, each stops the configure when its anchor is "
               "missing or found once more")
