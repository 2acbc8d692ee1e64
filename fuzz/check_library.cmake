# notora_check: the promises the fuzzers assert (and the memory files and note
# fixtures they run on), for the tests that replay what fuzzing found and for
# the OpenCASCADE suite. Included from each folder that needs it.
if(NOT TARGET notora_check)
  add_library(notora_check STATIC
    ${PROJECT_SOURCE_DIR}/fuzz/conversion_check.cpp
    ${PROJECT_SOURCE_DIR}/fuzz/iges_reading.cpp
    ${PROJECT_SOURCE_DIR}/fuzz/memory_file_system.cpp
    ${PROJECT_SOURCE_DIR}/fuzz/note_check.cpp
    ${PROJECT_SOURCE_DIR}/fuzz/note_fixtures.cpp)
  target_link_libraries(notora_check PUBLIC notora_test_support notora_run)
endif()
