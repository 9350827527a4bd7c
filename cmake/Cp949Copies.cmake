# CP949 copies of the sources, for a compiler that has no -fexec-charset=CP949 (clang, Apple
# clang). Such a compiler keeps the bytes of a narrow string literal as they stand in the file,
# so the sources are transcoded from UTF-8 to CP949 with iconv into the build tree and the
# copies are compiled instead. A source character that CP949 lacks, even in a comment, stops
# the copy and so the build.
find_program(ICONV_PROGRAM iconv REQUIRED)
set(CP949_TREE ${CMAKE_BINARY_DIR}/cp949)

# cp949_copy_file(SOURCE COPY): transcodes one file now, at configure time.
function(cp949_copy_file source copy)
  get_filename_component(copy_dir ${copy} DIRECTORY)
  file(MAKE_DIRECTORY ${copy_dir})
  execute_process(COMMAND ${ICONV_PROGRAM} -f UTF-8 -t CP949 -o ${copy} ${source}
                  RESULT_VARIABLE result ERROR_VARIABLE error)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "Cannot make a CP949 copy of ${source}: ${error}")
  endif()
endfunction()

# The build-time copies, each made once and again whenever its source changes; every target
# that compiles copies depends on cp949_copies, which makes them all.
function(_cp949_copy_rule relative out_var)
  set(copy ${CP949_TREE}/${relative})
  get_property(made GLOBAL PROPERTY CP949_COPIES)
  if(NOT copy IN_LIST made)
    get_filename_component(copy_dir ${copy} DIRECTORY)
    add_custom_command(
      OUTPUT ${copy}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${copy_dir}
      COMMAND ${ICONV_PROGRAM} -f UTF-8 -t CP949 -o ${copy} ${CMAKE_SOURCE_DIR}/${relative}
      DEPENDS ${CMAKE_SOURCE_DIR}/${relative}
      COMMENT "CP949 copy of ${relative}"
      VERBATIM)
    set_property(GLOBAL APPEND PROPERTY CP949_COPIES ${copy})
  endif()
  set(${out_var} ${copy} PARENT_SCOPE)
endfunction()

# cp949_no_copy(sources...): sources with no program text, compiled as they are (paths
# relative to the calling directory).
function(cp949_no_copy)
  set_source_files_properties(${ARGN} DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} PROPERTIES CP949_NO_COPY ON)
endfunction()

function(_cp949_directories dir out_var)
  set(dirs ${dir})
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    _cp949_directories(${subdir} more)
    list(APPEND dirs ${more})
  endforeach()
  set(${out_var} ${dirs} PARENT_SCOPE)
endfunction()

# _cp949_map(PATH OUT_VAR): PATH's place in the copy tree when PATH is in the source tree
# (outside the build tree), else PATH itself.
function(_cp949_map path out_var)
  cmake_path(ABSOLUTE_PATH path NORMALIZE)
  cmake_path(IS_PREFIX CMAKE_SOURCE_DIR ${path} NORMALIZE in_sources)
  cmake_path(IS_PREFIX CMAKE_BINARY_DIR ${path} NORMALIZE in_build)
  if(in_sources AND NOT in_build)
    cmake_path(RELATIVE_PATH path BASE_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE relative)
    set(${out_var} ${CP949_TREE}/${relative} PARENT_SCOPE)
  else()
    set(${out_var} ${path} PARENT_SCOPE)
  endif()
endfunction()

# compile_cp949_copies(): every target of the project's own directories compiles the CP949
# copies of its sources (but those marked by cp949_no_copy) and finds the copies of its
# headers first. Called once, after all targets are defined.
function(compile_cp949_copies)
  _cp949_directories(${CMAKE_SOURCE_DIR} dirs)
  set(header_dirs)
  foreach(dir IN LISTS dirs)
    cmake_path(IS_PREFIX CMAKE_SOURCE_DIR ${dir} NORMALIZE in_sources)
    if(NOT in_sources)
      continue()  # GoogleTest's sources, built as they are
    endif()
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
      get_target_property(type ${target} TYPE)
      if(type STREQUAL "UTILITY")
        continue()
      endif()
      get_target_property(target_dir ${target} SOURCE_DIR)
      if(NOT type STREQUAL "INTERFACE_LIBRARY")
        get_target_property(sources ${target} SOURCES)
        set(copied_sources)
        foreach(source IN LISTS sources)
          if(source MATCHES "^\\$<")
            list(APPEND copied_sources ${source})
            continue()
          endif()
          cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${target_dir} NORMALIZE OUTPUT_VARIABLE path)
          get_source_file_property(no_copy ${path} DIRECTORY ${target_dir} CP949_NO_COPY)
          _cp949_map(${path} copy)
          if(no_copy OR copy STREQUAL path OR NOT path MATCHES "\\.(cpp|hpp)$")
            list(APPEND copied_sources ${source})
            continue()
          endif()
          cmake_path(RELATIVE_PATH path BASE_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE relative)
          _cp949_copy_rule(${relative} copy)
          # What a directory said of the original holds for its copy.
          foreach(property IN ITEMS COMPILE_DEFINITIONS COMPILE_OPTIONS)
            get_source_file_property(value ${path} DIRECTORY ${target_dir} ${property})
            if(value)
              set_source_files_properties(${copy} DIRECTORY ${target_dir} PROPERTIES ${property} "${value}")
            endif()
          endforeach()
          list(APPEND copied_sources ${copy})
          cmake_path(GET path PARENT_PATH source_dir)
          list(APPEND header_dirs ${source_dir})
        endforeach()
        set_property(TARGET ${target} PROPERTY SOURCES ${copied_sources})
        add_dependencies(${target} cp949_copies)
      endif()
      # Headers: the copy's directory comes before the original's.
      foreach(property IN ITEMS INCLUDE_DIRECTORIES INTERFACE_INCLUDE_DIRECTORIES)
        if(type STREQUAL "INTERFACE_LIBRARY" AND property STREQUAL "INCLUDE_DIRECTORIES")
          continue()
        endif()
        get_target_property(includes ${target} ${property})
        if(NOT includes)
          continue()
        endif()
        set(mapped)
        foreach(include IN LISTS includes)
          if(NOT include MATCHES "^\\$<")
            _cp949_map(${include} copy_dir)
            if(NOT copy_dir STREQUAL include)
              list(APPEND mapped ${copy_dir})
              list(APPEND header_dirs ${include})
            endif()
          endif()
          list(APPEND mapped ${include})
        endforeach()
        set_property(TARGET ${target} PROPERTY ${property} ${mapped})
      endforeach()
      # A copy includes its neighbours from the copy's own directory.
      list(APPEND header_dirs ${target_dir})
    endforeach()
  endforeach()

  # Every header beside the sources and under the include directories, found anew when
  # files are added.
  list(REMOVE_DUPLICATES header_dirs)
  set(patterns)
  foreach(dir IN LISTS header_dirs)
    cmake_path(ABSOLUTE_PATH dir NORMALIZE)
    list(APPEND patterns ${dir}/*.hpp)
  endforeach()
  file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR} ${patterns})
  foreach(header IN LISTS headers)
    _cp949_copy_rule(${header} copy)
  endforeach()
  get_property(copies GLOBAL PROPERTY CP949_COPIES)
  add_custom_target(cp949_copies DEPENDS ${copies})
endfunction()
