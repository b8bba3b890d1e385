# Where `cmake --install` puts Kelvarox, in the two parts that become the two Debian packages:
# "kelvarox", the window program with everything that needs the GUI libraries or serves the
# desktop, and "kelvarox-cli", the command line, which needs QtCore only.

# Installed folders are rwxr-xr-x whatever the umask of the machine that installs or packages.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS kelvarox RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT kelvarox)
install(TARGETS kelvarox-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT kelvarox-cli)
# The graph command's renderer is private to Kelvarox; it needs the GUI libraries, so it comes
# with the window program and kelvarox-cli says so when it is not there.
install(TARGETS kelvarox-graph-render
        RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/kelvarox COMPONENT kelvarox)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/samples/telemetry ${PROJECT_SOURCE_DIR}/samples/week
        DESTINATION ${CMAKE_INSTALL_DATADIR}/kelvarox/samples COMPONENT kelvarox)

include(${CMAKE_CURRENT_LIST_DIR}/Packaging.cmake)
