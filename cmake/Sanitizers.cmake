# AddressSanitizer and UBSan for the whole build; undefined behaviour aborts the test.
if(VISTREL_SANITIZE)
    set(_san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_compile_options(${_san})
    add_link_options(${_san})
endif()

# Fuzzing: every target of the build carries coverage instrumentation, so that the fuzzer is
# guided by the decoders' own branches, not only by the fuzz target's file.
if(VISTREL_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
