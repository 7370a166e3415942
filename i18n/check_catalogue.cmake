# Extracts the texts marked V_ and VN_ from the program's sources into POT, then fails when PO
# lacks a German entry for one of them (msgcmp) or an entry's placeholders differ from its
# English text's (msgfmt --check on PO merged with the fresh template, so every entry carries the
# format flags the code's text has; msgmerge marks an entry whose placeholders differ as fuzzy,
# which --use-fuzzy keeps in the check).
set(patterns ${SOURCE_DIR}/i18n/*.h)
foreach(part link files controller monitor update service report ui cli bridge)
  list(APPEND patterns ${SOURCE_DIR}/${part}/*.cpp ${SOURCE_DIR}/${part}/*.h)
endforeach()
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${patterns})
list(SORT sources)

# The windows' own English captions stand in their forms as <string comment="velta">; they are
# handed to xgettext as marked texts of a generated file.
get_filename_component(folder ${POT} DIRECTORY)
file(GLOB forms ${SOURCE_DIR}/ui/*.ui)
set(form_texts "")
foreach(form ${forms})
  file(READ ${form} content)
  string(REGEX MATCHALL "<string comment=\"velta\">[^<]*</string>" marked "${content}")
  foreach(entry ${marked})
    string(REGEX REPLACE "^<string comment=\"velta\">(.*)</string>$" "\\1" text "${entry}")
    string(REPLACE "&apos;" "'" text "${text}")
    string(REPLACE "&quot;" "\\\"" text "${text}")
    string(REPLACE "&lt;" "<" text "${text}")
    string(REPLACE "&gt;" ">" text "${text}")
    string(REPLACE "&amp;" "&" text "${text}")
    string(APPEND form_texts "VN_(\"${text}\");\n")
  endforeach()
endforeach()
file(WRITE ${folder}/velta_form_texts.cpp "${form_texts}")
list(APPEND sources ${folder}/velta_form_texts.cpp)

function(run)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE result
                  OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${output}")
  endif()
endfunction()

run(${XGETTEXT} --language=C++ --from-code=UTF-8 --keyword= --keyword=V_ --keyword=VN_
    --package-name=velta-control --sort-by-file -o ${POT} ${sources})
run(${MSGCMP} ${PO} ${POT})
run(${MSGMERGE} --quiet --no-fuzzy-matching -o ${folder}/velta-merged.po ${PO} ${POT})
run(${MSGFMT} --check --use-fuzzy -o /dev/null ${folder}/velta-merged.po)
message(STATUS "Every marked text has a German entry with the same placeholders.")
