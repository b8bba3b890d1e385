# Who Kelvarox is to the system: the project's one version (project() in CMakeLists.txt), the date
# of that release, the application id that names its desktop entry, metadata, icon and file type,
# and where its users find it. The code gets them through a generated header (KelvaroxVersion.h).
set(KELVAROX_RELEASE_DATE 2026-12-07)  # with every new project() version
set(KELVAROX_APP_ID org.kelvarox.Kelvarox)  # the files of dist/ carry it in their names
set(KELVAROX_HOMEPAGE https://kelvarox.org/)
set(KELVAROX_CONTACT "The Kelvarox developers <developers@kelvarox.org>")

configure_file(${CMAKE_CURRENT_LIST_DIR}/Version.h.in ${PROJECT_BINARY_DIR}/generated/KelvaroxVersion.h @ONLY)
add_library(kelvarox_version INTERFACE)
target_include_directories(kelvarox_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
