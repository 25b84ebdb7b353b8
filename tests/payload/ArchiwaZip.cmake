# Test archives of the ZIP reader, made at build time by Info-ZIP `zip` from
# small inputs written here. archiwa_zip(KATALOG CEL) makes them in KATALOG
# (the inputs in KATALOG/wejscie, which the tests compare against) and adds the
# target CEL that builds them.
#
#   zwykle.zip        deflated and stored members, empty member, folders, a
#                     read-only member (the DOS attribute comes from its mode)
#   komentarz200.zip  archive comments of 200, 1,000 and 2,000 bytes: the end
#   komentarz1000.zip record sits in the first window, the second, and out of
#   komentarz2000.zip reach (an archive shorter than 65,536 bytes)
#   duze2000.zip      a comment of 2,000 bytes in an archive over 65,536 bytes:
#                     the third window finds it
#   bzip2.zip         a member compressed with method 12
find_program(VELT_ZIP zip REQUIRED)

function(archiwa_zip katalog cel)
  set(we ${katalog}/wejscie)
  set(wiersze "")
  foreach(i RANGE 1 200)
    string(APPEND wiersze "Wiersz ${i}: pchnąć w tę łódź jeża lub ośm skrzyń fig\n")
  endforeach()
  file(WRITE ${we}/tekst.txt "${wiersze}")
  file(WRITE ${we}/Katalog/Sub/plik.txt "${wiersze}")
  file(WRITE ${we}/pusty.txt "")
  string(RANDOM LENGTH 3000 RANDOM_SEED 7 losowe)
  file(WRITE ${we}/dane.bin "${losowe}")
  string(RANDOM LENGTH 70000 RANDOM_SEED 11 duze)
  file(WRITE ${we}/duze.bin "${duze}")
  # A second configure writes over the read-only input.
  if(EXISTS ${we}/chroniony.txt)
    file(CHMOD ${we}/chroniony.txt PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endif()
  file(WRITE ${we}/chroniony.txt "tylko do odczytu\n")
  file(CHMOD ${we}/chroniony.txt PERMISSIONS OWNER_READ GROUP_READ WORLD_READ)
  foreach(n 200 1000 2000)
    string(REPEAT "k" ${n} tresc)
    file(WRITE ${katalog}/komentarz${n}.txt "${tresc}")
  endforeach()

  # zip adds to an existing archive, so each is made afresh. The default
  # extra fields stay, to exercise their lengths.
  set(wyniki)
  macro(archiwum nazwa)
    add_custom_command(
      OUTPUT ${katalog}/${nazwa}
      COMMAND ${CMAKE_COMMAND} -E rm -f ${katalog}/${nazwa}
      ${ARGN}
      WORKING_DIRECTORY ${we}
      COMMENT "Test archive ${nazwa}"
      VERBATIM)
    list(APPEND wyniki ${katalog}/${nazwa})
  endmacro()
  archiwum(zwykle.zip
    COMMAND ${VELT_ZIP} -q -n .bin ${katalog}/zwykle.zip tekst.txt pusty.txt dane.bin chroniony.txt
            Katalog Katalog/Sub Katalog/Sub/plik.txt)
  foreach(n 200 1000 2000)
    archiwum(komentarz${n}.zip
      COMMAND ${VELT_ZIP} -q ${katalog}/komentarz${n}.zip tekst.txt
      COMMAND sh -c "${VELT_ZIP} -q -z \"$0\" < \"$1\"" ${katalog}/komentarz${n}.zip ${katalog}/komentarz${n}.txt)
  endforeach()
  archiwum(duze2000.zip
    COMMAND ${VELT_ZIP} -q -0 ${katalog}/duze2000.zip duze.bin tekst.txt
    COMMAND sh -c "${VELT_ZIP} -q -z \"$0\" < \"$1\"" ${katalog}/duze2000.zip ${katalog}/komentarz2000.txt)
  archiwum(bzip2.zip
    COMMAND ${VELT_ZIP} -q -Z bzip2 ${katalog}/bzip2.zip tekst.txt)
  add_custom_target(${cel} ALL DEPENDS ${wyniki})
endfunction()
