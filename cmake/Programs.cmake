# add_console_program(NAME LIBRARY lib): the executable NAME from NAME/main.cpp, linked with
# its logic library and the console layer, written to bin/ and installed.
function(add_console_program name)
  cmake_parse_arguments(ARG "" "LIBRARY" "" ${ARGN})
  add_executable(${name} main.cpp)
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARY} console project_options)
  console_force_startup(${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  install(TARGETS ${name} RUNTIME DESTINATION bin)
endfunction()

# The console layer sets up standard output (the encoding, failure reporting) from a static
# object. Naming its marker symbol makes the linker take that object into every executable,
# so no program can leave it out.
function(console_force_startup target)
  if(MSVC)
    target_link_options(${target} PRIVATE "/INCLUDE:console_output_installed")
  elseif(APPLE)
    target_link_options(${target} PRIVATE "LINKER:-u,_console_output_installed")
  else()
    target_link_options(${target} PRIVATE "LINKER:--undefined=console_output_installed")
  endif()
endfunction()
