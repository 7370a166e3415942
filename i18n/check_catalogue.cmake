# Extracts the texts marked V_ and VN_ from the program's sources into POT, then fails when PO
# lacks a German entry for one of them (msgcmp) or an entry's placeholders differ from its
# English text's (msgfmt --check on PO merged with the fresh template, so every entry carries the
# format flags the code's text has; msgmerge marks an entry whose placeholders differ as fuzzy,
# which --use-fuzzy keeps in the check).
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
  ${SOURCE_DIR}/link/*.cpp ${SOURCE_DIR}/link/*.h ${SOURCE_DIR}/controller/*.cpp
  ${SOURCE_DIR}/controller/*.h ${SOURCE_DIR}/monitor/*.cpp ${SOURCE_DIR}/monitor/*.h
  ${SOURCE_DIR}/update/*.cpp ${SOURCE_DIR}/update/*.h ${SOURCE_DIR}/service/*.cpp
  ${SOURCE_DIR}/service/*.h ${SOURCE_DIR}/report/*.cpp ${SOURCE_DIR}/report/*.h
  ${SOURCE_DIR}/ui/*.cpp ${SOURCE_DIR}/ui/*.h ${SOURCE_DIR}/cli/*.cpp ${SOURCE_DIR}/cli/*.h
  ${SOURCE_DIR}/bridge/*.cpp ${SOURCE_DIR}/bridge/*.h ${SOURCE_DIR}/i18n/*.h)
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
