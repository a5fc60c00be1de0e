# parlora_add_test(NAME <name> SOURCES <files...> LIBRARIES <targets...> [LABELS <labels...>]
#                  [ENVIRONMENT <VAR=value...>])
# One Qt Test executable registered with CTest. Widget tests run offscreen unless they set
# QT_QPA_PLATFORM themselves; the label "sound" marks tests that need the null-sink server.
function(parlora_add_test)
    cmake_parse_arguments(ARG "" "NAME" "SOURCES;LIBRARIES;LABELS;ENVIRONMENT" ${ARGN})
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    target_link_libraries(${ARG_NAME} PRIVATE parlora_warnings Qt6::Test ${ARG_LIBRARIES})
    add_test(NAME ${ARG_NAME} COMMAND ${ARG_NAME})
    set(environment "QT_QPA_PLATFORM=offscreen" ${ARG_ENVIRONMENT})
    set_tests_properties(${ARG_NAME} PROPERTIES
        ENVIRONMENT "${environment}"
        LABELS "${ARG_LABELS}"
        TIMEOUT 300)
endfunction()
