# Every source folder is one library; its files are picked up by glob so that
# adding a file needs no edit here.
function(kalvero_library target)
    cmake_parse_arguments(ARG "QT" "" "DEPS" ${ARGN})
    file(GLOB srcs CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/*.h
        ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
    set(cpps ${srcs})
    list(FILTER cpps INCLUDE REGEX "\\.cpp$")
    if(cpps)
        add_library(${target} STATIC ${srcs})
        target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
        target_link_libraries(${target} PUBLIC ${ARG_DEPS})
        if(ARG_QT)
            target_link_libraries(${target} PUBLIC Qt6::Widgets)
            # The moc step of an existing build reruns only when a file it read
            # before changes, so a file added since would never reach moc: a new
            # list of files removes its stamp.
            string(SHA1 listed "${srcs}")
            set(listFile ${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen_files.sha1)
            set(previous "")
            if(EXISTS ${listFile})
                file(READ ${listFile} previous)
            endif()
            if(NOT previous STREQUAL listed)
                file(REMOVE ${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/timestamp)
                file(WRITE ${listFile} ${listed})
            endif()
        endif()
    else()
        add_library(${target} INTERFACE)
        target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
        target_link_libraries(${target} INTERFACE ${ARG_DEPS})
        if(ARG_QT)
            target_link_libraries(${target} INTERFACE Qt6::Widgets)
        endif()
    endif()
endfunction()

# One test program per *_test.cpp file in the folder; GUI tests run offscreen.
# EACH registers every test case as a test of its own, run in a process of
# its own; PLATFORM names another Qt platform; EXPORTS makes the program
# export its functions (a host of the plug-in).
function(kalvero_tests folder)
    cmake_parse_arguments(ARG "EACH;EXPORTS" "PLATFORM" "DEPS" ${ARGN})
    if(NOT ARG_PLATFORM)
        set(ARG_PLATFORM offscreen)
    endif()
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*_test.cpp)
    file(GLOB helpers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.h
        ${CMAKE_CURRENT_SOURCE_DIR}/support/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/support/*.h)
    string(REPLACE "/" "_" prefix ${folder})
    foreach(test ${tests})
        get_filename_component(name ${test} NAME_WE)
        set(exe ${prefix}_${name})
        add_executable(${exe} ${test} ${helpers})
        target_include_directories(${exe} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
        target_link_libraries(${exe} PRIVATE ${ARG_DEPS} GTest::gmock GTest::gtest Qt6::Test Qt6::Widgets)
        target_compile_definitions(${exe} PRIVATE
            KALVERO_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
            KALVERO_BINARY_DIR="${PROJECT_BINARY_DIR}")
        if(ARG_EXPORTS)
            set_target_properties(${exe} PROPERTIES ENABLE_EXPORTS ON)
        endif()
        set(environment "QT_QPA_PLATFORM=${ARG_PLATFORM};LC_ALL=C.UTF-8")
        if(ARG_EACH)
            gtest_discover_tests(${exe} DISCOVERY_MODE PRE_TEST
                PROPERTIES ENVIRONMENT "${environment}" TIMEOUT 600)
        else()
            add_test(NAME ${exe} COMMAND ${exe})
            set_tests_properties(${exe} PROPERTIES ENVIRONMENT "${environment}" TIMEOUT 600)
        endif()
    endforeach()
endfunction()
