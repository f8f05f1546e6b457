# The set-up script, against fakes of the machine it installs on.
add_test(NAME setup_script COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/setup_test.sh)
