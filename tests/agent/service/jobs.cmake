# The request jobs: against a scripted loopback server, against the reference service, and the
# poll benchmark.
add_library(vandu_jobtestsupport STATIC ${CMAKE_CURRENT_LIST_DIR}/JobTestSupport.cpp
                                        ${CMAKE_CURRENT_LIST_DIR}/JobTestSupport.h)
target_link_libraries(vandu_jobtestsupport PUBLIC vandu_core vandu_testsupport GTest::gtest)
target_compile_definitions(vandu_jobtestsupport PRIVATE VANDU_JOBS_BINARY_DIR="${CMAKE_BINARY_DIR}")
vandu_warnings(vandu_jobtestsupport)

vandu_core_test(service_job_test TIMEOUT 300
                SOURCES ${CMAKE_CURRENT_LIST_DIR}/ServiceJobScriptedTest.cpp
                        ${CMAKE_CURRENT_LIST_DIR}/ServiceJobAccountTest.cpp
                LIBS vandu_jobtestsupport)
vandu_core_test(service_job_service_test TIMEOUT 300
                SOURCES ${CMAKE_CURRENT_LIST_DIR}/ServiceJobServiceTest.cpp
                LIBS vandu_jobtestsupport)
vandu_benchmark(service_job_benchmark SOURCES ${CMAKE_CURRENT_LIST_DIR}/ServiceJobBenchmark.cpp
                LIBS vandu_jobtestsupport)
