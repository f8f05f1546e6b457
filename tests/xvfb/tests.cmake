# The game itself, installed and started through its launcher, on the SDL2 host.
if(TARGET hops AND TARGET frame_dump)
  add_test(NAME xvfb_hops_game
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/support/play_through.sh native ${CMAKE_BINARY_DIR} $<TARGET_FILE:frame_dump>)
  # Alone: its second run measures the game's pace, which the suite's other
  # tests would take the cores from.
  set_tests_properties(xvfb_hops_game PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120 RUN_SERIAL TRUE)
endif()

# The game's start-up on a display and without one: the platform's own
# message box for a missing picture (Hangul, closed with Enter), with and
# without a window manager, and the clear refusal to run unseen.
if(TARGET hops)
  add_executable(message_box_dump ${CMAKE_CURRENT_LIST_DIR}/message_box_dump.cpp)
  target_link_libraries(message_box_dump PRIVATE hops_platform_testing)
  hops_warnings(message_box_dump)
  add_test(NAME xvfb_hops_start_up
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/hops_start_up_test.sh $<TARGET_FILE:hops> ${CMAKE_BINARY_DIR}/IMG
      $<TARGET_FILE:message_box_dump>)
  set_tests_properties(xvfb_hops_start_up PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
endif()

# The picture on screens and windows of several shapes: full screen with and
# without a window manager, Alt+Enter and F11, a resized window, HOPS_SCALE.
if(TARGET hops AND TARGET frame_dump)
  add_test(NAME xvfb_hops_display
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/hops_display_test.sh $<TARGET_FILE:hops> ${CMAKE_BINARY_DIR}/IMG
      $<TARGET_FILE:frame_dump>)
  set_tests_properties(xvfb_hops_display PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 180)
endif()
