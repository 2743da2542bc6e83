# Fails unless LIBRARY defines exactly the five driver entry points as dynamic symbols.
execute_process(COMMAND ${NM} -D --defined-only --format=just-symbols ${LIBRARY}
  OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${LIBRARY}")
endif()
string(REGEX REPLACE "\n$" "" symbols "${symbols}")
string(REPLACE "\n" ";" symbols "${symbols}")
list(SORT symbols)
set(expected MMPClose MMPGetID MMPInp MMPOpen MMPOutp)
if(NOT symbols STREQUAL expected)
  message(FATAL_ERROR "exported: ${symbols}; expected: ${expected}")
endif()
