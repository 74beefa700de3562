# Imports of system libraries that the program's first window does not need (the shell, OLE,
# the network provider), bound at the first call into them instead of at the program's start:
# each such library, and the libraries it loads in turn, costs the start time while nothing
# on the screen uses it yet.
#
# rirered_delayed_imports(<variable> <library>...) makes, for each library, one object holding
# a delay-load import of every function of its MinGW import library, and sets <variable> to
# the objects. Linked ahead of the import libraries they take their place; the delay-load
# helper of MinGW's runtime loads a library at the first call of one of its functions.
function(rirered_delayed_imports variable)
  set(dir ${CMAKE_BINARY_DIR}/delayed-imports)
  file(MAKE_DIRECTORY ${dir})
  set(objects)
  foreach(library ${ARGN})
    set(object ${dir}/${library}.o)
    list(APPEND objects ${object})
    if(EXISTS ${object})
      continue()
    endif()
    find_library(RIRERED_IMPORT_${library} NAMES ${library} REQUIRED)
    execute_process(COMMAND ${CMAKE_NM} -g ${RIRERED_IMPORT_${library}}
                    OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
    # Every function has a code stub; its name on i686 carries the stdcall decoration
    # ("_SHGetMalloc@4"), which the library's export lacks ("SHGetMalloc").
    string(REGEX MATCHALL "\n[0-9a-fA-F]+ T [^\n]+" stubs "\n${symbols}")
    set(def "LIBRARY ${library}.dll\nEXPORTS\n")
    foreach(stub ${stubs})
      string(REGEX REPLACE "^\n[0-9a-fA-F]+ T " "" name "${stub}")
      # The libraries' own entry points, never called by a program, and named alike in
      # several libraries.
      if(name MATCHES "^_?Dll")
        continue()
      endif()
      if(RIRERED_TARGET_ARCH STREQUAL "i686")
        string(REGEX REPLACE "^_" "" name "${name}")
        # dlltool drops a leading underscore of the name to look up, so such a function would
        # be looked up under another name at its first call and end the program.
        if(name MATCHES "^_")
          message(FATAL_ERROR "${library}: ${name} cannot be imported delayed")
        endif()
        string(REGEX REPLACE "@[0-9]+$" "" export "${name}")
        string(APPEND def "  ${name} == ${export}\n")
      else()
        string(APPEND def "  ${name}\n")
      endif()
    endforeach()
    file(WRITE ${dir}/${library}.def "${def}")
    execute_process(COMMAND ${CMAKE_DLLTOOL} -d ${dir}/${library}.def -D ${library}.dll
                            -y ${dir}/lib${library}-delayed.a
                    COMMAND_ERROR_IS_FATAL ANY)
    # One object rather than the archive: taken from an archive, the i686 linker drops the
    # stubs' code of an import referenced only through its slot, and the first call jumps to 0.
    execute_process(COMMAND ${CMAKE_LINKER} -r --whole-archive ${dir}/lib${library}-delayed.a
                            -o ${object}
                    COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  set(${variable} ${objects} PARENT_SCOPE)
endfunction()
