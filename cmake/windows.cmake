# The Windows build: hops.exe, the DirectDraw probe and the zip package that
# holds hops.exe with its pictures. HOPS_IMG_DIR names a folder of generated
# pictures (the picture generator runs on the build machine, not here).
if(TARGET hops)
  set_target_properties(hops PROPERTIES WIN32_EXECUTABLE ON)
  install(TARGETS hops RUNTIME DESTINATION .)
endif()

add_executable(ddraw_probe tests/probe/ddraw_probe.cpp)
target_link_libraries(ddraw_probe PRIVATE ddraw dxguid gdi32 user32)
hops_warnings(ddraw_probe)

set(HOPS_IMG_DIR "" CACHE PATH "Folder of the seven generated IMG_*.bmp pictures for the package")
if(HOPS_IMG_DIR)
  install(DIRECTORY ${HOPS_IMG_DIR}/ DESTINATION IMG FILES_MATCHING PATTERN "*.bmp")
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME hops)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_SYSTEM_NAME win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
