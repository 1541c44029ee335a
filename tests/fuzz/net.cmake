# Fuzz targets of the HTTP transport.
vandu_fuzzer(fuzz_url_parse SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzUrlParse.cpp
             CORPUS "${CMAKE_CURRENT_LIST_DIR}/corpus/fuzz_url_parse")
vandu_fuzzer(fuzz_http_response SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzHttpResponse.cpp
             CORPUS "${CMAKE_CURRENT_LIST_DIR}/corpus/fuzz_http_response")
