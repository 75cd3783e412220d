find_package(GTest REQUIRED)
include(GoogleTest)

set(MTRA_TEST_DATA_DIR ${PROJECT_SOURCE_DIR}/tests/data)

# mtra_add_test(NAME <name> SOURCES ... LIBS ... [LABEL unit|integration|gui])
# One executable per area; every case becomes its own CTest entry.
function(mtra_add_test)
    cmake_parse_arguments(T "" "NAME;LABEL" "SOURCES;LIBS" ${ARGN})
    if(NOT T_LABEL)
        set(T_LABEL unit)
    endif()
    add_executable(${T_NAME} ${T_SOURCES})
    mtra_set_warnings(${T_NAME})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
    target_compile_definitions(${T_NAME} PRIVATE MTRA_TEST_DATA_DIR="${MTRA_TEST_DATA_DIR}")
    target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
    gtest_discover_tests(${T_NAME}
        PROPERTIES LABELS ${T_LABEL} ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
        DISCOVERY_TIMEOUT 60)
endfunction()

# mtra_add_fuzz_replay_test(NAME <name> TARGET <fuzz target> SUITE <suite> LIBS ...)
# The fuzz target's entry compiled into one shared replay test of its corpus and crashes.
function(mtra_add_fuzz_replay_test)
    cmake_parse_arguments(F "" "NAME;TARGET;SUITE" "LIBS" ${ARGN})
    mtra_add_test(NAME ${F_NAME}
        SOURCES ${PROJECT_SOURCE_DIR}/tests/support/FuzzReplayTest.cpp
            ${PROJECT_SOURCE_DIR}/fuzz/${F_TARGET}.cpp
        LIBS ${F_LIBS})
    target_include_directories(${F_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/fuzz)
    target_compile_definitions(${F_NAME} PRIVATE MTRA_FUZZ_REPLAY
        MTRA_FUZZ_DIR="${PROJECT_SOURCE_DIR}/fuzz" MTRA_FUZZ_TARGET="${F_TARGET}"
        MTRA_FUZZ_SUITE=${F_SUITE})
endfunction()
