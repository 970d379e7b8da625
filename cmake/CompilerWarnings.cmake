# Warning flags for every target of the project, carried by one interface target.
add_library(flextor_warnings INTERFACE)
target_compile_options(flextor_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align -Woverloaded-virtual
  -Wnull-dereference -Wformat=2 -Wimplicit-fallthrough -Wmisleading-indentation
  -Wduplicated-cond -Wlogical-op)
# 32-bit ARM: GCC notes every function whose argument passing changed in GCC 7.1;
# nothing here is linked against code built before that.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^arm")
  target_compile_options(flextor_warnings INTERFACE -Wno-psabi)
endif()
if(FLEXTOR_WERROR)
  target_compile_options(flextor_warnings INTERFACE -Werror)
endif()
