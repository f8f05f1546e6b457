# cmake --install puts the game and its pictures under <prefix>/lib/hops, a
# launcher that starts it from there (<prefix>/games/hops, where Debian keeps
# games, and <prefix>/bin/hops linked to it, on every user's PATH), and what a desktop
# needs to offer it: a menu entry, icons, AppStream metainfo and a manual
# page. cpack -G DEB packs the same tree as a Debian package.
set(HOPS_APP_ID io.github.drel.hops)

if(TARGET hops AND TARGET hops_images)
  set(HOPS_DESKTOP_DIR ${CMAKE_BINARY_DIR}/desktop)
  install(TARGETS hops RUNTIME DESTINATION lib/hops)
  install(DIRECTORY ${CMAKE_BINARY_DIR}/IMG/ DESTINATION lib/hops/IMG FILES_MATCHING PATTERN "*.bmp")
  install(PROGRAMS ${CMAKE_SOURCE_DIR}/cmake/hops_launcher.sh DESTINATION games RENAME hops)
  file(MAKE_DIRECTORY ${HOPS_DESKTOP_DIR}/bin)
  file(CREATE_LINK ../games/hops ${HOPS_DESKTOP_DIR}/bin/hops SYMBOLIC)
  install(FILES ${HOPS_DESKTOP_DIR}/bin/hops DESTINATION bin)

  configure_file(${CMAKE_SOURCE_DIR}/desktop/hops.desktop.in ${HOPS_DESKTOP_DIR}/${HOPS_APP_ID}.desktop @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/desktop/metainfo.xml.in ${HOPS_DESKTOP_DIR}/${HOPS_APP_ID}.metainfo.xml @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/desktop/hops.6.in ${HOPS_DESKTOP_DIR}/hops.6 @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/desktop/changelog.in ${HOPS_DESKTOP_DIR}/changelog @ONLY)
  # Manual pages and changelogs are installed compressed, as Debian wants them.
  foreach(plain hops.6 changelog)
    add_custom_command(OUTPUT ${HOPS_DESKTOP_DIR}/${plain}.gz
      COMMAND gzip -9nf -k ${HOPS_DESKTOP_DIR}/${plain}
      DEPENDS ${HOPS_DESKTOP_DIR}/${plain})
  endforeach()
  set(HOPS_ICON_STAMP ${HOPS_DESKTOP_DIR}/icons.stamp)
  add_custom_command(OUTPUT ${HOPS_ICON_STAMP}
    COMMAND hops_imggen --icons ${HOPS_DESKTOP_DIR}/icons ${HOPS_APP_ID}
    COMMAND ${CMAKE_COMMAND} -E touch ${HOPS_ICON_STAMP}
    DEPENDS hops_imggen
    COMMENT "Drawing the game's icons")
  add_custom_target(hops_desktop ALL
    DEPENDS ${HOPS_ICON_STAMP} ${HOPS_DESKTOP_DIR}/hops.6.gz ${HOPS_DESKTOP_DIR}/changelog.gz)

  install(FILES ${HOPS_DESKTOP_DIR}/${HOPS_APP_ID}.desktop DESTINATION share/applications)
  install(FILES ${HOPS_DESKTOP_DIR}/${HOPS_APP_ID}.metainfo.xml DESTINATION share/metainfo)
  install(DIRECTORY ${HOPS_DESKTOP_DIR}/icons/hicolor DESTINATION share/icons)
  install(FILES ${HOPS_DESKTOP_DIR}/hops.6.gz DESTINATION share/man/man6)
  install(FILES ${CMAKE_SOURCE_DIR}/desktop/copyright ${HOPS_DESKTOP_DIR}/changelog.gz DESTINATION share/doc/hops)

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME hops)
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_CONTACT "The HOPS developers <hops@users.noreply.github.com>")
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "shoot the bouncing balls before one lands on you")
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A small arcade game on a 1024x768 screen: balls fly under gravity and\n\
bounce off the edges, and every shot that hits one splits it in two.\n\
Plays full screen or in a window, with a keyboard or a gamepad.")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The libraries come from what the binary links; the Hangul font of the
  # texts is found at run time (Unifont drawn crisp, Nanum as the fallback).
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-unifont | fonts-nanum")
  set(CPACK_STRIP_FILES ON)
  include(CPack)
endif()
