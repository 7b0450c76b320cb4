# Data files laid out beside the binary in ${GAME_DIR}.
add_custom_target(kolbrix-data ALL)

# Language files are copied as they are.
file(GLOB KOLBRIX_LANGUAGE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/assets/lang/*.str)
set(KOLBRIX_LANGUAGE_OUTPUTS)
foreach(src ${KOLBRIX_LANGUAGE_FILES})
  get_filename_component(name ${src} NAME)
  add_custom_command(OUTPUT ${GAME_DIR}/${name}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${src} ${GAME_DIR}/${name}
    DEPENDS ${src} VERBATIM)
  list(APPEND KOLBRIX_LANGUAGE_OUTPUTS ${GAME_DIR}/${name})
endforeach()
add_custom_target(kolbrix-language DEPENDS ${KOLBRIX_LANGUAGE_OUTPUTS})
add_dependencies(kolbrix-data kolbrix-language)

# The manual is copied as it is: the menu's web-page line names it relative to the program folder.
file(GLOB KOLBRIX_MANUAL_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/assets/manual/*.html)
set(KOLBRIX_MANUAL_OUTPUTS)
foreach(src ${KOLBRIX_MANUAL_FILES})
  get_filename_component(name ${src} NAME)
  add_custom_command(OUTPUT ${GAME_DIR}/${name}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${src} ${GAME_DIR}/${name}
    DEPENDS ${src} VERBATIM)
  list(APPEND KOLBRIX_MANUAL_OUTPUTS ${GAME_DIR}/${name})
endforeach()
add_custom_target(kolbrix-manual DEPENDS ${KOLBRIX_MANUAL_OUTPUTS})
add_dependencies(kolbrix-data kolbrix-manual)

# Tests read generated data from here; a sanitizer build points it at the main build's program folder so the
# generators run only once.
set(KOLBRIX_TEST_DATA_DIR ${GAME_DIR} CACHE PATH "Program folder whose data the tests read")

# Generators: each folder defines its executable and a target that writes its files into ${GAME_DIR} and is
# added to kolbrix-data.
if(KOLBRIX_DATA)
  file(GLOB KOLBRIX_GENERATOR_DIRS LIST_DIRECTORIES true ${CMAKE_SOURCE_DIR}/tools/gen_*)
  foreach(dir ${KOLBRIX_GENERATOR_DIRS})
    if(EXISTS ${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endif()
