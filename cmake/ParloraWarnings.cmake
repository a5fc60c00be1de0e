# Every target of ours links this, so warnings and Qt's strictness flags are set in one place.
add_library(parlora_warnings INTERFACE)
target_compile_options(parlora_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wold-style-cast -Wnon-virtual-dtor
    $<$<BOOL:${PARLORA_WERROR}>:-Werror>)
target_compile_definitions(parlora_warnings INTERFACE
    QT_NO_CAST_FROM_ASCII QT_NO_CONTEXTLESS_CONNECT)
