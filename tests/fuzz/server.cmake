# The service's reading of request targets and its writing of answers.
if(TARGET vandu_server_lib)
  vandu_fuzzer(fuzz_server_query SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzServerQuery.cpp
               CORPUS "${CMAKE_CURRENT_LIST_DIR}/corpus/fuzz_server_query" LIBS vandu_server_lib)
endif()
