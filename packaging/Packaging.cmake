# A .deb for Debian 12: `cpack -G DEB` in the build directory. The Qt and
# libUEMF dependencies are read off the binaries by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME "quorvex-dravel")
set(CPACK_PACKAGE_VENDOR "Quorvex Dravel developers")
set(CPACK_PACKAGE_CONTACT "Quorvex Dravel developers <dravel@quorvex.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Convert, view and print QX-4082 KVT press-load signatures")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY "/usr")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_GENERATOR "DEB")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "science")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Reads the signature files of the QX-4082 KVT four-channel press-load monitor, converts them into CSV reports, shows up to five of them as load curves over crank angle, prints the chart and saves it as a bitmap. Includes quorvex-convert for scripts and unattended folder conversion.")
set(CPACK_STRIP_FILES ON)
# Only what a user runs is packaged: no static libraries, tests or benchmarks.
set(CPACK_COMPONENTS_ALL Unspecified)
include(CPack)
