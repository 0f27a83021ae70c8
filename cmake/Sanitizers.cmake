# AddressSanitizer and UBSan for the whole build; undefined behaviour aborts the test.
if(VISTREL_SANITIZE)
    set(_san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_compile_options(${_san})
    add_link_options(${_san})
endif()
