# Install layout and the Debian package.
#
# pagora goes on PATH; help, whose name bash's builtin shadows, and the viewer's library
# live in a private program folder that pagora finds relative to its own folder.
include(GNUInstallDirs)

set(PAGORA_APP_ID sk.tarvol.Pagora)
set(PAGORA_HELPER_APP_ID sk.tarvol.Pagora.Pomocnik)
set(PAGORA_PRIVATE_DIR ${CMAKE_INSTALL_LIBEXECDIR}/pagora)

file(RELATIVE_PATH pagora_private_from_bin
     ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBEXECDIR}/pagora)
target_compile_definitions(pagoracommon PRIVATE
    PAGORA_PRIVATE_DIR_FROM_BIN="${pagora_private_from_bin}")
foreach(target pagoraviewer pagoralauncher)
    target_compile_definitions(${target} PUBLIC
        PAGORA_DESKTOP_FILE_NAME="${PAGORA_APP_ID}")
endforeach()
target_compile_definitions(pagorahelper PUBLIC
    PAGORA_DESKTOP_FILE_NAME="${PAGORA_HELPER_APP_ID}")

# System Qt needs no run path; whatever the build tree used points nowhere once installed.
set_target_properties(pagora pagorahelp pagoraviewermodule PROPERTIES INSTALL_RPATH "")

install(TARGETS pagora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The viewer's own library, which pagora loads once its intro is on screen.
install(TARGETS pagoraviewermodule LIBRARY DESTINATION ${PAGORA_PRIVATE_DIR})
install(TARGETS pagorahelp RUNTIME DESTINATION ${PAGORA_PRIVATE_DIR})
# The target's file is pagora-help (see helper/CMakeLists.txt); installed it is help.
install(CODE "
    set(dir \"\${CMAKE_INSTALL_PREFIX}/${PAGORA_PRIVATE_DIR}\")
    if(IS_ABSOLUTE \"${PAGORA_PRIVATE_DIR}\")
        set(dir \"${PAGORA_PRIVATE_DIR}\")
    endif()
    file(RENAME \"\$ENV{DESTDIR}\${dir}/$<TARGET_FILE_NAME:pagorahelp>\"
                \"\$ENV{DESTDIR}\${dir}/help\")
    list(TRANSFORM CMAKE_INSTALL_MANIFEST_FILES REPLACE \"/$<TARGET_FILE_NAME:pagorahelp>\$\" \"/help\")
")

set(dist ${PROJECT_SOURCE_DIR}/dist)
# The helper's entry starts it where it is installed, off PATH.
set(PAGORA_HELPER_PATH ${CMAKE_INSTALL_FULL_LIBEXECDIR}/pagora/help)
configure_file(${dist}/${PAGORA_HELPER_APP_ID}.desktop.in
               ${PROJECT_BINARY_DIR}/dist/${PAGORA_HELPER_APP_ID}.desktop @ONLY)
install(FILES ${dist}/${PAGORA_APP_ID}.desktop
              ${PROJECT_BINARY_DIR}/dist/${PAGORA_HELPER_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${dist}/${PAGORA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 24 32 48 64 128 256)
    install(FILES ${dist}/icons/${size}/${PAGORA_APP_ID}.png
                  ${dist}/icons/${size}/${PAGORA_HELPER_APP_ID}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
# Manual pages in English and Slovak, and the Debian changelog, gzipped as Debian ships them
# (-n: no name or time inside, so the package stays reproducible). Built with pagora, so
# that building the two programs is enough for the install step.
set(pagora_gzipped)
foreach(page man/pagora.1 man/pagora-help.1 man/sk/pagora.1 man/sk/pagora-help.1
        changelog.Debian)
    set(gz ${PROJECT_BINARY_DIR}/dist/${page}.gz)
    get_filename_component(gzdir ${gz} DIRECTORY)
    add_custom_command(OUTPUT ${gz}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${gzdir}
        COMMAND gzip -9nc ${dist}/${page} > ${gz}
        DEPENDS ${dist}/${page} VERBATIM)
    list(APPEND pagora_gzipped ${gz})
endforeach()
add_custom_target(pagoradist DEPENDS ${pagora_gzipped})
add_dependencies(pagora pagoradist)
install(FILES ${PROJECT_BINARY_DIR}/dist/man/pagora.1.gz
              ${PROJECT_BINARY_DIR}/dist/man/pagora-help.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_BINARY_DIR}/dist/man/sk/pagora.1.gz
              ${PROJECT_BINARY_DIR}/dist/man/sk/pagora-help.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/sk/man1)
install(FILES ${dist}/copyright ${PROJECT_BINARY_DIR}/dist/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pagora)
install(FILES ${dist}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME pagora)

# A stripped install (--strip, and the package) drops the compilers' .comment notes too,
# as Debian's own packages do.
install(CODE "set(pagora_objcopy \"${CMAKE_OBJCOPY}\")
    set(pagora_binaries \"${CMAKE_INSTALL_BINDIR}/pagora;${PAGORA_PRIVATE_DIR}/help;${PAGORA_PRIVATE_DIR}/$<TARGET_FILE_NAME:pagoraviewermodule>\")")
install(CODE [[
    if(CMAKE_INSTALL_DO_STRIP)
        foreach(file IN LISTS pagora_binaries)
            if(NOT IS_ABSOLUTE "${file}")
                set(file "${CMAKE_INSTALL_PREFIX}/${file}")
            endif()
            execute_process(COMMAND "${pagora_objcopy}" --remove-section=.comment
                                    "$ENV{DESTDIR}${file}" COMMAND_ERROR_IS_FATAL ANY)
        endforeach()
    endif()
]])

# Installing (and so cpack) takes what was built instead of building every target first,
# benchmarks included, on one core: build the programs, then package.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_PACKAGE_NAME pagora)
set(CPACK_PACKAGE_VENDOR Tarvol)
set(CPACK_PACKAGE_VERSION 1.00.0002)
# The Debian revision, as in dist/changelog.Debian.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_PACKAGE_CONTACT "Tarvol <pagora@tarvol.sk>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Univerzálny čítací program kníh a pomocníkov")
# Lines of the long description stay under 80 characters.
set(CPACK_PACKAGE_DESCRIPTION "Tarvol Pagora číta elektronické knihy a pomocníkov,
priečinky stránok HTML vo vlastnej knižnici.
Všetky texty programu sú slovenské.")
# The helper's desktop entry names its full path: package for the prefix configured
# (scripts/package-check.sh uses /usr).
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so shlibdeps cannot see it: Qt's Slovak translations. (The engine's
# helper process, libqt6webenginecore6-bin, comes with shlibdeps' list.)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tarvol.sk/pagora")
include(CPack)
