#pragma once
// Included in every test file by the build (tests/CMakeLists.txt):
// VASKEL_TEST_DATA_DIR names the source tree's data folder (the shipped
// catalogue and lists). The path itself is compiled into TestSupport.cpp
// alone.

namespace vaskel::test {
const char* SourceDataDir();
} // namespace vaskel::test

#define VASKEL_TEST_DATA_DIR (::vaskel::test::SourceDataDir())
