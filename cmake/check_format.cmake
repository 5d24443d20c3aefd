# cmake -DCLANG_FORMAT=<clang-format> -DGIT=<git> -DSOURCE_DIR=<checkout> -P check_format.cmake
#
# Fails, naming the files, when a tracked C++ source is not as clang-format
# would write it under the checkout's .clang-format.
if(NOT CLANG_FORMAT)
  message(FATAL_ERROR "clang-format is missing (scripts/setup installs it)")
endif()
# Test fixtures are laid out as their tests need them, not as code.
execute_process(COMMAND ${GIT} -C ${SOURCE_DIR} ls-files -- *.cpp *.h :!:tests/*/fixtures/*
                OUTPUT_VARIABLE listed RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "git could not list the sources of ${SOURCE_DIR}")
endif()
string(REPLACE "\n" ";" listed "${listed}")
set(files "")
foreach(file IN LISTS listed)
  # A file deleted but not yet staged is still listed.
  if(file AND EXISTS ${SOURCE_DIR}/${file})
    list(APPEND files ${file})
  endif()
endforeach()
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${files}
                WORKING_DIRECTORY ${SOURCE_DIR}
                ERROR_VARIABLE report RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  string(REGEX MATCHALL "(^|\n)[^\n:]+:[0-9]+:[0-9]+: error:" places "${report}")
  set(named "")
  foreach(place IN LISTS places)
    string(REGEX REPLACE "^\n?([^\n:]+):.*" "\\1" file "${place}")
    list(APPEND named ${file})
  endforeach()
  list(REMOVE_DUPLICATES named)
  list(JOIN named "\n  " named)
  if(NOT named)
    set(named "(clang-format said: ${report})")
  endif()
  message(FATAL_ERROR "Not as clang-format writes them (clang-format -i FILE...):\n  ${named}")
endif()
list(LENGTH files count)
message(STATUS "${count} files as clang-format writes them")
