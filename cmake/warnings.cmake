# Warning flags for the project's own code; third-party code keeps its own.
function(hops_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
