#pragma once

// Data stored in the program, generated at build time from the readable sources in
// setup/resources/.

#include <string_view>

namespace kq::resources {

// The wizard window's translation table in its stored form (the "TranslationData" block).
std::string_view TranslationData();

// The wizard window's stored description (see forms/form_loader.h), the translation table's
// block and the pictures inside.
std::string_view Form1Window();

} // namespace kq::resources
