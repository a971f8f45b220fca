# The native Windows program: the core with the Win32 services, the resources generated
# from src/res, one static tarvolm.exe.
target_link_libraries(tarvolm_core PUBLIC setupapi shlwapi advapi32 ole32 oleaut32 uuid
                                          comctl32 comdlg32 shell32 gdi32 user32)

# The resource script is written from the same tables the other backends use, by a small
# program built with the build machine's own compiler.
find_program(HOST_CXX NAMES g++ c++ clang++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
set(MAKE_RC_SOURCES
  ${PROJECT_SOURCE_DIR}/tools/make_rc/main.cpp
  ${PROJECT_SOURCE_DIR}/src/res/resource_script.cpp
  ${PROJECT_SOURCE_DIR}/src/res/dialog_template.cpp
  ${PROJECT_SOURCE_DIR}/src/res/string_table.cpp
  ${PROJECT_SOURCE_DIR}/src/platform/text.cpp)
set(MAKE_RC ${CMAKE_BINARY_DIR}/host/make_rc)
add_custom_command(OUTPUT ${MAKE_RC}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
  COMMAND ${HOST_CXX} -std=c++20 -O1 -I${PROJECT_SOURCE_DIR}/src -I${TARVOLM_GENERATED} ${MAKE_RC_SOURCES} -o ${MAKE_RC}
  DEPENDS ${MAKE_RC_SOURCES} ${PROJECT_SOURCE_DIR}/src/res/resource_script.h
          ${PROJECT_SOURCE_DIR}/src/res/dialog_template.h ${PROJECT_SOURCE_DIR}/src/res/string_table.h
          ${PROJECT_SOURCE_DIR}/src/res/resource.h ${PROJECT_SOURCE_DIR}/src/res/window_styles.h
          ${TARVOLM_GENERATED}/tarvolm_version.h
  COMMENT "Building the resource script writer")
set(TARVOLM_RC ${CMAKE_BINARY_DIR}/generated/tarvolm.rc)
set(TARVOLM_ICON ${PROJECT_SOURCE_DIR}/src/res/icon/tarvolm.ico)
set(TARVOLM_MANIFEST ${PROJECT_SOURCE_DIR}/src/res/windows/tarvolm.manifest)
# Ninja makes the folders of its outputs, the default generator does not.
add_custom_command(OUTPUT ${TARVOLM_RC}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
  COMMAND ${MAKE_RC} ${TARVOLM_RC} ${TARVOLM_ICON} ${TARVOLM_MANIFEST}
  DEPENDS ${MAKE_RC} ${TARVOLM_ICON} ${TARVOLM_MANIFEST}
  COMMENT "Writing tarvolm.rc from the dialog templates and the string table")

# The dialogs are built from these resources, so the tests that make windows link them too.
add_library(tarvolm_resources OBJECT ${TARVOLM_RC})

add_executable(tarvolm WIN32 ${PROJECT_SOURCE_DIR}/src/platform/win32/winmain_win32.cpp)
target_link_libraries(tarvolm PRIVATE tarvolm_core tarvolm_resources)
# Shipped without symbols: less than half the size.
target_link_options(tarvolm PRIVATE -municode $<$<CONFIG:Release,MinSizeRel>:-s>)
