# The browser build, made with emcmake: the game and the platform with the
# browser host, linked into hops.js and hops.wasm, laid out with the page
# and the game's pictures in <build>/site, a folder any web server can
# serve. The pictures and the glyphs come from the native build's tools
# (its hops_web target makes this build and passes both):
#   HOPS_IMG_DIR  the folder hops_imggen wrote the IMG_*.bmp pictures into
#   HOPS_GLYPHS   the Unifont subset hops_unifont_subset wrote
# No SDL2, fontconfig, FreeType or libpng here, and no screenshots,
# benchmarks or fuzzers.
set(HOPS_IMG_DIR "" CACHE PATH "The game's pictures, as the native hops_imggen writes them")
set(HOPS_GLYPHS "" CACHE FILEPATH "The Unifont subset the native hops_unifont_subset writes")
if(NOT IS_DIRECTORY "${HOPS_IMG_DIR}" OR NOT EXISTS "${HOPS_GLYPHS}")
  message(FATAL_ERROR "The browser build needs the native build's pictures and glyphs: build it from a native "
    "build folder (cmake --build build --target hops_web) or with bash scripts/web")
endif()
find_program(HOPS_ICONV iconv REQUIRED)

set(HOPS_SITE_DIR ${CMAKE_BINARY_DIR}/site)
# 128-bit SIMD (every current browser has it) makes the blits and the
# canvas's pixel conversion about three times as fast.
add_compile_options(-msimd128)
# Windows never maps the lowest 64 KB, so user32 takes a name below 0x10000
# for an atom (MAKEINTATOM); wasm would put static data from 1 KB up.
add_link_options(-sGLOBAL_BASE=65536)
set(HOPS_WEB_DIR ${CMAKE_SOURCE_DIR}/platform/host/web)

# The platform: every DLL's portable files, and for each concern that
# differs in a browser the file of its web/ folder instead of the native one.
# The host: the seam with what every host shares, the headless host, and
# the browser's as the display host.
file(GLOB HOPS_WEB_PLATFORM_SOURCES CONFIGURE_DEPENDS
  platform/kernel32/*.cpp platform/user32/*.cpp platform/gdi32/*.cpp platform/ddraw/*.cpp platform/host/*.cpp
  platform/host/headless/*.cpp platform/gdi32/web/*.cpp platform/ddraw/web/*.cpp platform/host/web/*.cpp)
list(FILTER HOPS_WEB_PLATFORM_SOURCES EXCLUDE REGEX
  "/platform/(gdi32/text|ddraw/pixel_pages|host/(clock|screenshot|web/main))\\.cpp$")
add_library(hops_platform STATIC ${HOPS_WEB_PLATFORM_SOURCES})
target_include_directories(hops_platform PUBLIC platform/include PRIVATE platform)
hops_warnings(hops_platform)

# The game's Korean literals must reach the ANSI entry points as CP949
# bytes, and clang knows only UTF-8 as execution charset: it compiles CP949
# copies of the game's sources instead, whose literals it keeps byte for byte.
file(GLOB HOPS_GAME_SOURCES CONFIGURE_DEPENDS app/*.cpp game/*.cpp gfx/*.cpp)
set(HOPS_CP949_SOURCES "")
foreach(source ${HOPS_GAME_SOURCES})
  file(RELATIVE_PATH name ${CMAKE_SOURCE_DIR} ${source})
  set(copy ${CMAKE_BINARY_DIR}/cp949/${name})
  get_filename_component(copy_dir ${copy} DIRECTORY)
  add_custom_command(OUTPUT ${copy}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${copy_dir}
    COMMAND ${HOPS_ICONV} -f UTF-8 -t CP949 -o ${copy} ${source}
    DEPENDS ${source})
  list(APPEND HOPS_CP949_SOURCES ${copy})
endforeach()
add_library(hops_game STATIC ${HOPS_CP949_SOURCES})
target_include_directories(hops_game PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(hops_game PUBLIC hops_platform)
hops_warnings(hops_game)
target_compile_options(hops_game PRIVATE -Wno-invalid-source-encoding)

# The page's pictures: fetched one by one, so a missing file is only that,
# and gzipped, as few servers compress what they serve (9.3 MiB become 0.3).
file(GLOB HOPS_PICTURES RELATIVE ${HOPS_IMG_DIR} CONFIGURE_DEPENDS ${HOPS_IMG_DIR}/*.bmp)
list(JOIN HOPS_PICTURES "', '" HOPS_PICTURE_LIST)
file(WRITE ${CMAKE_BINARY_DIR}/picture_list.js "var hopsPictures = ['${HOPS_PICTURE_LIST}'];\n")

add_executable(hops ${HOPS_WEB_DIR}/main.cpp)
target_link_libraries(hops PRIVATE hops_game)
target_include_directories(hops PRIVATE platform)
hops_warnings(hops)
set_target_properties(hops PROPERTIES SUFFIX .js RUNTIME_OUTPUT_DIRECTORY ${HOPS_SITE_DIR}
  LINK_DEPENDS "${HOPS_WEB_DIR}/page.js;${HOPS_WEB_DIR}/pictures.js;${HOPS_GLYPHS}")
# The game's loop never returns to the browser: asyncify lets its rests
# (page.js's hops_page_rest) hand the page back until the next frame.
target_link_options(hops PRIVATE
  -sENVIRONMENT=web -sASYNCIFY "-sASYNCIFY_IMPORTS=['hops_page_rest']" -sALLOW_MEMORY_GROWTH
  -sINITIAL_MEMORY=64MB
  "SHELL:--js-library ${HOPS_WEB_DIR}/page.js"
  "SHELL:--pre-js ${CMAKE_BINARY_DIR}/picture_list.js" "SHELL:--pre-js ${HOPS_WEB_DIR}/pictures.js"
  "SHELL:--embed-file ${HOPS_GLYPHS}@/system/unifont.hex")

set(HOPS_SITE_FILES ${HOPS_SITE_DIR}/index.html)
add_custom_command(OUTPUT ${HOPS_SITE_DIR}/index.html
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/web/index.html ${HOPS_SITE_DIR}/index.html
  DEPENDS ${CMAKE_SOURCE_DIR}/web/index.html)
find_program(HOPS_GZIP gzip REQUIRED)
foreach(picture ${HOPS_PICTURES})
  set(packed ${HOPS_SITE_DIR}/IMG/${picture}.gz)
  add_custom_command(OUTPUT ${packed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${HOPS_SITE_DIR}/IMG
    COMMAND sh -c "\"$0\" -9 -n -c \"$1\" >\"$2\"" ${HOPS_GZIP} ${HOPS_IMG_DIR}/${picture} ${packed}
    DEPENDS ${HOPS_IMG_DIR}/${picture}
    VERBATIM)
  list(APPEND HOPS_SITE_FILES ${packed})
endforeach()
add_custom_target(hops_site ALL DEPENDS ${HOPS_SITE_FILES})

if(HOPS_TESTS)
  include(tests/web/wasm.cmake)
endif()
