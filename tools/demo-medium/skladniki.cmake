# Files the wizard installs into Windows itself, made here at build time into
# ${VELT_MEDIUM_FILES_DIR}: the font "Stedt.ttf" (make_font.py) and small
# libraries standing in for the common-control components, whose version
# information is all the wizard reads. Target velt_medium_files makes them all.
#
#   velt_component(NAME FILE file VERSION "text" FIXED a,b,c,d [TRANSLATION "lang, cp"])
#
# VERSION is the "FileVersion" text of the string table 040904B0, FIXED the
# fixed file version, TRANSLATION the one translation entry (by default the
# table's own, 0x0409, 1200).

set(VELT_MEDIUM_FILES_DIR ${CMAKE_BINARY_DIR}/medium-files CACHE INTERNAL "Font and component files of the medium")
add_custom_target(velt_medium_files ALL)

function(velt_component name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "FILE;VERSION;FIXED;TRANSLATION" "")
  if(NOT arg_FILE OR NOT arg_VERSION OR NOT arg_FIXED OR arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "velt_component(${name}): FILE, VERSION and FIXED are required")
  endif()
  set(skladnik_file ${arg_FILE})
  set(skladnik_text ${arg_VERSION})
  set(skladnik_fixed ${arg_FIXED})
  set(skladnik_translation "0x0409, 1200")
  if(arg_TRANSLATION)
    set(skladnik_translation ${arg_TRANSLATION})
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc)
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/skladnik.rc.in ${rc} @ONLY)

  add_library(${name} SHARED ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/skladnik.c ${rc})
  string(REGEX MATCH "\\.[^.]*$" suffix ${arg_FILE})
  string(REGEX REPLACE "\\.[^.]*$" "" base ${arg_FILE})
  # Nothing of the C runtime: the library is never loaded for its code.
  # The 32-bit entry name carries its decoration; the 64-bit one has none.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(entry _WejscieSkladnika@12)
  else()
    set(entry WejscieSkladnika)
  endif()
  target_link_options(${name} PRIVATE -nostdlib -s -Wl,--entry,${entry})
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${base} SUFFIX ${suffix}
    RUNTIME_OUTPUT_DIRECTORY ${VELT_MEDIUM_FILES_DIR}/${name}
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/${name})
  add_dependencies(velt_medium_files ${name})
endfunction()

velt_component(velt_comctl32_dll FILE comctl32.dll VERSION "5.81.4704.1100" FIXED 5,81,4704,1100)
velt_component(velt_comctl32_ocx FILE comctl32.ocx VERSION "6.0" FIXED 6,0,0,0)
# For the tests of the version rule only, never on the medium: a text with
# commas, as some libraries state their version, and one whose translation
# names a string table it does not have.
velt_component(velt_comctl32_commas FILE comctl32.ocx VERSION "6, 0, 2900, 0" FIXED 6,0,2900,0)
velt_component(velt_comctl32_other_table FILE comctl32.dll VERSION "6.0" FIXED 6,0,0,0 TRANSLATION "0x0415, 1250")

set(VELT_STEDT_TTF ${VELT_MEDIUM_FILES_DIR}/Stedt.ttf CACHE INTERNAL "The font of the medium")
velt_script_output(velt_stedt_ttf SCRIPT ${CMAKE_CURRENT_LIST_DIR}/make_font.py ARGS ${VELT_STEDT_TTF}
                   OUTPUTS ${VELT_STEDT_TTF} COMMENT "Drawing the font Stedt.ttf")
add_dependencies(velt_medium_files velt_stedt_ttf)
