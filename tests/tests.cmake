# One GoogleTest program per subsystem folder, so a broken suite does not stop the others
# from building; every shell script in tests/e2e is a process-level test run from the
# repository root.
find_package(GTest REQUIRED)
include(GoogleTest)

foreach(suite base math trace objects scene render app)
  file(GLOB SUITE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${suite}/*.cpp)
  if(SUITE_SOURCES)
    add_executable(test_${suite} ${SUITE_SOURCES})
    target_link_libraries(test_${suite} PRIVATE quadray_core GTest::gtest GTest::gtest_main)
    target_include_directories(test_${suite} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    gtest_discover_tests(test_${suite} WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} DISCOVERY_TIMEOUT 60)
  endif()
endforeach()

file(GLOB E2E_SCRIPTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*.sh)
foreach(script ${E2E_SCRIPTS})
  get_filename_component(name ${script} NAME_WE)
  add_test(NAME e2e_${name} COMMAND bash ${script} ${CMAKE_BINARY_DIR}
           WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
  set_tests_properties(e2e_${name} PROPERTIES TIMEOUT 600)
endforeach()
