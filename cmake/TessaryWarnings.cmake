# Warnings are errors in our own code; Qt and GoogleTest come in as system headers.
function(tessary_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
endfunction()
