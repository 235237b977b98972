# quavix.so and the Linux host tool, with the benchmark and the reference
# digest beside them.
set(QUAVIX_DIST_DIR ${CMAKE_BINARY_DIR}/dist CACHE PATH "where quavix.so and quavix-host land")

find_package(PkgConfig REQUIRED)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)

# The editor: the same toolkit as on Windows over the X11 backend, drawn
# with cairo, its bitmaps those of resources/quavix.rc compiled in under the
# same ids. QUAVIX_EDITOR off gives the headless plug-in.
if(QUAVIX_EDITOR)
    pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11)
    set(EMBEDDED_BITMAPS ${CMAKE_BINARY_DIR}/generated/EmbeddedBitmaps.cpp)
    file(STRINGS ${QUAVIX_RESOURCE_SCRIPT} RC_BITMAP_LINES REGEX "RCDATA[ \t]+\"")
    set(RC_BITMAPS "")
    foreach(line ${RC_BITMAP_LINES})
        string(REGEX REPLACE ".*RCDATA[ \t]+\"([^\"]+)\".*" "\\1" bitmap_file "${line}")
        list(APPEND RC_BITMAPS ${CMAKE_SOURCE_DIR}/resources/${bitmap_file})
    endforeach()
    add_custom_command(OUTPUT ${EMBEDDED_BITMAPS}
        COMMAND ${CMAKE_COMMAND} -DRC=${QUAVIX_RESOURCE_SCRIPT} -DOUTPUT=${EMBEDDED_BITMAPS}
            -P ${CMAKE_SOURCE_DIR}/cmake/EmbedBitmaps.cmake
        DEPENDS ${QUAVIX_RESOURCE_SCRIPT} ${RC_BITMAPS} ${CMAKE_SOURCE_DIR}/cmake/EmbedBitmaps.cmake
        COMMENT "Embedding the editor's bitmaps")
endif()
# The effect is compiled once more in these layers, with its editor;
# quavix_core stays headless for the benchmark, the reference and the core tests.
add_plugin_layers(WINDOW_SYSTEM ${X11_PLATFORM_SOURCES} PANEL_RESOURCES ${EMBEDDED_BITMAPS})
if(QUAVIX_EDITOR)
    target_link_libraries(quavix_window_system PUBLIC PkgConfig::X11 PkgConfig::CAIRO)
endif()

# A plug-in binary as hosts load it. The C++ runtime is linked in and hidden
# by the version script: a host built against an older libstdc++ (or another
# plug-in's copy) then neither refuses to load us nor hands us its own
# runtime's symbols. And once loaded it stays: the runtime sets aside its
# emergency exception pool (about 70 KB) at load and never gives it back, so
# a host that scans, unloads and loads us again would lose that much each time.
# The symbol table goes (-s): a host needs only the dynamic symbols, and it
# was a quarter of the file.
function(link_as_plugin_binary target version_script)
    set_target_properties(${target} PROPERTIES PREFIX "" CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
        LINK_DEPENDS ${version_script})
    target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc -Wl,--no-undefined -Wl,-z,defs
        -Wl,-z,nodelete -Wl,--version-script=${version_script} -s)
endfunction()

add_library(quavix SHARED ${PLUGIN_OBJECTS} ${FRAMEWORK_SHARED_OBJECT_ENTRY})
# Xlib and cairo are loaded when an editor first opens (platform/x11/WindowLibraries.h).
target_link_libraries(quavix PRIVATE ${CMAKE_DL_LIBS})
set_target_properties(quavix PROPERTIES OUTPUT_NAME quavix LIBRARY_OUTPUT_DIRECTORY ${QUAVIX_DIST_DIR})
link_as_plugin_binary(quavix ${CMAKE_SOURCE_DIR}/framework/quavix.map)

# quavix.clap: the same layers behind the CLAP adapter, exporting clap_entry alone.
add_library(quavix_clap MODULE ${PLUGIN_OBJECTS} ${FRAMEWORK_CLAP_SOURCES} ${QUAVIX_CLAP_SOURCES})
target_link_libraries(quavix_clap PRIVATE ${CMAKE_DL_LIBS})
set_target_properties(quavix_clap PROPERTIES OUTPUT_NAME quavix SUFFIX .clap LIBRARY_OUTPUT_DIRECTORY ${QUAVIX_DIST_DIR})
link_as_plugin_binary(quavix_clap ${CMAKE_SOURCE_DIR}/framework/clap/clap.map)
# It sounds as quavix.so, to the bit, through quavix-host --compare's stimulus.
add_test(NAME clap_sounds_as_vst COMMAND quavix-host --compare $<TARGET_FILE:quavix> $<TARGET_FILE:quavix_clap>)
set_tests_properties(clap_sounds_as_vst PROPERTIES PASS_REGULAR_EXPRESSION "compare: identical [0-9]+ samples"
    TIMEOUT 300)

