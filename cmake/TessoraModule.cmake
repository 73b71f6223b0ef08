# tessora_module(NAME DEPENDS dep...): a static library from the .cpp files of the current folder.
# A folder that has no sources yet becomes an interface library, so the tree always configures.
#
# Each module sees only its own headers and those of the modules it depends on: its include folder
# (build/include/<folder>) holds one link, <folder> -> the source folder, and the folders of its
# dependencies come with them. So "render/MapCanvas.h" is not found from layout/ or data/, and the
# dependencies stay as CMake declares them.
function(tessora_module name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  tessora_include_root(root ${CMAKE_CURRENT_SOURCE_DIR})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${root})
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${root})
    target_link_libraries(${name} INTERFACE ${ARG_DEPENDS})
  endif()
endfunction()

# tessora_include_root(VAR FOLDER): the include folder that shows FOLDER under its own name, in VAR.
function(tessora_include_root var folder)
  get_filename_component(module ${folder} NAME)
  set(root ${PROJECT_BINARY_DIR}/include/${module})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${folder} ${root}/${module} SYMBOLIC)
  set(${var} ${root} PARENT_SCOPE)
endfunction()

# tessora_test(NAME [OWN_MAIN] LIBS lib...): one GoogleTest program from the .cpp files of the current
# folder, registered with CTest; with OWN_MAIN one of the files has the main function. Tests see the headers of the modules they link, and the shared fixtures of
# tests/; they run headless and find their data through TESSORA_SOURCE_DIR.
function(tessora_test name)
  cmake_parse_arguments(ARG "OWN_MAIN" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest)
  if(NOT ARG_OWN_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    TESSORA_SOURCE_DIR="${PROJECT_SOURCE_DIR}" TESSORA_BINARY_DIR="${PROJECT_BINARY_DIR}")
  include(GoogleTest)
  gtest_discover_tests(${name}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8"
    DISCOVERY_TIMEOUT 60)
endfunction()
