# From the Linux build, makes the browser build into <build>/web with
# Emscripten (emcmake), from the pictures and the glyphs the native tools
# write here, so that one build gives both and the browser tests find the
# page in <build>/web/site.
include(ExternalProject)

option(HOPS_WEB "Also build the browser build with Emscripten" ON)
find_program(HOPS_EMCMAKE emcmake)
# Debian's unifont package: the bitmaps of GNU Unifont in its .hex form.
find_file(HOPS_UNIFONT_HEX unifont.hex PATHS /usr/share/unifont NO_DEFAULT_PATH)
# Emscripten's JavaScript optimiser needs Debian's node modules (acorn),
# where a Node.js from elsewhere does not look.
find_path(HOPS_NODE_MODULES acorn PATHS /usr/share/nodejs NO_DEFAULT_PATH)

# The glyphs of every character the game writes, for the browser's text.
add_executable(hops_unifont_subset tools/glyphs/unifont_subset.cpp)
hops_warnings(hops_unifont_subset)
if(HOPS_UNIFONT_HEX)
  set(HOPS_GLYPHS ${CMAKE_BINARY_DIR}/glyphs/unifont.hex)
  file(GLOB HOPS_TEXT_SOURCES CONFIGURE_DEPENDS app/*.cpp game/*.cpp gfx/*.cpp)
  add_custom_command(OUTPUT ${HOPS_GLYPHS}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/glyphs
    COMMAND hops_unifont_subset ${HOPS_UNIFONT_HEX} ${HOPS_GLYPHS} ${HOPS_TEXT_SOURCES}
    DEPENDS hops_unifont_subset ${HOPS_UNIFONT_HEX} ${HOPS_TEXT_SOURCES}
    COMMENT "Taking the game's characters from Unifont")
  add_custom_target(hops_glyphs ALL DEPENDS ${HOPS_GLYPHS})
endif()

if(HOPS_WEB AND HOPS_EMCMAKE AND HOPS_UNIFONT_HEX)
  set(HOPS_WEB_DIR ${CMAKE_BINARY_DIR}/web)
  set(HOPS_WEB_ENV "")
  if(HOPS_NODE_MODULES)
    set(HOPS_WEB_ENV NODE_PATH=${HOPS_NODE_MODULES})
  endif()
  ExternalProject_Add(hops_web
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${HOPS_WEB_DIR}
    CONFIGURE_COMMAND ${HOPS_FOREIGN_CONFIGURE} ${HOPS_EMCMAKE} ${CMAKE_COMMAND} -S <SOURCE_DIR> -B <BINARY_DIR> -G Ninja
      -DCMAKE_BUILD_TYPE=Release -DHOPS_IMG_DIR=${CMAKE_BINARY_DIR}/IMG -DHOPS_GLYPHS=${HOPS_GLYPHS}
      -DHOPS_TESTS=${HOPS_TESTS}
    BUILD_COMMAND ${CMAKE_COMMAND} -E env ${HOPS_WEB_ENV} ${CMAKE_COMMAND} --build <BINARY_DIR>
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    USES_TERMINAL_BUILD ON)
  add_dependencies(hops_web hops_images hops_glyphs)
  set(HOPS_WEB_SITE ${HOPS_WEB_DIR}/site)
else()
  message(STATUS "Emscripten or Debian's unifont not found: the browser build and its tests are skipped")
endif()
