# The project's one version, handed to the code as a generated header (KelvaroxVersion.h).
configure_file(${CMAKE_CURRENT_LIST_DIR}/Version.h.in ${PROJECT_BINARY_DIR}/generated/KelvaroxVersion.h @ONLY)
add_library(kelvarox_version INTERFACE)
target_include_directories(kelvarox_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
