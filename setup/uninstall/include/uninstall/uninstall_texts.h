// The uninstaller's texts in the language of the code page, from its own translation table.
#pragma once

#include "base/component.h"
#include "base/strings.h"
#include "uninstall/uninstaller.h"

#include <cstdint>
#include <string_view>

namespace kq {

class TCustomTranslator;

class TUninstallTexts {
public:
    // Language 1 for code page 936, 2 for 950, 3 (English) for any other.
    explicit TUninstallTexts(std::uint32_t codePage);

    // The named text ("sUnDone"); "%s" in it replaced by argument when one is given.
    AnsiString Text(std::string_view name, const AnsiString& argument = AnsiString()) const;
    // The word for an outcome ("removed", "changed since the installation"...).
    AnsiString OutcomeText(TOutcome outcome) const;

private:
    TComponent owner_{nullptr};
    TCustomTranslator* translator_;
};

} // namespace kq
