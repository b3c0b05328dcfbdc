# The driver of the Windows end-to-end tests, built for the build machine
# (included by the host-tools project): Xvfb, Xlib and GoogleTest there.
find_package(GTest REQUIRED)
pkg_check_modules(XFIXES REQUIRED IMPORTED_TARGET xfixes x11)
add_library(wine_e2e_support STATIC ${BRUMLAKOR_ROOT}/tests/support/xserver.cpp
                                    ${BRUMLAKOR_ROOT}/tests/support/image.cpp
                                    ${BRUMLAKOR_ROOT}/tests/support/process.cpp)
target_link_libraries(wine_e2e_support PUBLIC PkgConfig::XFIXES PNG::PNG)
add_executable(wine_e2e_tests ${CMAKE_CURRENT_LIST_DIR}/wine_e2e_test.cpp)
target_link_libraries(wine_e2e_tests PRIVATE wine_e2e_support GTest::gtest Threads::Threads)
set_target_properties(wine_e2e_tests PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/windows-e2e)
