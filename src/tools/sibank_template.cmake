# The empty Sibank-format table MUSTER/sib-leer.mst, made at build time by
# our own engine.
add_executable(zedora-sibank-template-tool zedora_sibank_template_tool.cpp)
target_link_libraries(zedora-sibank-template-tool PRIVATE zedora_exchange)
set(sibank_template_outputs ${ZEDORA_SHARE_DIR}/MUSTER/sib-leer.mst)
add_custom_command(OUTPUT ${sibank_template_outputs}
  COMMAND zedora-sibank-template-tool ${ZEDORA_SHARE_DIR}/MUSTER
  DEPENDS zedora-sibank-template-tool
  COMMENT "Sibank-Vorlage in MUSTER")
add_custom_target(zedora_sibank_template DEPENDS ${sibank_template_outputs})
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL add_dependencies zedora_share zedora_sibank_template)
