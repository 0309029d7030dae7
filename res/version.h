// The version and the maker line of the utility and kavronctl: the one place they are
// written. The resource scripts (kavron.rc, version_info.rc), CMake's project() and
// packaging/make-packages all read them from here, so the About box, the version
// resources and the packages' names and properties cannot disagree.
//
// Plain preprocessor definitions only: the resource compiler and CMake's reader
// (cmake/KavronVersion.cmake) understand nothing else.
#pragma once

#define KAVRON_VERSION_MAJOR   5
#define KAVRON_VERSION_MINOR   1
#define KAVRON_VERSION_PATCH   0
#define KAVRON_VERSION_BUILD   2

#define KAVRON_PRODUCT_NAME    "Kavron Storage Utility"
#define KAVRON_COMPANY_NAME    "Kavron"
#define KAVRON_COPYRIGHT       "Copyright (C) Kavron. All rights reserved."

// The text forms, made from the numbers above: "5.1.0.2" and "5, 1, 0, 2".
#define KAVRON_STRINGIZE_(...) #__VA_ARGS__
#define KAVRON_STRINGIZE(...)  KAVRON_STRINGIZE_(__VA_ARGS__)
#define KAVRON_VERSION_TEXT                                                                                            \
    KAVRON_STRINGIZE(KAVRON_VERSION_MAJOR.KAVRON_VERSION_MINOR.KAVRON_VERSION_PATCH.KAVRON_VERSION_BUILD)
#define KAVRON_VERSION_COMMAS                                                                                          \
    KAVRON_STRINGIZE(KAVRON_VERSION_MAJOR, KAVRON_VERSION_MINOR, KAVRON_VERSION_PATCH, KAVRON_VERSION_BUILD)
