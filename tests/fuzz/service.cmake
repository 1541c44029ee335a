vandu_fuzzer(fuzz_service_response SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzServiceResponse.cpp
             CORPUS "${CMAKE_CURRENT_LIST_DIR}/corpus/fuzz_service_response")
