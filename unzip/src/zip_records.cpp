#include "unzip/zip_records.h"

#include "base/properties.h"

namespace kq {

// --- TEndCentral ---------------------------------------------------------------------------------

const TClassInfo& TEndCentral::StaticClassInfo() {
    static const TClassInfo info("TEndCentral", &TPersistent::StaticClassInfo());
    return info;
}

void TEndCentral::CopyFrom(const TEndCentral& other) {
    const bool changed = commentChanged_;
    *this = other;
    // The flag says whether this record's own comment was edited; copying does not edit it.
    commentChanged_ = changed;
}

void TEndCentral::Assign(const TPersistent* source) {
    if (auto* other = dynamic_cast<const TEndCentral*>(source)) {
        CopyFrom(*other);
        return;
    }
    TPersistent::Assign(source);
}

void TEndCentral::AssignTo(TPersistent* dest) const {
    if (auto* other = dynamic_cast<TEndCentral*>(dest)) {
        other->CopyFrom(*this);
        return;
    }
    TPersistent::AssignTo(dest);
}

void TEndCentral::Reset() {
    TEndCentral fresh;
    fresh.signature_ = signature_;
    *this = fresh;
}

// --- TZipHeaderInfo ------------------------------------------------------------------------------

const TClassInfo& TZipHeaderInfo::StaticClassInfo() {
    static const TClassInfo info("TZipHeaderInfo", &TPersistent::StaticClassInfo());
    return info;
}

void TZipHeaderInfo::CopyFrom(const TZipHeaderInfo& other) {
    *this = other;
}

void TZipHeaderInfo::Assign(const TPersistent* source) {
    if (auto* other = dynamic_cast<const TZipHeaderInfo*>(source)) {
        CopyFrom(*other);
        return;
    }
    TPersistent::Assign(source);
}

void TZipHeaderInfo::AssignTo(TPersistent* dest) const {
    if (auto* other = dynamic_cast<TZipHeaderInfo*>(dest)) {
        other->CopyFrom(*this);
        return;
    }
    TPersistent::AssignTo(dest);
}

void TZipHeaderInfo::SetFileName(const std::string& value) {
    if (value == fileName_)
        return;
    fileName_ = value;
    fileNameLength_ = static_cast<uint32_t>(directory_.size() + fileName_.size());
}

void TZipHeaderInfo::SetDirectory(const std::string& value) {
    std::string directory = value;
    if (!directory.empty() && directory.back() != '\\')
        directory += '\\';
    if (directory == directory_)
        return;
    directory_ = std::move(directory);
    fileNameLength_ = static_cast<uint32_t>(directory_.size() + fileName_.size());
}

void TZipHeaderInfo::SetFileComment(std::optional<std::string> value) {
    fileCommentLength_ = value ? static_cast<uint32_t>(value->size()) : 0;
    fileComment_ = std::move(value);
}

} // namespace kq
