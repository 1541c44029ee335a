# The artwork generator and the skin contact sheet (developer tools; their output is committed).
if(NOT VANDU_CORE_ONLY)
  add_executable(vandu_artgen
    ${CMAKE_CURRENT_LIST_DIR}/artgen/ArtGen.cpp
    ${CMAKE_CURRENT_LIST_DIR}/artgen/ArtCommon.cpp ${CMAKE_CURRENT_LIST_DIR}/artgen/ArtCommon.h
    ${CMAKE_CURRENT_LIST_DIR}/artgen/Faces.cpp ${CMAKE_CURRENT_LIST_DIR}/artgen/Faces.h
    ${CMAKE_CURRENT_LIST_DIR}/artgen/Pieces.cpp ${CMAKE_CURRENT_LIST_DIR}/artgen/Pieces.h
    ${CMAKE_CURRENT_LIST_DIR}/artgen/Buttons.cpp)
  target_include_directories(vandu_artgen PRIVATE "${CMAKE_SOURCE_DIR}")
  target_link_libraries(vandu_artgen PRIVATE Qt6::Gui)
  set_target_properties(vandu_artgen PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bin")
  vandu_warnings(vandu_artgen)
  add_custom_target(regenerate_artwork
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:vandu_artgen> "${CMAKE_SOURCE_DIR}"
    DEPENDS vandu_artgen
    COMMENT "Regenerating resources/bitmaps and resources/icons")

  if(EXISTS "${CMAKE_CURRENT_LIST_DIR}/skinsheet/SkinSheet.cpp")
    add_executable(vandu_skinsheet ${CMAKE_CURRENT_LIST_DIR}/skinsheet/SkinSheet.cpp)
    target_link_libraries(vandu_skinsheet PRIVATE vandu_qt)
    set_target_properties(vandu_skinsheet PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bin")
    vandu_warnings(vandu_skinsheet)
    add_custom_target(skin_contact_sheet
      COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:vandu_skinsheet>
              "${CMAKE_SOURCE_DIR}/docs/skins.png"
      DEPENDS vandu_skinsheet
      COMMENT "Rendering docs/skins.png")
  endif()
endif()
