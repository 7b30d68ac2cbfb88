# glyphstorm_add_test(name SOURCES ... LIBS ... [DESKTOP WxH] [SERIAL]): one GoogleTest program,
# registered as one ctest entry (a whole binary per Wine start keeps the run fast). Windows test
# programs run through the Wine runner; their working directory is the output folder, where the
# DLLs and data sit. DESKTOP runs the program inside a Wine virtual desktop of that size; SERIAL
# keeps other tests from running meanwhile.
function(glyphstorm_add_test name)
  cmake_parse_arguments(T "SERIAL" "TIMEOUT;DESKTOP" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main)
  if(T_DESKTOP)
    add_test(NAME ${name}
             COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --desktop ${T_DESKTOP} $<TARGET_FILE:${name}>
                     --gtest_brief=1
             WORKING_DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  else()
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
    "GLYPHSTORM_BIN=${CMAKE_RUNTIME_OUTPUT_DIRECTORY};GLYPHSTORM_RUN=${CMAKE_CROSSCOMPILING_EMULATOR};PYTHONPATH=${PROJECT_SOURCE_DIR}/tests/tools")
  if(T_SERIAL)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
  endif()
endfunction()
