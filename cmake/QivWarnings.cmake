# One interface target carries the warning flags and the sanitizer switches, so every
# library and test links it instead of setting flags globally.
add_library(qiv_warnings INTERFACE)
target_compile_options(qiv_warnings INTERFACE -Wall -Wextra -Wpedantic)
if(QIV_SANITIZE)
  target_compile_options(qiv_warnings INTERFACE -fsanitize=address,undefined
                                                -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(qiv_warnings INTERFACE -fsanitize=address,undefined)
endif()
if(QIV_FUZZ)
  # Every library is instrumented for coverage; only the harnesses link the fuzzer's main.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
