# quill_add_test(NAME SOURCES ... LIBS ... [QT_MAIN])
# One GoogleTest executable per subsystem, each case registered with CTest.
# QT_MAIN links tests/support/qt_test_main.cpp, which creates a QApplication
# on the offscreen platform before the tests run.
function(quill_add_test name)
  cmake_parse_arguments(T "QT_MAIN" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  if(T_QT_MAIN)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/qt_test_main.cpp)
    target_link_libraries(${name} PRIVATE Qt6::Widgets GTest::gtest)
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock Threads::Threads)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 300)
endfunction()
