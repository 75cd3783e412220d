# MTRA_SANITIZE applies to every target of the build (libraries, tests, fuzzers).
if(MTRA_SANITIZE)
    add_compile_options(-fsanitize=${MTRA_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${MTRA_SANITIZE})
endif()
