# The game as a desktop program: its own command line, the installed tree
# (desktop entry, icons, metainfo, manual) and the Debian package.
add_test(NAME hops_command_line
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/command_line_test.sh $<TARGET_FILE:hops> ${PROJECT_VERSION})

if(TARGET hops_desktop)
  add_test(NAME desktop_package COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/package_test.sh ${CMAKE_BINARY_DIR} ${HOPS_APP_ID})
  set_tests_properties(desktop_package PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
endif()
