# Every target of the project goes through kxp40s_target_options so that
# warnings are set in one place; sanitizers apply to the whole build.
if(KXP40S_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

function(kxp40s_target_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wconversion -Wshadow)
  if(KXP40S_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
