# Prints the size of the wizard without the packed main program it carries.
#   cmake -DPROGRAM=instal.exe "-DPAYLOAD=A;B" -P rozmiar-programu.cmake
file(SIZE "${PROGRAM}" total)
set(payload 0)
foreach(block IN LISTS PAYLOAD)
  file(SIZE "${block}" size)
  math(EXPR payload "${payload} + ${size}")
endforeach()
math(EXPR own "${total} - ${payload}")
math(EXPR own_kb "(${own} + 512) / 1024")
get_filename_component(name "${PROGRAM}" NAME)
message(STATUS "${name}: ${own} bytes (${own_kb} KB) without its payload of ${payload} bytes; ${total} bytes in all")
