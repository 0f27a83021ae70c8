# Warnings for every target of the project; -Werror in CI.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
                    -Wmissing-declarations -Wimplicit-fallthrough)
if(VISTREL_WERROR)
    add_compile_options(-Werror)
endif()
