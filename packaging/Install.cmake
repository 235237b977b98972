# The one list of what Quavix installs, as install() rules of the build that
# makes the files: `cmake --install` puts them under --prefix (and $DESTDIR,
# as packagers expect), and records each file it put in the build's install
# manifest, from which make uninstall removes them again.
#
# One list, laid out three ways, each a component:
#   system   PREFIX/lib/vst, lib/clap, lib/lv2, bin, share/man/man1: make
#            install and the .deb (the default, the only one a plain
#            `cmake --install` installs);
#   user     with --prefix $HOME: ~/.vst, ~/.clap, ~/.lv2, ~/.local/bin and
#            ~/.local/share/man/man1, where hosts look for one user alone;
#   archive  every file side by side, the bundle a folder among them, with
#            the README and the licences: the archive for each system.
# The files are installed as the build made them, to the byte; stripping is
# the packages' business. Plug-ins are 0644 where hosts load them from the
# system's folders, and keep the linker's 0755 in the archives, as ever.
set(QUAVIX_DOCUMENTS ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_SOURCE_DIR}/THIRD-PARTY.md)

# The Linux build's files in one layout: the component, how the plug-ins are
# installed (FILES or PROGRAMS), and the VST, CLAP, LV2, program and manual
# page folders.
function(install_linux_files component plugins vst clap lv2 bin man)
    set(in COMPONENT ${component})
    if(NOT component STREQUAL "system")
        list(APPEND in EXCLUDE_FROM_ALL)
    endif()
    install(${plugins} ${QUAVIX_DIST_DIR}/quavix.so DESTINATION ${vst} ${in})
    install(${plugins} ${QUAVIX_DIST_DIR}/quavix.clap DESTINATION ${clap} ${in})
    install(FILES ${LV2_BUNDLE_DIR}/manifest.ttl ${LV2_BUNDLE_DIR}/quavix.ttl DESTINATION ${lv2}/quavix.lv2 ${in})
    install(${plugins} ${LV2_BUNDLE_DIR}/quavix_dsp.so ${LV2_BUNDLE_DIR}/quavix_ui.so DESTINATION ${lv2}/quavix.lv2
        ${in})
    install(PROGRAMS ${QUAVIX_DIST_DIR}/quavix-host DESTINATION ${bin} ${in})
    install(FILES ${QUAVIX_MANUAL} DESTINATION ${man} ${in})
endfunction()

if(WIN32)
    # A Windows build's files in its architecture's folder of the Windows
    # archive, which is also the installer's stage.
    set(arch win32)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(arch win64)
    endif()
    install(PROGRAMS ${QUAVIX_DIST_DIR}/QUAVIX.dll ${QUAVIX_DIST_DIR}/Quavix.clap ${QUAVIX_DIST_DIR}/quavix-host.exe
        DESTINATION ${arch} COMPONENT archive)
    install(FILES ${QUAVIX_DOCUMENTS} DESTINATION . COMPONENT archive)
elseif(NOT TARGET quavix_lv2_bundle)
    message(WARNING "nothing to install: this build makes no LV2 bundle, and Quavix installs one")
else()
    install_linux_files(system FILES lib/vst lib/clap lib/lv2 bin share/man/man1)
    install_linux_files(user FILES .vst .clap .lv2 .local/bin .local/share/man/man1)
    install_linux_files(archive PROGRAMS . . . . .)
    install(FILES ${QUAVIX_DOCUMENTS} DESTINATION . COMPONENT archive EXCLUDE_FROM_ALL)
endif()
