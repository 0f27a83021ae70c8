# The manual pages of the programs, section 1, made from their sections of README.md by
# scripts/man_page.py, so that the pages say what the README says. Installed into
# share/man/man1 by Install.cmake.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(VISTREL_MAN_PAGES)
set(_pages vistrel-cli)
if(TARGET vistrel)
    list(APPEND _pages vistrel)
endif()
foreach(_page IN LISTS _pages)
    set(_others ${_pages})
    list(REMOVE_ITEM _others ${_page})
    list(JOIN _others "," _see_also)
    set(_out "${CMAKE_BINARY_DIR}/man/${_page}.1.gz")
    add_custom_command(
        OUTPUT "${_out}"
        COMMAND "${CMAKE_COMMAND}" -E make_directory "${CMAKE_BINARY_DIR}/man"
        COMMAND "${Python3_EXECUTABLE}" "${CMAKE_SOURCE_DIR}/scripts/man_page.py"
                "${CMAKE_SOURCE_DIR}/README.md" ${_page} ${PROJECT_VERSION} "${_see_also}" "${_out}"
        DEPENDS "${CMAKE_SOURCE_DIR}/README.md" "${CMAKE_SOURCE_DIR}/scripts/man_page.py"
        COMMENT "Manual page ${_page}(1)"
        VERBATIM)
    list(APPEND VISTREL_MAN_PAGES "${_out}")
endforeach()
add_custom_target(man_pages ALL DEPENDS ${VISTREL_MAN_PAGES})
