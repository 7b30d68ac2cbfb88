# glyphstorm_add_test(name SOURCES ... LIBS ... [DESKTOP WxH] [SERIAL]): one GoogleTest program,
# registered as one ctest entry (a whole binary per Wine start keeps the run fast). Windows test
# programs run through the Wine runner; their working directory is the output folder, where the
# DLLs and data sit. DESKTOP runs the program inside a Wine virtual desktop of that size; SERIAL
# keeps other tests from running meanwhile.
function(glyphstorm_add_test name)
  cmake_parse_arguments(T "SERIAL" "TIMEOUT;DESKTOP" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main)
  if(T_DESKTOP AND CMAKE_CROSSCOMPILING_EMULATOR)
    add_test(NAME ${name}
             COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --desktop ${T_DESKTOP} $<TARGET_FILE:${name}>
                     --gtest_brief=1
             WORKING_DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  else()
    # Built on Windows itself, a DESKTOP test runs on the desktop it has. A target as the command
    # gets the emulator, if any, in front.
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1
             WORKING_DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  endif()
  if(T_SERIAL)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()

# Narrow string literals of the target are Windows-1251 text (sources are UTF-8).
function(glyphstorm_cp1251 target scope)
  if(MSVC)
    target_compile_options(${target} ${scope} /source-charset:utf-8 /execution-charset:windows-1251)
  else()
    target_compile_options(${target} ${scope} -finput-charset=UTF-8 -fexec-charset=CP1251)
  endif()
endfunction()

# glyphstorm_add_script_test(name SCRIPT file.py [SERIAL] [TIMEOUT s]): an end-to-end test in
# Python (unittest) that drives the built Windows programs through tests/tools/wineharness.py.
# SERIAL for tests that use the shared X display's focus or keyboard (xdotool).
function(glyphstorm_add_script_test name)
  cmake_parse_arguments(T "SERIAL" "SCRIPT;TIMEOUT" "DEPENDS" ${ARGN})
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  add_test(NAME ${name}
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/${T_SCRIPT}
           WORKING_DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} ENVIRONMENT
    "GLYPHSTORM_BIN=${CMAKE_RUNTIME_OUTPUT_DIRECTORY};GLYPHSTORM_RUN=${CMAKE_CROSSCOMPILING_EMULATOR};PYTHONPATH=${PROJECT_SOURCE_DIR}/tests/tools:${PROJECT_SOURCE_DIR}/bench")
  if(T_SERIAL)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
  endif()
endfunction()

# glyphstorm_dll_boundary(NAME name DLL file.dll HEADERS <IL/il.h>... EXPORTS fn@bytes...
#                         [EXTRA fn...]): one export list per DLL, from which come
#   ${name}_DEF          its module-definition file: on i686 every stdcall name keeps its
#                        argument bytes, so the linker (stdcall fix-up off) matches them against
#                        the definitions, and --kill-at leaves the bare names in the export table;
#   ${name}_IMPORT_LIB   the import library callers link, mapping the decorated names they use
#                        onto the bare exports;
#   ${name}_CHECKS       a source with compile-time checks that the headers both sides include
#                        declare each function __stdcall with those argument bytes (i686 only:
#                        x86_64 has one convention).
# EXTRA exports are undecorated functions of ours (test hooks) that no caller links by name.
set(GLYPHSTORM_STDCALL_CHECKS_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/stdcall_checks.cpp.in)
function(glyphstorm_dll_boundary)
  cmake_parse_arguments(B "" "NAME;DLL" "HEADERS;EXPORTS;EXTRA" ${ARGN})
  set(dir ${CMAKE_BINARY_DIR}/dll-boundaries)
  set(def "LIBRARY ${B_DLL}\nEXPORTS\n")
  set(checks "")
  foreach(export ${B_EXPORTS})
    if(NOT export MATCHES "^([A-Za-z_][A-Za-z0-9_]*)@([0-9]+)$")
      message(FATAL_ERROR "${B_NAME}: export '${export}' is not name@argument-bytes")
    endif()
    set(function ${CMAKE_MATCH_1})
    set(bytes ${CMAKE_MATCH_2})
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      string(APPEND def "  ${export}\n")
    else()
      string(APPEND def "  ${function}\n")
    endif()
    string(APPEND checks "GS_CHECK_STDCALL(${function}, ${bytes});\n")
  endforeach()
  foreach(export ${B_EXTRA})
    string(APPEND def "  ${export}\n")
  endforeach()
  file(WRITE ${dir}/${B_NAME}.def "${def}")

  set(includes "")
  foreach(header ${B_HEADERS})
    string(APPEND includes "#include ${header}\n")
  endforeach()
  set(GS_DLL ${B_DLL})
  set(GS_INCLUDES "${includes}")
  set(GS_CHECKS "${checks}")
  configure_file(${GLYPHSTORM_STDCALL_CHECKS_TEMPLATE} ${dir}/${B_NAME}_checks.cpp @ONLY)

  set(import_lib ${dir}/lib${B_NAME}_import.a)
  add_custom_command(OUTPUT ${import_lib}
    COMMAND ${GLYPHSTORM_DLLTOOL} --kill-at -d ${dir}/${B_NAME}.def -D ${B_DLL} -l ${import_lib}
    DEPENDS ${dir}/${B_NAME}.def VERBATIM)
  add_custom_target(${B_NAME}_import DEPENDS ${import_lib})

  set(${B_NAME}_DEF ${dir}/${B_NAME}.def PARENT_SCOPE)
  set(${B_NAME}_IMPORT_LIB ${import_lib} PARENT_SCOPE)
  set(${B_NAME}_CHECKS ${dir}/${B_NAME}_checks.cpp PARENT_SCOPE)
