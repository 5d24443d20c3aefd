# cmake -DNM=<nm> -DLIBRARIES=<a>,<b>,... -P check_runtime_helpers.cmake
#
# Fails when a library calls the compiler runtime's helpers for atomic
# operations (__sync_*, __atomic_*) or for thread-safe local statics
# (__cxa_guard_*): the handheld's runtime provides none of them, so the
# program must get by with the platform's own calls.
string(REPLACE "," ";" libraries "${LIBRARIES}")
set(found "")
foreach(library IN LISTS libraries)
  execute_process(COMMAND ${NM} --undefined-only ${library}
                  OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${NM} could not read ${library}")
  endif()
  string(REGEX MATCHALL "[ \t](__sync_[A-Za-z0-9_]+|__atomic_[A-Za-z0-9_]+|__cxa_guard_[a-z]+)"
         helpers "${symbols}")
  foreach(helper IN LISTS helpers)
    string(STRIP "${helper}" helper)
    string(APPEND found "  ${library}: ${helper}\n")
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "The program needs runtime helpers the handheld lacks:\n${found}")
endif()
list(LENGTH libraries count)
message(STATUS "${count} libraries checked: no atomic or guard helpers")
