#pragma once
#include <cstdint>
#include <vector>

// The property list and terminology bytes of the module under test: in the
// Win32 build the built module file's own resources, natively the generated
// data (which the Win32 tests check to be the same bytes).
std::vector<uint8_t> propertyListUnderTest();
std::vector<uint8_t> terminologyUnderTest();
