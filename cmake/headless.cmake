# quadray-render: the window program's renderers driven from the command line, drawing into an
# offscreen EGL context and writing PNG files.
find_package(OpenGL REQUIRED COMPONENTS EGL)
find_package(PNG REQUIRED)

# The PNG writer is plain core code, so the tests can reach it.
target_link_libraries(quadray_core PUBLIC PNG::PNG)

add_executable(quadray-render src/app/render_main.cpp)
target_link_libraries(quadray-render PRIVATE quadray_gl OpenGL::EGL)
set_target_properties(quadray-render PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
