vandu_qt_test(lcd_renderer_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/LcdRendererTest.cpp)
