# Warnings are errors in our own code; sanitizers for the native build: AddressSanitizer with
# UndefinedBehaviorSanitizer, or ThreadSanitizer (the two cannot share a program).
add_library(sotrix_sanitize INTERFACE)
if(SOTRIX_SANITIZE AND SOTRIX_TSAN)
    message(FATAL_ERROR "SOTRIX_SANITIZE and SOTRIX_TSAN exclude each other")
elseif(SOTRIX_SANITIZE)
    target_compile_options(sotrix_sanitize INTERFACE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(sotrix_sanitize INTERFACE -fsanitize=address,undefined)
elseif(SOTRIX_TSAN)
    target_compile_options(sotrix_sanitize INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
    target_link_options(sotrix_sanitize INTERFACE -fsanitize=thread)
endif()

function(sotrix_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-missing-field-initializers
        # GCC 12 reports false overlaps inside std::string at -O3 (its bug 105329).
        $<$<AND:$<CXX_COMPILER_ID:GNU>,$<VERSION_GREATER_EQUAL:$<CXX_COMPILER_VERSION>,12>,$<VERSION_LESS:$<CXX_COMPILER_VERSION>,13>>:-Wno-restrict>)
    target_link_libraries(${target} PRIVATE sotrix_sanitize)
    if(SOTRIX_SANITIZE OR SOTRIX_TSAN)
        target_link_libraries(${target} PUBLIC sotrix_sanitize)
    endif()
endfunction()