# The host tool: its portable parts, the Linux parts, and main.
add_host_tool_layers(linux)
target_link_libraries(quavix_host_hosting PUBLIC ${CMAKE_DL_LIBS} pthread)
# The host tool hosts editors in X windows whether or not this build's plug-in
# has one, and its validator counts the X server's resources.
pkg_check_modules(X11_HOST REQUIRED IMPORTED_TARGET x11 xres)
target_link_libraries(quavix_host_hosting PUBLIC PkgConfig::X11_HOST)
# It hosts LV2 plug-ins through lilv, as LV2 hosts do.
pkg_check_modules(LILV REQUIRED IMPORTED_TARGET lilv-0)
pkg_check_modules(LV2_HOST REQUIRED IMPORTED_TARGET lv2)
target_link_libraries(quavix_host_hosting PUBLIC PkgConfig::LILV PkgConfig::LV2_HOST)
add_executable(quavix-host ${HOST_TOOL_MAIN})
set_target_properties(quavix-host PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QUAVIX_DIST_DIR})
target_link_libraries(quavix-host quavix_host_parts)

# Its manual page, written from its own --help (installed by make install
# and the packages). Dated by the last commit, so every build of one commit
# makes the same page.
execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    OUTPUT_VARIABLE SOURCE_DATE OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
set(QUAVIX_MANUAL ${CMAKE_BINARY_DIR}/man/quavix-host.1)
add_custom_command(OUTPUT ${QUAVIX_MANUAL}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${SOURCE_DATE}
        ${CMAKE_SOURCE_DIR}/packaging/make-manual.sh $<TARGET_FILE:quavix-host> ${PROJECT_VERSION} ${QUAVIX_MANUAL}
    DEPENDS quavix-host ${CMAKE_SOURCE_DIR}/packaging/make-manual.sh
    COMMENT "Writing the manual page quavix-host.1")
add_custom_target(quavix_manual ALL DEPENDS ${QUAVIX_MANUAL})

# What a plug-in costs a host at load (size, memory per instance, cold
# scan), beside Debian's peers: make bench runs it.
add_executable(quavix-footprint ${CMAKE_SOURCE_DIR}/tools/bench/linux/footprint_main.cpp
    ${CMAKE_SOURCE_DIR}/tools/bench/linux/FootprintBench.cpp)
target_link_libraries(quavix-footprint quavix_host_parts)

