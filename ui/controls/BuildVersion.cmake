# Writes BuildVersion.h (OUTPUT) from TEMPLATE with VERSION and the commit of the checkout
# in SOURCE_DIR, if there is one. Run at every build; the file changes only with them.
set(COMMIT "")
find_program(GIT_PROGRAM git)
if(GIT_PROGRAM AND EXISTS "${SOURCE_DIR}/.git")
    execute_process(COMMAND "${GIT_PROGRAM}" -C "${SOURCE_DIR}" rev-parse --short=10 HEAD
                    OUTPUT_VARIABLE COMMIT OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE GIT_RESULT ERROR_QUIET)
    if(NOT GIT_RESULT EQUAL 0)
        set(COMMIT "")
    endif()
endif()
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
