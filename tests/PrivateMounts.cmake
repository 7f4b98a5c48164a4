# Tests that mount file systems (tests/support/Share.h: a FUSE share that is
# slow or stops answering) run in a mount namespace of their own, so that no
# other process on the machine sees their mounts, and a share that stops
# answering holds up nothing but the test. CI runs as root; elsewhere a user
# namespace stands in where the kernel allows one, else the test is skipped.
find_program(SYSTEM_PYTHON3 python3 PATHS /usr/bin NO_DEFAULT_PATH)
find_program(XVFB_RUN xvfb-run)
set(RUNEMARK_PRIVATE_MOUNTS ${CMAKE_CURRENT_LIST_DIR}/support/private-mounts.sh)

# runemark_private_mounts_test(NAME name [X11] [TIMEOUT seconds]
#                              [ENVIRONMENT var=value...] COMMAND command [arg...])
# Adds a ctest test running COMMAND in a private mount namespace, under a
# fresh X server (at the usual 96 dpi) with X11, offscreen otherwise.
function(runemark_private_mounts_test)
    cmake_parse_arguments(arg "X11" "NAME;TIMEOUT" "ENVIRONMENT;COMMAND" ${ARGN})
    set(launcher ${RUNEMARK_PRIVATE_MOUNTS})
    if(arg_X11)
        list(APPEND launcher ${XVFB_RUN} -a -s "${XVFB_SCREEN}")
        set(platform QT_QPA_PLATFORM=xcb)
    else()
        set(platform QT_QPA_PLATFORM=offscreen)
    endif()
    add_test(NAME ${arg_NAME} COMMAND ${launcher} ${arg_COMMAND})
    if(NOT arg_TIMEOUT)
        set(arg_TIMEOUT 120)
    endif()
    set_tests_properties(${arg_NAME} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT ${arg_TIMEOUT}
        ENVIRONMENT "${platform};${arg_ENVIRONMENT}")
endfunction()

# runemark_share_test(target [X11] SOURCES...): a GoogleTest program using
# shares, run as one ctest test of the same name in a private mount namespace.
function(runemark_share_test name)
    cmake_parse_arguments(arg "X11" "" "" ${ARGN})
    add_executable(${name} ${arg_UNPARSED_ARGUMENTS})
    target_link_libraries(${name} PRIVATE runemark_testsupport)
    if(arg_X11)
        if(XVFB_RUN)
            runemark_private_mounts_test(NAME ${name} X11 COMMAND $<TARGET_FILE:${name}>)
        endif()
    else()
        runemark_private_mounts_test(NAME ${name} COMMAND $<TARGET_FILE:${name}>)
    endif()
endfunction()
