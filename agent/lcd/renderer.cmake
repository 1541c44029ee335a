# The LCD renderer (Qt layer): paints the LCD image, hosts the scroll arrows.
if(NOT VANDU_CORE_ONLY)
  target_sources(vandu_qt PRIVATE ${CMAKE_CURRENT_LIST_DIR}/LcdRenderer.cpp ${CMAKE_CURRENT_LIST_DIR}/LcdRenderer.h)
endif()
