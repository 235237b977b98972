# Linux build. With sanitizers: the platform-free core, headless (no editor),
# for fast unit tests. Without: what Linux users get (quavix.so and the host
# tool) with the benchmark and the reference digest.
if(QUAVIX_SANITIZE STREQUAL "address")
    set(SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
elseif(QUAVIX_SANITIZE STREQUAL "thread")
    set(SANITIZER_FLAGS -fsanitize=thread -fno-omit-frame-pointer)
else()
    set(SANITIZER_FLAGS "")
endif()
add_compile_options(${SANITIZER_FLAGS})
add_link_options(${SANITIZER_FLAGS})
# Everything may end up in a shared object.
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

# The headless effect on the framework: what the unit tests, the benchmark
# and the reference digest run.
add_library(quavix_core STATIC ${FRAMEWORK_SOURCES} ${QUAVIX_EFFECT_SOURCES})

enable_testing()
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

if(QUAVIX_SANITIZE STREQUAL "thread")
    # Only the tests that run the effect on several threads at once.
    file(GLOB THREAD_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/threads/*.cpp)
    add_executable(quavix_thread_tests ${THREAD_TESTS})
    target_link_libraries(quavix_thread_tests quavix_core gtest_main)
    add_test(NAME thread_tests COMMAND quavix_thread_tests)
elseif(QUAVIX_SANITIZE STREQUAL "none")
    include(cmake/LinuxPlugin.cmake)
else()
    file(GLOB NATIVE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
    add_executable(quavix_native_tests ${NATIVE_TESTS} ${CMAKE_SOURCE_DIR}/toolkit/geometry/CRect.cpp)
    target_link_libraries(quavix_native_tests quavix_core gtest_main)
    target_compile_definitions(quavix_native_tests PRIVATE QUAVIX_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    add_test(NAME native_tests COMMAND quavix_native_tests)
    # The CLAP adapter over the headless effect, as quavix.clap links it, and
    # the test host its tests and fuzz target share.
    add_library(quavix_clap_core STATIC ${FRAMEWORK_CLAP_SOURCES} ${QUAVIX_CLAP_SOURCES})
    target_link_libraries(quavix_clap_core PUBLIC quavix_core)
    add_library(quavix_clap_test_host STATIC ${CMAKE_SOURCE_DIR}/tests/clap/support/ClapTestHost.cpp)
    file(GLOB CLAP_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/clap/*_test.cpp)
    add_executable(quavix_clap_tests ${CLAP_TESTS})
    target_link_libraries(quavix_clap_tests quavix_clap_test_host quavix_clap_core gtest_main)
    add_test(NAME clap_tests COMMAND quavix_clap_tests)
    if(QUAVIX_SANITIZE STREQUAL "address")
        # The toolkit over the stub window system, and the tests of it that
        # need no real one.
        add_library(quavix_toolkit_stub STATIC ${TOOLKIT_SOURCES} ${STUB_PLATFORM_SOURCES})
        target_link_libraries(quavix_toolkit_stub quavix_core)
        file(GLOB TOOLKIT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/toolkit/*.cpp)
        # The panel too: what an instance of it costs is counted there.
        add_executable(quavix_toolkit_tests ${TOOLKIT_TESTS} ${QUAVIX_PANEL_SOURCES})
        target_link_libraries(quavix_toolkit_tests quavix_toolkit_stub gtest_main)
        # The controls' cases both window systems share, compiled once;
        # tests/toolkit/controls_test.cpp answers them for the stub.
        add_library(controls_cases OBJECT ${CONTROLS_TEST_CASES})
        target_link_libraries(controls_cases PUBLIC quavix_toolkit_stub gtest)
        target_link_libraries(quavix_toolkit_tests controls_cases)
        add_test(NAME toolkit_tests COMMAND quavix_toolkit_tests)
        # Every fuzz target over its whole corpus, once.
        include(cmake/FuzzBuild.cmake)
    endif()
endif()
