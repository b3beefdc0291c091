# Installs Orbolan at the freedesktop places and describes its Debian package for CPack.
#
#   <prefix>/games/orbolan                   launcher: per-player folder, then the game
#   <prefix>/libexec/orbolan/orbolan         the game itself, kept off the PATH
#   <prefix>/share/orbolan/*.wav             the six sounds
#   <prefix>/share/orbolan/orbolan.cfg       the settings of a first start
#   <prefix>/share/man/man6/orbolan.6.gz     the manual page
#   <prefix>/share/applications/<id>.desktop menu entry
#   <prefix>/share/icons/hicolor/NxN/apps/orbolan.png
#   <prefix>/share/metainfo/<id>.metainfo.xml
#   <prefix>/share/doc/orbolan/copyright, changelog.gz
include(GNUInstallDirs)

set(ORBOLAN_APP_ID org.orbolan.orbolan)
set(ORBOLAN_LAUNCHER_DIR games)  # where Debian puts the commands of games
set(ORBOLAN_PROGRAM_DIR ${CMAKE_INSTALL_LIBEXECDIR}/orbolan)
set(ORBOLAN_DATA_DIR ${CMAKE_INSTALL_DATADIR}/orbolan)
set(ORBOLAN_ICON_SIZES 16 32 48 64 128 256)
set(packaging_src ${CMAKE_CURRENT_LIST_DIR})
set(packaging_out ${CMAKE_BINARY_DIR}/packaging)

# The launcher reaches the game and its data (sounds, default settings) by paths relative
# to its own folder.
file(RELATIVE_PATH LAUNCHER_TO_PROGRAM /root/${ORBOLAN_LAUNCHER_DIR}
  /root/${ORBOLAN_PROGRAM_DIR}/orbolan)
file(RELATIVE_PATH LAUNCHER_TO_DATA /root/${ORBOLAN_LAUNCHER_DIR} /root/${ORBOLAN_DATA_DIR})
configure_file(${packaging_src}/orbolan.in ${packaging_out}/orbolan @ONLY)
install(PROGRAMS ${packaging_out}/orbolan DESTINATION ${ORBOLAN_LAUNCHER_DIR})

# The manual page and the changelog are installed compressed, as Debian wants them; gzip -n
# leaves the name and time out, so the bytes stay the same from build to build.
find_program(GZIP gzip REQUIRED)
set(compressed)
foreach(doc orbolan.6 changelog)
  add_custom_command(
    OUTPUT ${packaging_out}/${doc}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${packaging_src}/${doc} ${packaging_out}/${doc}
    COMMAND ${GZIP} -9nf ${packaging_out}/${doc}
    DEPENDS ${packaging_src}/${doc}
    VERBATIM)
  list(APPEND compressed ${packaging_out}/${doc}.gz)
endforeach()
add_custom_target(orbolan_docs ALL DEPENDS ${compressed})
install(FILES ${packaging_out}/orbolan.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${packaging_out}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/orbolan)
install(FILES ${ORBOLAN_DEFAULT_CFG} DESTINATION ${ORBOLAN_DATA_DIR})

install(TARGETS orbolan RUNTIME DESTINATION ${ORBOLAN_PROGRAM_DIR})
# The compilers' names and versions (.comment) are of no use to the installed program; Debian's
# own packaging tools leave them out as well.
install(CODE "execute_process(COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment
  \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${ORBOLAN_PROGRAM_DIR}/orbolan\")")
list(TRANSFORM ORBOLAN_SOUND_FILES PREPEND ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/
  OUTPUT_VARIABLE sound_files)
install(FILES ${sound_files} DESTINATION ${ORBOLAN_DATA_DIR})

# The menu entry names the launcher by its full installed path, which is known only at
# install time (`cmake --install --prefix` and CPack both choose the prefix then). Each
# destination gets its own staging folder, so installs running side by side never mix.
install(CODE "
  set(ORBOLAN_LAUNCHER_PATH \"\${CMAKE_INSTALL_PREFIX}/${ORBOLAN_LAUNCHER_DIR}/orbolan\")
  include(\"${packaging_src}/desktop_exec.cmake\")
  string(MD5 staging \"\$ENV{DESTDIR}|\${CMAKE_INSTALL_PREFIX}\")
  set(staging \"${packaging_out}/desktop-\${staging}\")
  configure_file(\"${packaging_src}/orbolan.desktop.in\"
    \"\${staging}/${ORBOLAN_APP_ID}.desktop\" @ONLY)
  file(INSTALL \"\${staging}/${ORBOLAN_APP_ID}.desktop\"
    DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
  file(REMOVE_RECURSE \"\${staging}\")
")

install(FILES ${packaging_src}/${ORBOLAN_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/orbolan
  RENAME copyright)

# The artwork generator writes the emblem as PNG icons, one per size.
if(DEFINED ORBOLAN_ICON_PNG_DIR)
  foreach(size ${ORBOLAN_ICON_SIZES})
    install(FILES ${ORBOLAN_ICON_PNG_DIR}/orbolan-${size}.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
      RENAME orbolan.png)
  endforeach()
endif()

# The Debian package: `cpack -G DEB` in the build folder writes orbolan_<version>_<arch>.deb.
# Its run-time dependencies (SDL2, SDL2_mixer, the C and C++ libraries) come from
# dpkg-shlibdeps, which reads them off the installed program.
set(CPACK_PACKAGE_NAME orbolan)
set(CPACK_PACKAGE_VENDOR "The Orbolan developers")
set(CPACK_PACKAGE_CONTACT "The Orbolan developers <orbolan@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "bubble puzzle: clear the board group by group")
set(CPACK_PACKAGE_DESCRIPTION "Orbolan is a single-player bubble puzzle. Click a group of
same-coloured bubbles to see its worth, click it again to remove it; the
bubbles above fall and emptied columns close up. Four game types, one-level
undo and statistics for each type. Played with the left mouse button alone.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
