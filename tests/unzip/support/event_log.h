// Test support for the extraction driver: every event of a TZipExtractor written down as one
// line, "Name arg arg...", in the order they came, so that a test compares the whole sequence
// with a table. Output paths are written with the destination folder shown as "D", so that the
// tables read the same natively and under Windows.
//
// The handlers can be given behaviour (skip an entry, answer a prompt, supply a password, ask
// for a retry) through the std::function members; an unset one leaves the defaults.
#pragma once

#include "unzip/zip_extractor.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace kq::test {

class EventLog {
public:
    // Attaches a handler to every event but the percentages (AttachPercentages adds them).
    EventLog(TZipExtractor& zip, std::string destination)
        : zip_(zip), destination_(std::move(destination)) {
        zip.OnStartUnZipInfo = [this](TObject*, int files, std::int64_t bytes, bool& stop) {
            Add("StartUnZipInfo " + std::to_string(files) + " " + std::to_string(bytes));
            stop = stopNow;
        };
        zip.OnStartUnZip = [this](TObject*, int index, AnsiString& name, bool& skip) {
            Add("StartUnZip " + std::to_string(index) + " " + Shown(name));
            if (onStartUnZip) {
                onStartUnZip(index, name, skip);
            }
        };
        zip.OnEndUnZip = [this](TObject*, int index, const AnsiString& name) {
            Add("EndUnZip " + std::to_string(index) + " " + Shown(name));
            if (onEndUnZip) {
                onEndUnZip(index, name);
            }
        };
        zip.OnPromptForOverwrite = [this](TObject*, bool& overwrite, int index, AnsiString& name) {
            Add("PromptForOverwrite " + std::to_string(index) + " " + Shown(name));
            if (onPrompt) {
                onPrompt(overwrite, name);
            }
        };
        zip.OnSkippingFile = [this](TObject*, TSkipReason reason, const AnsiString& name, int index,
                                    bool& retry) {
            static const char* const reasons[] = {"srBadPassword", "srNoOverwrite",
                                                  "srFileOpenError", "srCreateError"};
            Add(std::string("SkippingFile ") + reasons[static_cast<int>(reason)] + " " +
                Shown(name) + " " + std::to_string(index));
            if (onSkipping) {
                onSkipping(reason, retry);
            }
        };
        zip.OnBadPassword = [this](TObject*, int index, AnsiString& password) {
            Add("BadPassword " + std::to_string(index) + " " + password);
            if (onBadPassword) {
                onBadPassword(password);
            }
        };
        zip.OnBadCRC = [this](TObject*, std::uint32_t calc, std::uint32_t stored, int index) {
            Add("BadCRC " + Hex(calc) + " " + Hex(stored) + " " + std::to_string(index));
        };
        zip.OnUnZipComplete = [this](TObject*, int files) {
            Add("UnZipComplete " + std::to_string(files));
        };
    }

    void AttachPercentages() {
        zip_.OnFilePercentDone = [this](TObject*, int percent) {
            Add("FilePercentDone " + std::to_string(percent));
        };
        zip_.OnTotalPercentDone = [this](TObject*, int percent) {
            Add("TotalPercentDone " + std::to_string(percent));
        };
    }

    void DetachBadPassword() { zip_.OnBadPassword = nullptr; }

    std::vector<std::string> lines;
    bool stopNow = false;
    std::function<void(int, AnsiString&, bool&)> onStartUnZip;
    std::function<void(int, const AnsiString&)> onEndUnZip;
    std::function<void(bool&, AnsiString&)> onPrompt;
    std::function<void(TSkipReason, bool&)> onSkipping;
    std::function<void(AnsiString&)> onBadPassword;

private:
    void Add(std::string line) { lines.push_back(std::move(line)); }

    std::string Shown(const std::string& name) const {
        if (name.compare(0, destination_.size(), destination_) == 0) {
            return "D" + name.substr(destination_.size());
        }
        return name;
    }

    static std::string Hex(std::uint32_t value) {
        char text[9];
        std::snprintf(text, sizeof text, "%08X", value);
        return text;
    }

    TZipExtractor& zip_;
    std::string destination_;
};

} // namespace kq::test
