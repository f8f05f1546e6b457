# cmake --install puts the game and its pictures under <prefix>/lib/hops and
# a launcher, <prefix>/bin/hops, that starts it from there.
if(TARGET hops AND TARGET hops_images)
  install(TARGETS hops RUNTIME DESTINATION lib/hops)
  install(DIRECTORY ${CMAKE_BINARY_DIR}/IMG/ DESTINATION lib/hops/IMG FILES_MATCHING PATTERN "*.bmp")
  install(PROGRAMS ${CMAKE_SOURCE_DIR}/cmake/hops_launcher.sh DESTINATION bin RENAME hops)
endif()
