# Warnings for every target of the project; -Werror in CI.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
                    -Wmissing-declarations -Wimplicit-fallthrough)
if(VISTREL_WERROR)
    add_compile_options(-Werror)
endif()
# GCC 12 reports std::string assignments at -O2 as overlapping copies (a known false positive in
# its library headers); the warning has no true findings to offer in this code.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(-Wno-restrict)
endif()
