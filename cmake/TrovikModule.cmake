# Every component of the build is named: sources are listed, never globbed,
# and a source file in a folder that its CMakeLists.txt does not name stops
# the configure with the file's name (the check runs again at every build).

# trovik_require_listed(FOLDER NAMES...)
# Fails when FOLDER holds a .cpp file that is not among NAMES (names relative
# to FOLDER).
function(trovik_require_listed folder)
  file(GLOB present CONFIGURE_DEPENDS RELATIVE ${folder} ${folder}/*.cpp)
  set(missing "")
  foreach(file ${present})
    if(NOT file IN_LIST ARGN)
      list(APPEND missing ${file})
    endif()
  endforeach()
  if(missing)
    file(RELATIVE_PATH where ${PROJECT_SOURCE_DIR} ${folder})
    list(JOIN missing ", " missing)
    message(FATAL_ERROR "${where}/ holds ${missing}, not named in the build: list each file "
      "in the CMakeLists.txt that builds ${where}/ (src/CMakeLists.txt for a core module), or delete it.")
  endif()
endfunction()

# trovik_require_subdirectories(FOLDER NAMES...)
# Fails when FOLDER has a subfolder with a CMakeLists.txt that is not among NAMES.
function(trovik_require_subdirectories folder)
  file(GLOB present CONFIGURE_DEPENDS RELATIVE ${folder} ${folder}/*/CMakeLists.txt)
  foreach(file ${present})
    get_filename_component(dir ${file} DIRECTORY)
    if(NOT dir IN_LIST ARGN)
      file(RELATIVE_PATH where ${PROJECT_SOURCE_DIR} ${folder})
      message(FATAL_ERROR "${where}/${dir}/ has a CMakeLists.txt but ${where}/CMakeLists.txt does not add it.")
    endif()
  endforeach()
endfunction()

# trovik_require_built(FOLDER)
# Fails when a .cpp file of FOLDER is not a source of a target that FOLDER's
# CMakeLists.txt defines; for folders that name their sources per target.
function(trovik_require_built folder)
  get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
  set(named "")
  foreach(target ${targets})
    get_target_property(sources ${target} SOURCES)
    foreach(source ${sources})
      get_filename_component(source ${source} ABSOLUTE BASE_DIR ${folder})
      file(RELATIVE_PATH source ${folder} ${source})
      list(APPEND named ${source})
    endforeach()
  endforeach()
  trovik_require_listed(${folder} ${named})
endfunction()

# trovik_module_headers(TARGET NAME SCOPE)
# The headers of src/NAME are included as "NAME/x.h". The only include folder
# that holds them is <build>/modules/NAME, whose one entry is a link NAME ->
# src/NAME, so a target sees the headers of the modules it links and no others.
function(trovik_module_headers target name scope)
  set(dir ${PROJECT_BINARY_DIR}/modules/${name})
  file(MAKE_DIRECTORY ${dir})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${name} ${dir}/${name} SYMBOLIC)
  target_include_directories(${target} ${scope} ${dir})
endfunction()

# trovik_module(NAME SOURCES file.cpp... [DEPS lib...] [PUBLIC_LIBS lib...])
# One static library per core folder, src/NAME, named trovik_NAME. The layering
# is what DEPS says: a module includes the headers of its DEPS (and theirs),
# nothing else is on its include path.
function(trovik_module name)
  cmake_parse_arguments(M "" "" "SOURCES;DEPS;PUBLIC_LIBS" ${ARGN})
  trovik_require_listed(${CMAKE_CURRENT_SOURCE_DIR}/${name} ${M_SOURCES})
  list(TRANSFORM M_SOURCES PREPEND ${name}/)
  add_library(trovik_${name} STATIC ${M_SOURCES})
  trovik_module_headers(trovik_${name} ${name} PUBLIC)
  target_link_libraries(trovik_${name} PUBLIC ${M_DEPS} ${M_PUBLIC_LIBS} PRIVATE trovik_warnings)
  set_property(GLOBAL APPEND PROPERTY TROVIK_MODULES ${name})
  set_property(GLOBAL PROPERTY TROVIK_DEPS_${name} ${M_DEPS})
endfunction()

# trovik_check_layers()
# Reads every `#include "x/..."` of the modules and names, at configure time,
# each one outside the module's DEPS; the include paths refuse them at compile
# time anyway, this only says why in the build's own words.
function(trovik_check_layers)
  get_property(modules GLOBAL PROPERTY TROVIK_MODULES)
  set(problems "")
  foreach(name ${modules})
    # The modules this one sees: itself and its DEPS, transitively.
    set(seen ${name})
    set(queue ${name})
    while(queue)
      list(POP_FRONT queue current)
      get_property(deps GLOBAL PROPERTY TROVIK_DEPS_${current})
      foreach(dep ${deps})
        string(REGEX REPLACE "^trovik_" "" dep ${dep})
        if(NOT dep IN_LIST seen)
          list(APPEND seen ${dep})
          list(APPEND queue ${dep})
        endif()
      endforeach()
    endwhile()
    file(GLOB files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${name}/*.cpp ${PROJECT_SOURCE_DIR}/src/${name}/*.h)
    foreach(file ${files})
      file(STRINGS ${file} includes REGEX "^#include \"[a-z_]+/")
      foreach(line ${includes})
        string(REGEX REPLACE "^#include \"([a-z_]+)/.*" "\\1" used "${line}")
        if(used IN_LIST modules AND NOT used IN_LIST seen)
          file(RELATIVE_PATH where ${PROJECT_SOURCE_DIR} ${file})
          list(APPEND problems "  ${where}: ${line} (${name} does not depend on ${used})")
        endif()
      endforeach()
    endforeach()
  endforeach()
  if(problems)
    list(JOIN problems "\n" problems)
    message(FATAL_ERROR "Includes across the layers of src/CMakeLists.txt:\n${problems}\n"
      "Move the shared part down to a module both see, or add the dependency to DEPS.")
  endif()
endfunction()

# trovik_test(NAME SOURCES file.cpp... [ALSO_BUILT file.cpp...] LIBS lib... [RUNS target...])
# One GoogleTest executable per folder of tests/, registered with CTest, each
# test labelled NAME (ctest -L NAME). ALSO_BUILT names the folder's sources
# that other targets of its CMakeLists.txt build. RUNS names the programs and
# libraries the tests start or load: they are built before the test, so a
# test never runs a stale program.
function(trovik_test name)
  cmake_parse_arguments(T "" "" "SOURCES;ALSO_BUILT;LIBS;RUNS" ${ARGN})
  trovik_require_listed(${CMAKE_CURRENT_SOURCE_DIR} ${T_SOURCES} ${T_ALSO_BUILT})
  add_executable(test_${name} ${T_SOURCES})
  target_link_libraries(test_${name} PRIVATE ${T_LIBS} trovik_test_support GTest::gtest GTest::gmock GTest::gtest_main trovik_warnings)
  target_compile_definitions(test_${name} PRIVATE
    TROVIK_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data"
    TROVIK_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TROVIK_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
  if(T_RUNS)
    add_dependencies(test_${name} ${T_RUNS})
  endif()
  gtest_discover_tests(test_${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300 LABELS ${name})
endfunction()
