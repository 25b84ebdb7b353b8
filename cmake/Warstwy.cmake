# The layers of the source tree, bottom up. Code of a layer sees its own
# headers and those of the layers below it, never one above: each layer's
# library gets an include folder of its own in the build tree that links to
# just those folders of src/, so an #include that climbs does not compile,
# and each library links only the layers below it, so a call that climbs
# does not link.
set(VELT_WARSTWY sys ui base payload install setup app)

# velt_widok_warstwy(<layer> <out-var>): makes the include folder of <layer>
# and returns its path.
function(velt_widok_warstwy warstwa wynik)
  set(widok ${CMAKE_BINARY_DIR}/warstwy/${warstwa})
  file(MAKE_DIRECTORY ${widok})
  # Made afresh each time, so that a change of the order leaves no old link.
  foreach(w IN LISTS VELT_WARSTWY)
    file(REMOVE ${widok}/${w})
  endforeach()
  foreach(w IN LISTS VELT_WARSTWY)
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${w} ${widok}/${w} SYMBOLIC)
    if(w STREQUAL warstwa)
      break()
    endif()
  endforeach()
  set(${wynik} ${widok} PARENT_SCOPE)
endfunction()

# velt_warstwa(<target> <layer> [WIN32 <sources>...] [PORTABLE <sources>...]
#              [LINKS <libraries>...])
# The static library of a layer: its portable sources in every tree, those
# that need Win32 only in the Windows trees.
function(velt_warstwa cel warstwa)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "PORTABLE;WIN32;LINKS")
  set(zrodla ${arg_PORTABLE})
  if(WIN32)
    list(APPEND zrodla ${arg_WIN32})
  endif()
  list(TRANSFORM zrodla PREPEND ${PROJECT_SOURCE_DIR}/src/${warstwa}/)
  add_library(${cel} STATIC ${zrodla})
  velt_widok_warstwy(${warstwa} widok)
  target_include_directories(${cel} PUBLIC ${widok})
  target_link_libraries(${cel} PUBLIC ${arg_LINKS})
  if(VELT_FUZZ)
    target_compile_options(${cel} PUBLIC -fsanitize=address,undefined -fno-sanitize-recover=all)
    target_compile_options(${cel} PRIVATE -fsanitize=fuzzer-no-link)
    target_link_options(${cel} PUBLIC -fsanitize=address,undefined)
  endif()
endfunction()
