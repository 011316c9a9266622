# What users install (the control, the service and every library under src/)
# is built from src/ alone. tools/ holds test and developer programs (the
# page host, the virtual scanner, ...) that may use the product's code, but
# never the other way round: a helper written for a test must not end up
# inside Pagewell.dll or pagewell-service.exe.
#
# Two checks, both at configure time:
#  - pagewell_check_src_includes: no file under src/ includes a header from
#    tools/, whether by a path through tools/ or by the name of a header that
#    only tools/ has;
#  - pagewell_check_shipped_targets: no target defined under src/ compiles a
#    source from tools/, searches headers there, or links a library defined
#    there (directly or through another library). It runs once every
#    directory has defined its targets.

function(pagewell_check_src_includes src_dir tools_dir)
  # The names a tool's headers are included by: relative to the tool's own
  # folder (its include directory) and to tools/.
  file(GLOB_RECURSE tool_headers RELATIVE "${tools_dir}" CONFIGURE_DEPENDS "${tools_dir}/*.h" "${tools_dir}/*.hpp")
  set(tool_names "")
  foreach(header IN LISTS tool_headers)
    string(REGEX REPLACE "^[^/]+/" "" within_tool "${header}")
    list(APPEND tool_names "${header}" "${within_tool}")
  endforeach()
  file(GLOB_RECURSE src_files CONFIGURE_DEPENDS "${src_dir}/*.h" "${src_dir}/*.hpp" "${src_dir}/*.cpp" "${src_dir}/*.c"
       "${src_dir}/*.rc" "${src_dir}/*.rc.in" "${src_dir}/*.idl")
  foreach(file IN LISTS src_files)
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]*)[\">].*" "\\1" name "${line}")
      if(name MATCHES "(^|/)tools/")
        message(FATAL_ERROR "${file} includes ${name}: shipped code must not include anything under tools/")
      endif()
      if(name IN_LIST tool_names)
        get_filename_component(here "${file}" DIRECTORY)
        file(GLOB_RECURSE own LIST_DIRECTORIES false "${src_dir}/*/${name}" "${src_dir}/${name}")
        if(NOT own AND NOT EXISTS "${here}/${name}")
          message(FATAL_ERROR "${file} includes ${name}, a header only tools/ has: shipped code must not include anything under tools/")
        endif()
      endif()
    endforeach()
  endforeach()
endfunction()

# Every target defined in `dir` and the directories below it.
function(pagewell_targets_below dir out)
  get_property(targets DIRECTORY "${dir}" PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY "${dir}" PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    pagewell_targets_below("${subdir}" below)
    list(APPEND targets ${below})
  endforeach()
  set(${out} "${targets}" PARENT_SCOPE)
endfunction()

# The targets `target` links, directly and through the libraries it links.
function(pagewell_linked_targets target out)
  set(seen "")
  set(queue "${target}")
  while(queue)
    list(POP_FRONT queue current)
    get_target_property(type "${current}" TYPE)
    set(links "")
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(direct "${current}" LINK_LIBRARIES)
      if(direct)
        list(APPEND links ${direct})
      endif()
    endif()
    get_target_property(interface "${current}" INTERFACE_LINK_LIBRARIES)
    if(interface)
      list(APPEND links ${interface})
    endif()
    foreach(link IN LISTS links)
      # $<LINK_ONLY:name> and the like: the name inside.
      string(REGEX REPLACE "^\\$<[A-Z_]+:(.*)>$" "\\1" link "${link}")
      if(TARGET "${link}" AND NOT link IN_LIST seen)
        list(APPEND seen "${link}")
        list(APPEND queue "${link}")
      endif()
    endforeach()
  endwhile()
  set(${out} "${seen}" PARENT_SCOPE)
endfunction()

function(pagewell_check_shipped_targets src_dir tools_dir)
  pagewell_targets_below("${src_dir}" shipped)
  foreach(target IN LISTS shipped)
    foreach(property IN ITEMS SOURCES INCLUDE_DIRECTORIES INTERFACE_INCLUDE_DIRECTORIES)
      get_target_property(paths "${target}" ${property})
      foreach(path IN LISTS paths)
        string(REGEX REPLACE "^\\$<[A-Z_]+:(.*)>$" "\\1" path "${path}")
        if(path MATCHES "^${tools_dir}(/|$)")
          message(FATAL_ERROR "${target} (src/) has ${path} among its ${property}: shipped code must not use anything under tools/")
        endif()
      endforeach()
    endforeach()
    pagewell_linked_targets("${target}" linked)
    foreach(library IN LISTS linked)
      get_target_property(imported "${library}" IMPORTED)
      if(imported)
        continue()
      endif()
      get_target_property(home "${library}" SOURCE_DIR)
      if(home MATCHES "^${tools_dir}(/|$)")
        message(FATAL_ERROR "${target} (src/) links ${library}, a library of ${home}: shipped code must not link anything under tools/")
      endif()
    endforeach()
  endforeach()
endfunction()
