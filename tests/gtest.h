// gtest takes its Windows branch (and wants direct.h) when it sees the _WIN32
// that winegcc defines: hide it around the include.
#pragma once
#pragma push_macro("_WIN32")
#undef _WIN32
#include <gtest/gtest.h>
#pragma pop_macro("_WIN32")
