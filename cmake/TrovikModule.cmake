# trovik_module(NAME [DEPS lib...] [PUBLIC_LIBS lib...])
# One static library per core folder, src/NAME/*.cpp, named trovik_NAME.
# Sources are globbed so that adding a file needs no edit here; the layering
# is what DEPS says, nothing else is visible to the module.
function(trovik_module name)
  cmake_parse_arguments(M "" "" "DEPS;PUBLIC_LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
  if(srcs)
    add_library(trovik_${name} STATIC ${srcs})
    target_include_directories(trovik_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(trovik_${name} PUBLIC ${M_DEPS} ${M_PUBLIC_LIBS} PRIVATE trovik_warnings)
  else()
    # A folder with headers only so far.
    add_library(trovik_${name} INTERFACE)
    target_include_directories(trovik_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(trovik_${name} INTERFACE ${M_DEPS} ${M_PUBLIC_LIBS})
  endif()
endfunction()

# trovik_test(NAME SOURCES... LIBS lib...)
# One GoogleTest executable per folder of tests/, registered with CTest.
function(trovik_test name)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT srcs)
    return()  # a test folder still being written
  endif()
  add_executable(test_${name} ${srcs})
  target_link_libraries(test_${name} PRIVATE ${T_LIBS} trovik_test_support GTest::gtest GTest::gmock GTest::gtest_main trovik_warnings)
  target_compile_definitions(test_${name} PRIVATE
    TROVIK_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data"
    TROVIK_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TROVIK_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
  gtest_discover_tests(test_${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()