endfunction()

# glyphstorm_windows_resources(target DESCRIPTION text MANIFEST program|library|none
#                              [ICON file.ico]): the version information from the project's version,
# an embedded manifest (a program's, id 1; a library's own, id 2, for what it activates itself;
# none for a library that activates nothing) and, if given, the icon as resource 1.
set(GLYPHSTORM_RESOURCE_TEMPLATES ${CMAKE_CURRENT_LIST_DIR}/windows)
function(glyphstorm_windows_resources target)
  cmake_parse_arguments(R "" "DESCRIPTION;MANIFEST;ICON" "" ${ARGN})
  if(NOT R_MANIFEST MATCHES "^(program|library|none)$")
    message(FATAL_ERROR "${target}: MANIFEST is program, library or none, not '${R_MANIFEST}'")
  endif()
  get_target_property(type ${target} TYPE)
  get_target_property(GS_INTERNAL_NAME ${target} OUTPUT_NAME)
  if(NOT GS_INTERNAL_NAME)
    set(GS_INTERNAL_NAME ${target})
  endif()
  if(type STREQUAL EXECUTABLE)
    set(GS_FILE_NAME ${GS_INTERNAL_NAME}.exe)
    set(GS_FILE_TYPE VFT_APP)
  else()
    set(GS_FILE_NAME ${GS_INTERNAL_NAME}.dll)
    set(GS_FILE_TYPE VFT_DLL)
  endif()
  set(GS_DESCRIPTION "${R_DESCRIPTION}")
  set(GS_ASSEMBLY_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}-resources)
  set(manifest ${dir}/${GS_FILE_NAME}.manifest)
  set(depends "")
  set(GS_RC_MANIFEST "")
  if(NOT R_MANIFEST STREQUAL none)
    configure_file(${GLYPHSTORM_RESOURCE_TEMPLATES}/${R_MANIFEST}.manifest.in ${manifest} @ONLY)
    set(depends ${manifest})
  endif()
  if(R_MANIFEST STREQUAL program)
    set(GS_RC_MANIFEST "CREATEPROCESS_MANIFEST_RESOURCE_ID RT_MANIFEST \"${manifest}\"")
  elseif(R_MANIFEST STREQUAL library)
    set(GS_RC_MANIFEST "ISOLATIONAWARE_MANIFEST_RESOURCE_ID RT_MANIFEST \"${manifest}\"")
  endif()
  set(GS_RC_ICON "")
  if(R_ICON)
    set(GS_RC_ICON "1 ICON \"${R_ICON}\"")
    list(APPEND depends ${R_ICON})
  endif()
  set(rc ${dir}/resources.rc)
  configure_file(${GLYPHSTORM_RESOURCE_TEMPLATES}/resources.rc.in ${rc} @ONLY)
  # The resource compiler reads the manifest and the icon; recompile when they change.
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${depends}")
  target_sources(${target} PRIVATE ${rc})
  if(MSVC)
    target_link_options(${target} PRIVATE /MANIFEST:NO)  # the linker would add a second one
  endif()
endfunction()
