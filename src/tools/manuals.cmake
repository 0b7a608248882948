# The manuals: Markdown sources in docs/manual made into PDFs in the share
# folder's PDF/ at build time by our own tool.
add_executable(zedora-manual-tool zedora_manual_tool.cpp)
target_link_libraries(zedora-manual-tool PRIVATE Qt6::Gui)

set(manual_sources ${CMAKE_SOURCE_DIR}/docs/manual)
file(GLOB manual_pictures CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/screenshots/*.png)
set(manual_outputs)
foreach(entry "handbuch.md|ZDR_HABU.PDF|Zedora – Handbuch"
              "faq.md|ZDR_FAQ.PDF|Zedora – Fragen und Antworten"
              "historie.md|ZDR_HISTORY_7.PDF|Zedora – Versionshistorie")
  string(REPLACE "|" ";" parts "${entry}")
  list(GET parts 0 source)
  list(GET parts 1 target)
  list(GET parts 2 title)
  set(out ${ZEDORA_SHARE_DIR}/PDF/${target})
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:zedora-manual-tool> ${manual_sources}/${source} ${out} "${title}"
    DEPENDS zedora-manual-tool ${manual_sources}/${source} ${manual_pictures}
    COMMENT "Handbuch ${target}")
  list(APPEND manual_outputs ${out})
endforeach()
add_custom_target(zedora_manuals DEPENDS ${manual_outputs})
# The share folder's target is made later (share/ comes after src/); the
# manuals belong to it like every other shipped file.
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL add_dependencies zedora_share zedora_manuals)
