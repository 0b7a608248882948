# A subsystem folder holds its model code at the top (QtCore/QtGui, no
# widgets) and its windows in ui/. Both become static libraries.
function(zedora_module name)
  cmake_parse_arguments(M "" "" "DEPS;UI_DEPS" ${ARGN})
  file(GLOB model_srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  file(GLOB ui_srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.h)
  add_library(zedora_${name} STATIC ${model_srcs})
  target_include_directories(zedora_${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(zedora_${name} PUBLIC ${M_DEPS} Qt6::Core Qt6::Gui)
  if(ui_srcs)
    add_library(zedora_${name}_ui STATIC ${ui_srcs})
    target_link_libraries(zedora_${name}_ui PUBLIC zedora_${name} ${M_UI_DEPS} Qt6::Widgets)
  endif()
endfunction()
