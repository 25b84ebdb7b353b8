# Delay-load import libraries for the DLLs that Windows does not always take
# from the system folder (they are not KnownDLLs). A DLL in the import table
# is loaded before the program's first line, and the loader looks beside the
# program first, which for a relaunched copy is the temporary folder. Delay
# loading makes it load on first use, after the program has restricted the
# search to the system folder.
#
#   biblioteka_opozniona(TARGET DLL EXPORT...)
# makes the imported library TARGET from the stdcall exports listed with
# their argument bytes (Name@N), as the i686 compiler decorates them.
find_program(VELT_DLLTOOL NAMES ${MINGW_TRIPLE}-dlltool REQUIRED)

function(biblioteka_opozniona cel dll)
  set(katalog ${CMAKE_BINARY_DIR}/opoznione)
  set(def ${katalog}/${cel}.def)
  set(lib ${katalog}/lib${cel}.a)
  set(eksporty ${ARGN})
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    # No stdcall decoration in 64-bit code.
    list(TRANSFORM eksporty REPLACE "@[0-9]+$" "")
  endif()
  list(JOIN eksporty "\n" eksporty)
  file(MAKE_DIRECTORY ${katalog})
  file(CONFIGURE OUTPUT ${def} CONTENT "LIBRARY ${dll}\nEXPORTS\n${eksporty}\n")
  add_custom_command(
    OUTPUT ${lib}
    COMMAND ${VELT_DLLTOOL} -k --def ${cel}.def --dllname ${dll} --output-delaylib lib${cel}.a
    DEPENDS ${def}
    WORKING_DIRECTORY ${katalog}
    COMMENT "Delay-load import library for ${dll}"
    VERBATIM)
  add_custom_target(${cel}_lib DEPENDS ${lib})
  add_library(${cel} STATIC IMPORTED GLOBAL)
  set_target_properties(${cel} PROPERTIES IMPORTED_LOCATION ${lib})
  add_dependencies(${cel} ${cel}_lib)
  # The helper that loads the DLL on first use.
  target_link_libraries(${cel} INTERFACE delayimp)
endfunction()

biblioteka_opozniona(opozniona_comctl32 comctl32.dll
  InitCommonControlsEx@4 ImageList_Create@20 ImageList_Add@12 ImageList_Destroy@4)
biblioteka_opozniona(opozniona_msimg32 msimg32.dll AlphaBlend@44)
biblioteka_opozniona(opozniona_version version.dll
  GetFileVersionInfoSizeW@8 GetFileVersionInfoW@16 VerQueryValueW@16)
