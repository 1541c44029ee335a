vandu_core_test(lcd_text_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/MessageTextTest.cpp)
