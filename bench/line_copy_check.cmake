# Checks t905_linecopy, the yardstick of the speed figures: each line comes
# out once, with CR LF whether it ended in LF, CR LF or nothing, a CR inside a
# line is kept, and a file that cannot be read fails the copy.
#   cmake -DCOPY=<t905_linecopy> -DDIR=<scratch folder> -P line_copy_check.cmake
file(MAKE_DIRECTORY "${DIR}")

function(expect_copy name input expected_hex)
  file(WRITE "${DIR}/${name}.in" "${input}")
  execute_process(COMMAND "${COPY}" "${DIR}/${name}.in" "${DIR}/${name}.out" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${name}: the copy failed (${rc})")
  endif()
  file(READ "${DIR}/${name}.out" got HEX)
  if(NOT got STREQUAL expected_hex)
    message(FATAL_ERROR "${name}: got ${got}, expected ${expected_hex}")
  endif()
endfunction()

expect_copy(mixed_ends "a\r\nb\nc" "610d0a620d0a630d0a")
expect_copy(empty_lines "\n\r\n\n" "0d0a0d0a0d0a")
expect_copy(inner_cr "a\rb\n" "610d620d0a")
expect_copy(empty_file "" "")

execute_process(COMMAND "${COPY}" "${DIR}/no such file" "${DIR}/none.out" RESULT_VARIABLE rc
                OUTPUT_QUIET ERROR_QUIET)
if(rc EQUAL 0)
  message(FATAL_ERROR "a missing file was copied")
endif()
