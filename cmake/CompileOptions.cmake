# Compile options shared by every target of the tree.
add_library(kelmor_options INTERFACE)

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(kelmor_options INTERFACE
        -Wall -Wextra -Wno-unused-parameter
        $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local>)
    if(KELMOR_WERROR)
        target_compile_options(kelmor_options INTERFACE -Werror)
    endif()
endif()

if(KELMOR_SANITIZE)
    target_compile_options(kelmor_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=undefined
        -fno-omit-frame-pointer -g)
    target_link_options(kelmor_options INTERFACE -fsanitize=address,undefined)
endif()

if(KELMOR_SANITIZE_THREAD)
    target_compile_options(kelmor_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer -g)
    target_link_options(kelmor_options INTERFACE -fsanitize=thread)
endif()

if(KELMOR_FUZZ)
    # Coverage feedback for the whole library, not just the harness.
    target_compile_options(kelmor_options INTERFACE -fsanitize=fuzzer-no-link)
endif()
