# Texts derived from messages and counters (Qt-free).
target_sources(vandu_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/MessageText.cpp ${CMAKE_CURRENT_LIST_DIR}/MessageText.h)
