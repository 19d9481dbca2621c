// The product's version, read by the version record (setup.rc) and by the Apps & features entry.
// Plain macros, so that the resource compiler can read this file too.
#pragma once

#define KQ_VERSION_MAJOR 1
#define KQ_VERSION_MINOR 0
#define KQ_VERSION_PATCH 0
#define KQ_VERSION_BUILD 0
#define KQ_VERSION_TEXT "1.0.0.0"
