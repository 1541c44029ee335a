# Scheduler, connection state and remote log report (included by this folder's CMakeLists.txt).
vandu_core_test(poll_scheduler_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/PollSchedulerTest.cpp
                                            ${CMAKE_CURRENT_LIST_DIR}/ConnectionStateTest.cpp
                                            ${CMAKE_CURRENT_LIST_DIR}/DialupRig.h)
vandu_core_test(remote_log_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/RemoteLogTest.cpp
                                        ${CMAKE_SOURCE_DIR}/tests/agent/net/ScriptedHttpServer.cpp
                                        ${CMAKE_SOURCE_DIR}/tests/agent/net/ScriptedHttpServer.h)
