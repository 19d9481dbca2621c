// lngexport: writes the translation table built into the wizard window as a translation file,
// the file a translator starts from. Placed as "translations.lng" in the wizard's current
// folder, it is read back into the same table.
//
//   lngexport [--form CLASS] [--language-names NAME,NAME,...] OUTPUT
//
// CLASS is the window's class, the prefix of every key (by default the name of the table's
// first Captions row, the window's own row). The language names, given as comma text, go to
// the file's language-names section; without them the file has none and the wizard keeps its
// own names. Exit status: 0 written, 1 failed, 2 usage.

#include "base/exceptions.h"
#include "base/string_list.h"
#include "lang/translation_file.h"
#include "lang/translator.h"
#include "resources/resources.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

int Usage() {
    std::fputs("usage: lngexport [--form CLASS] [--language-names NAME,NAME,...] OUTPUT\n", stderr);
    return 2;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "lngexport: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    std::string formClass;
    std::string languageNames;
    std::string output;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--form" || arg == "--language-names") && i + 1 < argc) {
            (arg == "--form" ? formClass : languageNames) = argv[++i];
        } else if (arg.rfind("--", 0) == 0 || !output.empty()) {
            return Usage();
        } else {
            output = arg;
        }
    }
    if (output.empty()) {
        return Usage();
    }

    try {
        kq::TTranslator translator(nullptr);
        translator.ReadTranslationData(kq::resources::TranslationData());
        kq::TTranslationFileOptions options;
        options.FormClassName = formClass;
        if (options.FormClassName.empty() && translator.Captions()->Count() > 0) {
            options.FormClassName = translator.ExtractField(translator.Captions()->Strings(0), 0);
        }
        if (options.FormClassName.empty()) {
            return Fail("the table has no row of the window's own; name its class with --form");
        }
        options.WriteLanguageNames = !languageNames.empty();
        if (options.WriteLanguageNames) {
            kq::TStringList names;
            names.SetCommaText(languageNames);
            translator.SetLangNames(&names);
        }
        const std::string text = kq::WriteTranslationFile(translator, options);

        std::ofstream file(output, std::ios::binary | std::ios::trunc);
        file.write(text.data(), static_cast<std::streamsize>(text.size()));
        file.close();
        if (!file) {
            return Fail("cannot write " + output);
        }
    } catch (const kq::Exception& e) {
        return Fail(e.Message());
    }
    return 0;
}
