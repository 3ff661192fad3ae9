# The course folder: the guide as a web page, the students' handout, the
# browser edition, the figures and the experiments' scripts in course/, the
# answers beside it (answers.html) and course.zip, made by make_course.py
# with Debian's cmark-gfm. Included by web/CMakeLists.txt after the page.
find_program(ARRIVALS_CMARK cmark-gfm REQUIRED)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(course_make ${CMAKE_CURRENT_SOURCE_DIR}/course/make_course.py)
# compare.html goes in when this build makes it.
set(course_compare ${CMAKE_BINARY_DIR}/compare.html)
add_custom_target(course ALL
  COMMAND Python3::Interpreter ${course_make}
    --docs ${PROJECT_SOURCE_DIR}/docs --page ${page} --compare ${course_compare}
    --out ${CMAKE_BINARY_DIR} --cmark ${ARRIVALS_CMARK}
  DEPENDS ${page}
  COMMENT "Making course/, answers.html and course.zip"
  VERBATIM)
# Whether a compare.html target exists is known once the whole folder is read.
function(arrivals_course_after_compare)
  if(TARGET compare_html)
    add_dependencies(course compare_html)
  endif()
endfunction()
cmake_language(DEFER CALL arrivals_course_after_compare)

if(ARRIVALS_TESTS)
  add_test(NAME web.course
    COMMAND /usr/bin/python3 ${PROJECT_SOURCE_DIR}/tests/web/course_test.py
      --docs ${PROJECT_SOURCE_DIR}/docs --page ${page} --compare ${course_compare}
      --built ${CMAKE_BINARY_DIR}
      --tool ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:arrivals-script>)
  set_tests_properties(web.course PROPERTIES TIMEOUT 3600 RUN_SERIAL ON)
endif()
