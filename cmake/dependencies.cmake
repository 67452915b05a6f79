# Outside libraries: nlohmann-json (header only), libcurl, and the Win32 system libraries.
add_library(sotrix_deps INTERFACE)

# Expose only the nlohmann folder: /usr/include on a MinGW include path would shadow its headers.
set(SOTRIX_JSON_INCLUDE "${CMAKE_BINARY_DIR}/include-json")
if(NOT EXISTS "${SOTRIX_JSON_INCLUDE}/nlohmann")
    file(MAKE_DIRECTORY "${SOTRIX_JSON_INCLUDE}")
    file(CREATE_LINK /usr/include/nlohmann "${SOTRIX_JSON_INCLUDE}/nlohmann" SYMBOLIC)
endif()
target_include_directories(sotrix_deps SYSTEM INTERFACE "${SOTRIX_JSON_INCLUDE}")

if(WIN32)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(SOTRIX_TRIPLET x86_64-w64-mingw32)
    else()
        set(SOTRIX_TRIPLET i686-w64-mingw32)
    endif()
    set(SOTRIX_CURL_PREFIX "${SOTRIX_DEPS}/curl-${SOTRIX_TRIPLET}")
    if(NOT EXISTS "${SOTRIX_CURL_PREFIX}/lib/libcurl.a")
        message(FATAL_ERROR "libcurl for ${SOTRIX_TRIPLET} is missing in ${SOTRIX_CURL_PREFIX}: run tools/setup.sh")
    endif()
    target_include_directories(sotrix_deps SYSTEM INTERFACE "${SOTRIX_CURL_PREFIX}/include")
    target_compile_definitions(sotrix_deps INTERFACE CURL_STATICLIB)
    target_link_libraries(sotrix_deps INTERFACE
        "${SOTRIX_CURL_PREFIX}/lib/libcurl.a" "/usr/${SOTRIX_TRIPLET}/lib/libz.a"
        ws2_32 crypt32 bcrypt secur32 wldap32 advapi32 iphlpapi
        comctl32 comdlg32 shell32 ole32 oleaut32 uuid gdi32 user32 msimg32 winmm)
    target_link_options(sotrix_deps INTERFACE -static -static-libgcc -static-libstdc++)
else()
    find_package(CURL REQUIRED)
    find_package(Threads REQUIRED)
    target_link_libraries(sotrix_deps INTERFACE CURL::libcurl Threads::Threads)
endif()