file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/bench/*.cpp)
add_executable(quavix_bench ${BENCH_SOURCES})
target_link_libraries(quavix_bench quavix_core ${CMAKE_DL_LIBS})
file(GLOB REFERENCE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/reference/*.cpp)
add_executable(quavix_reference ${REFERENCE_SOURCES})
target_link_libraries(quavix_reference quavix_core ${CMAKE_DL_LIBS})

# The shared object, loaded as a host loads it, renders what the linked
# effect renders, to the bit.
add_test(NAME shared_object_digest
    COMMAND ${CMAKE_COMMAND} -DREFERENCE=$<TARGET_FILE:quavix_reference> -DPLUGIN=$<TARGET_FILE:quavix>
    -P ${CMAKE_SOURCE_DIR}/cmake/CompareDigests.cmake)

file(GLOB LINUX_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/linux/*_test.cpp)
file(GLOB LINUX_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/linux/support/*.cpp)
foreach(test_source ${LINUX_TESTS})
    get_filename_component(test_name ${test_source} NAME_WE)
    add_executable(${test_name} ${test_source} ${LINUX_TEST_SUPPORT})
    target_link_libraries(${test_name} quavix_host_parts quavix_core gtest_main)
    add_dependencies(${test_name} quavix quavix-host)
    add_test(NAME ${test_name} COMMAND ${test_name})
    set_tests_properties(${test_name} PROPERTIES ENVIRONMENT
        "QUAVIX_PLUGIN=$<TARGET_FILE:quavix>;QUAVIX_HOST=$<TARGET_FILE:quavix-host>" TIMEOUT 300)
endforeach()

# --- The host tool's test: the shared cases, and a plug-in that misbehaves on request ---
# The cases every build shares are compiled once and linked in; the test
# answers what differs on Linux. tests/linux/TestPlugin.cpp crashes or has
# no inputs as the test asks; the test finds it through QUAVIX_TEST_PLUGIN.
if(TARGET host_tool_test)
    add_library(host_tool_cases OBJECT ${HOST_TOOL_TEST_CASES})
    target_link_libraries(host_tool_cases PUBLIC quavix_host_parts gtest)
    target_link_libraries(host_tool_test host_tool_cases)
    add_library(quavix_test_plugin MODULE ${CMAKE_SOURCE_DIR}/tests/linux/TestPlugin.cpp)
    set_target_properties(quavix_test_plugin PROPERTIES PREFIX "")
    # Its scaled editor is an X window in the host's.
    target_link_libraries(quavix_test_plugin PRIVATE PkgConfig::X11_HOST)
    add_dependencies(host_tool_test quavix_test_plugin)
    set_property(TEST host_tool_test APPEND PROPERTY ENVIRONMENT
        "QUAVIX_TEST_PLUGIN=$<TARGET_FILE:quavix_test_plugin>")
endif()
# The validator's test plants its faults in the same plug-in.
if(TARGET validator_test AND TARGET quavix_test_plugin)
    add_dependencies(validator_test quavix_test_plugin)
    set_property(TEST validator_test APPEND PROPERTY ENVIRONMENT
        "QUAVIX_TEST_PLUGIN=$<TARGET_FILE:quavix_test_plugin>")
endif()

# --- Response pictures: cairo draws them, in the Linux host tool only ---
# The response test measures the pass-through test plug-in too.
target_link_libraries(quavix_host_measurements PUBLIC PkgConfig::CAIRO)
if(TARGET response_test AND TARGET quavix_test_plugin)
    add_dependencies(response_test quavix_test_plugin)
    set_property(TEST response_test APPEND PROPERTY ENVIRONMENT
        "QUAVIX_TEST_PLUGIN=$<TARGET_FILE:quavix_test_plugin>")
endif()

# --- The editor on X11: tests under a real X server with real input ---
# Each tests/x11/*_test.cpp loads quavix.so as a host does and drives its
# editor through the X server (XTest input, XGetImage read-back, X-Resource
# counts, XDND from a second client). They skip without a DISPLAY;
# make test runs them under Xvfb through scripts/run/linux-tests.sh.
pkg_check_modules(X11_TEST REQUIRED IMPORTED_TARGET x11 xtst xres)
file(GLOB X11_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/x11/support/*.cpp)
# The panel as it must look at each scale, put together from the bitmap
# files; the Windows tests compare against the same.
list(APPEND X11_TEST_SUPPORT ${CMAKE_SOURCE_DIR}/tests/editor/ScaledPanel.cpp)
add_library(quavix_x11_test_support STATIC ${X11_TEST_SUPPORT})
target_compile_definitions(quavix_x11_test_support PUBLIC QUAVIX_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_link_libraries(quavix_x11_test_support PUBLIC quavix_host_parts gtest PkgConfig::X11_TEST)
file(GLOB X11_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/x11/*_test.cpp)
foreach(test_source ${X11_TESTS})
    get_filename_component(test_name ${test_source} NAME_WE)
    # drop_views_test makes a frame in this process: it needs the toolkit
    # and the X11 backend, which only the editor's build has.
    set(test_core quavix_core)
    if(test_name STREQUAL "drop_views_test")
        if(NOT QUAVIX_EDITOR)
            message(WARNING "x11_drop_views_test not built: this build has no editor (QUAVIX_EDITOR)")
            continue()
        endif()
        set(test_core quavix_plugin)
    endif()
    add_executable(x11_${test_name} ${test_source})
    target_link_libraries(x11_${test_name} quavix_x11_test_support ${test_core} gtest_main)
    add_dependencies(x11_${test_name} quavix)
    add_test(NAME x11_${test_name} COMMAND x11_${test_name})
    set_tests_properties(x11_${test_name} PROPERTIES ENVIRONMENT "QUAVIX_PLUGIN=$<TARGET_FILE:quavix>" TIMEOUT 600)
endforeach()
# The CLAP panel test drives quavix.clap through the CLAP tests' host.
target_sources(x11_clap_panel_test PRIVATE ${CMAKE_SOURCE_DIR}/tests/clap/support/ClapTestHost.cpp)
add_dependencies(x11_clap_panel_test quavix_clap)
set_property(TEST x11_clap_panel_test APPEND PROPERTY ENVIRONMENT "QUAVIX_CLAP=$<TARGET_FILE:quavix_clap>")

# Quavix as an LV2 plug-in, beside quavix.so.
include(cmake/Lv2Plugin.cmake)
# What make install, the per-user install and the packages take from here.
include(packaging/Install.cmake)
