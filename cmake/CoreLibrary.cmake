# vistrel_folder_library(NAME DEPS... [EXCLUDE FILE...]): one static library per source folder,
# built from every .cpp in it but the excluded ones (which another library of the folder builds).
# A folder without sources yet is an interface library, so later work only adds files.
function(vistrel_folder_library name)
    cmake_parse_arguments(PARSE_ARGV 1 _arg "" "" "EXCLUDE")
    file(GLOB _sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
    foreach(_excluded IN LISTS _arg_EXCLUDE)
        list(REMOVE_ITEM _sources "${CMAKE_CURRENT_SOURCE_DIR}/${_excluded}")
    endforeach()
    if(_sources)
        add_library(${name} STATIC ${_sources})
        target_include_directories(${name} PUBLIC "${CMAKE_SOURCE_DIR}")
        target_link_libraries(${name} PUBLIC ${_arg_UNPARSED_ARGUMENTS})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE "${CMAKE_SOURCE_DIR}")
        target_link_libraries(${name} INTERFACE ${_arg_UNPARSED_ARGUMENTS})
    endif()
    add_library(vistrel::${name} ALIAS ${name})
endfunction()

# vistrel_part_library(NAME SOURCES... DEPS ...): a library of some of a folder's files, those
# that a program needs without the rest of the folder (and what the rest links).
function(vistrel_part_library name)
    cmake_parse_arguments(PARSE_ARGV 1 _arg "" "" "DEPS")
    add_library(${name} STATIC ${_arg_UNPARSED_ARGUMENTS})
    target_include_directories(${name} PUBLIC "${CMAKE_SOURCE_DIR}")
    target_link_libraries(${name} PUBLIC ${_arg_DEPS})
    add_library(vistrel::${name} ALIAS ${name})
endfunction()
