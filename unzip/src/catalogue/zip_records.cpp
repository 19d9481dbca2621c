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
    if (value == fileName_) {
        return;
    }
    fileName_ = value;
    fileNameLength_ = static_cast<uint32_t>(Directory().size() + fileName_.size());
}

const std::string& TZipHeaderInfo::Directory() const {
    static const std::string none;
    return directory_ ? *directory_ : none;
}

void TZipHeaderInfo::SetDirectory(const std::string& value) {
    SetDirectory(value, nullptr);
}

void TZipHeaderInfo::SetDirectory(const std::string& value, const TZipHeaderInfo& neighbour) {
    SetDirectory(value, &neighbour.directory_);
}

void TZipHeaderInfo::SetDirectory(const std::string& value,
                                  const std::shared_ptr<const std::string>* candidate) {
    std::string directory = value;
    if (!directory.empty() && directory.back() != '\\') {
        directory += '\\';
    }
    if (directory == Directory()) {
        return;
    }
    if (directory.empty()) {
        directory_.reset();
    } else if (candidate && *candidate && **candidate == directory) {
        directory_ = *candidate;
    } else {
        directory_ = std::make_shared<const std::string>(std::move(directory));
    }
    fileNameLength_ = static_cast<uint32_t>(Directory().size() + fileName_.size());
}

std::optional<std::string> TZipHeaderInfo::FileComment() const {
    if (!fileComment_) {
        return std::nullopt;
    }
    return *fileComment_;
}

void TZipHeaderInfo::SetFileComment(std::optional<std::string> value) {
    fileCommentLength_ = value ? static_cast<uint32_t>(value->size()) : 0;
    fileComment_ = value ? std::make_shared<const std::string>(std::move(*value)) : nullptr;
}

} // namespace kq
