#pragma once

#include <string_view>

namespace kq::resources {

// The uninstaller's translation table in its stored form, built from
// setup/uninstall/resources/uninstall_table.txt.
std::string_view UninstallTranslationData();

} // namespace kq::resources
