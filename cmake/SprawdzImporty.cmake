# Fails when the import table of PROGRAM names a DLL that Windows does not
# always take from the system folder (one of its KnownDLLs): such a DLL,
# planted beside the program, would run before the program's first line.
#   cmake -DOBJDUMP=... -DPROGRAM=... -P SprawdzImporty.cmake
cmake_minimum_required(VERSION 3.25)
set(dozwolone kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll
    msvcrt.dll comdlg32.dll shlwapi.dll)
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE naglowki RESULT_VARIABLE wynik)
if(NOT wynik EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${PROGRAM} failed: ${wynik}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" nazwy "${naglowki}")
if(NOT nazwy)
  message(FATAL_ERROR "no import table found in ${PROGRAM}")
endif()
set(zle)
foreach(wpis IN LISTS nazwy)
  string(REGEX REPLACE "DLL Name: *" "" dll "${wpis}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" dll)
  message(STATUS "imports ${dll}")
  if(NOT dll IN_LIST dozwolone)
    list(APPEND zle ${dll})
  endif()
endforeach()
if(zle)
  message(FATAL_ERROR "${PROGRAM} imports DLLs that are not always taken from the system folder: ${zle}")
endif()
