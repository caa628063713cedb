# Runs the search bench at each depth in DEPTHS and compares its node total
# with the line "depth <d> <total>" of SIGNATURE_FILE.
# Usage: cmake -DBENCH=<search_bench> -DSIGNATURE_FILE=<file> "-DDEPTHS=10;7"
#        -P check_signature.cmake
file(STRINGS "${SIGNATURE_FILE}" kept_lines REGEX "^depth [0-9]+ [0-9]+$")
set(failures "")
foreach(depth IN LISTS DEPTHS)
  set(kept "")
  foreach(line IN LISTS kept_lines)
    if(line MATCHES "^depth ${depth} ([0-9]+)$")
      set(kept "${CMAKE_MATCH_1}")
    endif()
  endforeach()
  execute_process(COMMAND "${BENCH}" ${depth} OUTPUT_VARIABLE output RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT output MATCHES "total nodes ([0-9]+)")
    message(FATAL_ERROR "search_bench ${depth} failed (${status}):\n${output}")
  endif()
  set(total "${CMAKE_MATCH_1}")
  message(STATUS "depth ${depth} total nodes ${total}")
  if(NOT total STREQUAL kept)
    string(APPEND failures "  depth ${depth} ${total}    (kept: '${kept}')\n")
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR
    "The search signature changed. If the change of search or evaluation is "
    "intended, put these lines into ${SIGNATURE_FILE} (replacing the kept "
    "ones) and end the commit message with \"Bench: <depth 10 total>\":\n"
    "${failures}")
endif()
