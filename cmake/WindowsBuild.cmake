# Windows build: QUAVIX.dll, the host tool and the Windows test programs.
enable_language(RC)

# SSE math so that every single-precision rounding happens exactly as on the
# native build; static runtime so that only system DLLs are imported.
add_compile_options(-msse2 -mfpmath=sse)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX)
add_link_options(-static -static-libgcc -static-libstdc++)
set(WIN32_SYSTEM_LIBS ole32 shell32 gdi32 user32 kernel32 uuid)

# Each build directory keeps its own outputs; `make win32` points this at the
# stable dist/win32.
set(QUAVIX_DIST_DIR ${CMAKE_BINARY_DIR}/dist CACHE PATH "where QUAVIX.dll and quavix-host.exe land")

add_plugin_layers(WINDOW_SYSTEM ${WIN32_PLATFORM_SOURCES})
target_link_libraries(quavix_plugin PUBLIC ${WIN32_SYSTEM_LIBS})

add_library(QUAVIX SHARED ${PLUGIN_OBJECTS} ${WIN32_LIBRARY_ENTRY} ${CMAKE_SOURCE_DIR}/framework/quavix.def
    ${QUAVIX_RESOURCE_SCRIPT})
set_target_properties(QUAVIX PROPERTIES PREFIX "" OUTPUT_NAME QUAVIX
    RUNTIME_OUTPUT_DIRECTORY ${QUAVIX_DIST_DIR})
target_link_libraries(QUAVIX ${WIN32_SYSTEM_LIBS})
# Without the symbol table and the debugging sections the static runtime
# brings along: a host reads only the exports, and they were half the file.
target_link_options(QUAVIX PRIVATE -s)

# Quavix.clap: the same layers and pictures behind the CLAP adapter, exporting
# clap_entry alone.
add_library(QuavixClap SHARED ${PLUGIN_OBJECTS} ${WIN32_LIBRARY_ENTRY} ${FRAMEWORK_CLAP_SOURCES}
    ${QUAVIX_CLAP_SOURCES} ${CMAKE_SOURCE_DIR}/framework/clap/clap.def ${QUAVIX_RESOURCE_SCRIPT})
set_target_properties(QuavixClap PROPERTIES PREFIX "" OUTPUT_NAME Quavix SUFFIX .clap
    RUNTIME_OUTPUT_DIRECTORY ${QUAVIX_DIST_DIR})
target_link_libraries(QuavixClap ${WIN32_SYSTEM_LIBS})
target_link_options(QuavixClap PRIVATE -s)

# The host tool: its portable parts and the Windows parts in a library that
# its test links too, and main.
add_host_tool_layers(win32)
target_link_libraries(quavix_host_hosting PUBLIC ${WIN32_SYSTEM_LIBS})
# --stress paces its audio threads by a 1 ms timer (timeBeginPeriod).
target_link_libraries(quavix_host_measurements PUBLIC winmm)
add_executable(quavix-host ${HOST_TOOL_MAIN})
set_target_properties(quavix-host PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QUAVIX_DIST_DIR})
target_link_libraries(quavix-host quavix_host_parts ${WIN32_SYSTEM_LIBS})

enable_testing()
# Quavix.clap sounds as QUAVIX.dll of the same architecture, to the bit,
# through quavix-host --compare's stimulus.
add_test(NAME clap_sounds_as_vst COMMAND quavix-host --compare ${QUAVIX_DIST_DIR}/QUAVIX.dll ${QUAVIX_DIST_DIR}/Quavix.clap)
set_tests_properties(clap_sounds_as_vst PROPERTIES PASS_REGULAR_EXPRESSION "compare: identical [0-9]+ samples"
    TIMEOUT 300)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Each tests/win32/*_test.cpp is its own program, so that window and OLE state
# never leaks from one group into the next. Shared helpers live in support/.
file(GLOB WIN32_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/support/*.cpp)
# The panel as it must look at each scale, shared with the X11 tests.
list(APPEND WIN32_TEST_SUPPORT ${CMAKE_SOURCE_DIR}/tests/editor/ScaledPanel.cpp)
file(GLOB WIN32_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/*_test.cpp)
foreach(test_source ${WIN32_TESTS})
    get_filename_component(test_name ${test_source} NAME_WE)
    add_executable(${test_name} ${test_source} ${WIN32_TEST_SUPPORT} ${QUAVIX_RESOURCE_SCRIPT})
    target_link_libraries(${test_name} quavix_plugin gtest_main ${WIN32_SYSTEM_LIBS})
    # The bitmap files and pictures of the source tree that tests compare against.
    target_compile_definitions(${test_name} PRIVATE QUAVIX_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    target_include_directories(${test_name} SYSTEM PRIVATE /usr/include/stb)
    add_dependencies(${test_name} QUAVIX)
    add_dependencies(${test_name} quavix-host)
    # The host tool's parts: its test drives them, the others count GUI objects with them.
    target_link_libraries(${test_name} quavix_host_parts)
    add_test(NAME ${test_name} COMMAND ${test_name})
    set_tests_properties(${test_name} PROPERTIES
        ENVIRONMENT "QUAVIX_DLL=${QUAVIX_DIST_DIR}/QUAVIX.dll" TIMEOUT 300)
endforeach()
# The host tool's cases every build shares, compiled once and linked in;
# host_tool_test answers what differs on Windows.
if(TARGET host_tool_test)
    add_library(host_tool_cases OBJECT ${HOST_TOOL_TEST_CASES})
    target_link_libraries(host_tool_cases PUBLIC quavix_host_parts gtest)
    target_link_libraries(host_tool_test host_tool_cases)
endif()

# The controls' cases both window systems share; controls_test answers
# them for Win32.
if(TARGET controls_test)
    add_library(controls_cases OBJECT ${CONTROLS_TEST_CASES})
    target_link_libraries(controls_cases PUBLIC quavix_plugin gtest)
    target_link_libraries(controls_test controls_cases)
endif()

file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/bench/*.cpp)
if(BENCH_SOURCES)
    add_executable(quavix_bench ${BENCH_SOURCES})
    target_link_libraries(quavix_bench quavix_plugin ${WIN32_SYSTEM_LIBS})
endif()
file(GLOB REFERENCE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/reference/*.cpp)
if(REFERENCE_SOURCES)
    add_executable(quavix_reference ${REFERENCE_SOURCES})
    target_link_libraries(quavix_reference quavix_plugin ${WIN32_SYSTEM_LIBS})
endif()

# What the Windows archive and the installer take from this build.
include(packaging/Install.cmake)
