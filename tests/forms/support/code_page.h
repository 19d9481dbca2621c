// The code page converter of the tests' support library, under the name this folder's tests
// include.
#pragma once

#include "test/code_page.h"
