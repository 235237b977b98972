# The fuzz targets, one per boundary where bytes come from outside: each is
# tests/fuzz/NAME_fuzz.cpp (dashes as underscores) defining
# LLVMFuzzerTestOneInput; its seeds, and every input that once crashed it,
# are in tests/fuzz/corpus/NAME/.
#
# With QUAVIX_FUZZ (clang, make fuzz) this is the whole build: each target
# is a libFuzzer program, build/fuzz/fuzz-NAME, with every source
# instrumented for coverage. The native build includes this file too and
# links the same targets with tests/fuzz/ReplayMain.cpp, to replay the whole
# corpus once as a test under its sanitizers.
set(FUZZ_DIR ${CMAKE_SOURCE_DIR}/tests/fuzz)
set(FUZZ_SUPPORT ${FUZZ_DIR}/FuzzInput.cpp ${FUZZ_DIR}/Invariant.cpp)
set(FUZZ_VST_SUPPORT ${FUZZ_DIR}/FuzzHost.cpp ${FUZZ_DIR}/FuzzedEffect.cpp ${FUZZ_DIR}/StubPictures.cpp)

if(QUAVIX_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "QUAVIX_FUZZ needs clang (libFuzzer): configure with -DCMAKE_CXX_COMPILER=clang++")
    endif()
    set(FUZZ_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_compile_options(-fsanitize=fuzzer-no-link ${FUZZ_SANITIZERS} -g)
    add_link_options(${FUZZ_SANITIZERS})
endif()

find_package(PkgConfig REQUIRED)
pkg_check_modules(FUZZ_LV2 REQUIRED IMPORTED_TARGET lv2)

# The plug-in with its editor over the stub window system, made through its
# entry point as a host makes it.
add_library(quavix_fuzz_plugin STATIC ${FRAMEWORK_SOURCES} ${QUAVIX_EFFECT_SOURCES} ${QUAVIX_PANEL_SOURCES}
    ${TOOLKIT_SOURCES} ${STUB_PLATFORM_SOURCES})
target_compile_definitions(quavix_fuzz_plugin PRIVATE QUAVIX_WITH_EDITOR=1)
# What the LV2 binary processes with: the headless effect behind the adapter.
add_library(quavix_fuzz_lv2 STATIC ${FRAMEWORK_SOURCES} ${QUAVIX_EFFECT_SOURCES}
    ${CMAKE_SOURCE_DIR}/framework/lv2/Lv2Adapter.cpp ${CMAKE_SOURCE_DIR}/quavix/lv2/QuavixLv2.cpp)
target_link_libraries(quavix_fuzz_lv2 PUBLIC PkgConfig::FUZZ_LV2)
# What the CLAP binary processes with: the same headless effect behind the
# CLAP adapter, driven by the CLAP tests' host.
add_library(quavix_fuzz_clap STATIC ${FRAMEWORK_SOURCES} ${QUAVIX_EFFECT_SOURCES} ${FRAMEWORK_CLAP_SOURCES}
    ${QUAVIX_CLAP_SOURCES} ${CMAKE_SOURCE_DIR}/tests/clap/support/ClapTestHost.cpp)
# The host tool's parts that read what users hand it (the command-line target
# stands in for the commands the parser names). The rest of the tool
# stays out: its heap counter replaces malloc, which the sanitizers own.
add_library(quavix_fuzz_host_inputs STATIC ${CMAKE_SOURCE_DIR}/tools/cli/CommandLine.cpp
    ${CMAKE_SOURCE_DIR}/tools/cli/CommandTable.cpp ${CMAKE_SOURCE_DIR}/tools/cli/OptionTable.cpp
    ${CMAKE_SOURCE_DIR}/tools/cli/ValueParsing.cpp ${CMAKE_SOURCE_DIR}/tools/hosting/PluginLoader.cpp
    ${CMAKE_SOURCE_DIR}/tools/hosting/HostedPlugin.cpp
    ${CMAKE_SOURCE_DIR}/tools/media/WavFile.cpp ${CMAKE_SOURCE_DIR}/tools/hosting/linux/LargeFile.cpp)

# fuzz_target(NAME LIBRARY [SOURCES...])
function(fuzz_target name library)
    string(REPLACE "-" "_" id ${name})
    set(sources ${FUZZ_DIR}/${id}_fuzz.cpp ${FUZZ_SUPPORT} ${ARGN})
    if(QUAVIX_FUZZ)
        set(target fuzz-${name})
        add_executable(${target} ${sources})
        target_link_options(${target} PRIVATE -fsanitize=fuzzer)
    else()
        set(target fuzz_replay_${id})
        add_executable(${target} ${sources} ${FUZZ_DIR}/ReplayMain.cpp)
        add_test(NAME fuzz_corpus_${id} COMMAND ${target} ${FUZZ_DIR}/corpus/${name})
    endif()
    target_link_libraries(${target} ${library})
    # The editor's bitmap sizes come from resources/.
    target_compile_definitions(${target} PRIVATE QUAVIX_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
endfunction()

fuzz_target(vst-dispatcher quavix_fuzz_plugin ${FUZZ_VST_SUPPORT})
fuzz_target(editor-input quavix_fuzz_plugin ${FUZZ_VST_SUPPORT})
fuzz_target(lv2-run quavix_fuzz_lv2)
fuzz_target(clap-process quavix_fuzz_clap)
fuzz_target(wav-reader quavix_fuzz_host_inputs)
fuzz_target(command-line quavix_fuzz_host_inputs ${FUZZ_DIR}/CommandStandIns.cpp)
