# Warning and sanitizer flags shared by every target of the project.
add_compile_options(-Wall -Wextra -Wshadow)
if(TERVO_WERROR)
  add_compile_options(-Werror)
endif()
if(TERVO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# tervo_library(NAME DIR DEPS...): one static library per source folder.
# Sources are picked up by glob so that adding a concept file needs no edit here.
function(tervo_library name dir)
  file(GLOB _cpps CONFIGURE_DEPENDS ${dir}/*.cpp)
  file(GLOB _hdrs CONFIGURE_DEPENDS ${dir}/*.h)
  if(_cpps)
    add_library(${name} STATIC ${_cpps} ${_hdrs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    # A folder that holds only headers so far.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()
if(TERVO_FUZZ)
  # Coverage feedback from the libraries too, not only from the fuzz targets.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
