# The manual page, and with CHIMEWELL_PACKAGE the Debian package's own documents and the
# package itself (CPack's DEB generator, run by scripts/package.sh).
set(PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/chimewell)

# Compressed as Debian wants them: gzip -9 without a name or time stamp, so builds repeat.
function(chimewell_gzip source output)
    add_custom_command(OUTPUT ${output}
        COMMAND gzip -9nc ${source} > ${output}
        DEPENDS ${source} VERBATIM)
endfunction()

chimewell_gzip(${PACKAGING_DIR}/chimly.1 ${CMAKE_BINARY_DIR}/chimly.1.gz)
set(package_docs ${CMAKE_BINARY_DIR}/chimly.1.gz)
install(FILES ${CMAKE_BINARY_DIR}/chimly.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(CHIMEWELL_PACKAGE)
    chimewell_gzip(${PACKAGING_DIR}/changelog ${CMAKE_BINARY_DIR}/changelog.Debian.gz)
    list(APPEND package_docs ${CMAKE_BINARY_DIR}/changelog.Debian.gz)
    install(FILES ${CMAKE_BINARY_DIR}/changelog.Debian.gz ${PACKAGING_DIR}/copyright
            DESTINATION ${DOC_DIR})
endif()
add_custom_target(chimewell_package_docs ALL DEPENDS ${package_docs})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME chimewell)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Chimewell developers <developers@chimewell.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reminders from the tray")
# The extended description; CPack puts the summary above it and indents every line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Chimewell waits in the system tray and, at the minute a reminder falls
due, shows an alert window above all others, flashes its tray icon,
plays a sound, opens a file or program, or powers the computer off or
restarts it. Reminders fall due once, on chosen weekdays, monthly, or
some minutes after each start; those missed while the computer was off
are listed in a journal at the next start.")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://chimewell.org/)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# The libraries the executable links: computed by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the program needs at run time that no linked library shows.
set(runtime_needs
    # libsndfile and libpulse-simple are opened at the first sound (dlopen), so
    # dpkg-shlibdeps does not see them.
    "libsndfile1 (>= 1.0.31)"
    "libpulse0 (>= 14.2)"
    # xdg-open opens a reminder's document with the desktop's program for it.
    "xdg-utils (>= 1.1.3)"
    # gio launches a reminder's desktop entry.
    "libglib2.0-bin (>= 2.74)"
    # Qt's own texts (file dialogs, context menus) in Russian: qtbase_ru.qm.
    "qt6-translations-l10n (>= 6.4)")
list(JOIN runtime_needs ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
# The native Wayland platform, for a Wayland session without XWayland; with XWayland the
# program still uses it, where its alert window can stay on top.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
# Folders in the package are 0755 whatever the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
