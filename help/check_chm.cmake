# ctest: the help file CHM exists, chmls can read it, and it holds each page of PAGES (the
# pages the programs open).
execute_process(COMMAND ${CHMLS} list ${CHM} OUTPUT_VARIABLE listing RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "chmls cannot list ${CHM}")
endif()
foreach(page ${PAGES})
    if(NOT listing MATCHES " /${page}\n")
        message(FATAL_ERROR "${CHM} has no page ${page}")
    endif()
endforeach()
message(STATUS "${CHM}: ${PAGES}")
