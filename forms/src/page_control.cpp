#include "forms/page_control.h"

#include "base/format.h"
#include "base/properties.h"
#include "forms/focus.h"

#include <algorithm>

namespace kq {

namespace {

// The frame between the page control's edge and its pages.
constexpr int frameLeft = 4;
constexpr int frameTop = 4;
constexpr int frameRight = 4;
constexpr int frameBottom = 6;

// The focused control inside page, if any.
const TWinControl* FocusedWithin(const TWinControl& page) {
    if (page.Focused()) {
        return &page;
    }
    for (const TWinControl* child : page.TabList()) {
        if (const TWinControl* found = FocusedWithin(*child)) {
            return found;
        }
    }
    return nullptr;
}

} // namespace

const TClassInfo& TPageControl::StaticClassInfo() {
    static const TClassInfo info(
        "TPageControl", &TWinControl::StaticClassInfo(),
        TClassTable<TPageControl>()
            .Object("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage)
            .Integer("TabHeight", &TPageControl::TabHeight, &TPageControl::SetTabHeight)
            .Integer("TabWidth", &TPageControl::TabWidth, &TPageControl::SetTabWidth));
    return info;
}

// Without tabs there is nothing of its own to focus: Tab goes straight to what its page holds.
TPageControl::TPageControl(TComponent* owner) : TWinControl(owner) {}

TPageControl::~TPageControl() {
    for (TTabSheet* page : pages_) {
        page->pageControl_ = nullptr;
    }
}

TTabSheet* TPageControl::Pages(int index) const {
    if (index < 0 || index >= PageCount()) {
        throw EListError(Format("List index out of bounds (%d)", {index}));
    }
    return pages_[static_cast<std::size_t>(index)];
}

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page != nullptr && page->pageControl_ != this) {
        throw EInvalidOperation(Format("%s is not a page of %s", {page->Name(), Name()}));
    }
    if (page == activePage_) {
        return;
    }
    TTabSheet* old = activePage_;
    const bool focusLeaves = old != nullptr && FocusedWithin(*old) != nullptr;
    activePage_ = page;
    if (page != nullptr) {
        page->SetVisible(true);
    }
    if (old != nullptr) {
        old->SetVisible(false);
    }
    Changed(TControlChange::State);
    if (focusLeaves && page != nullptr) {
        if (TWinControl* arrival = FocusOnArrival(*page)) {
            arrival->SetFocus();
        }
    }
}

int TPageControl::ActivePageIndex() const {
    const auto found = std::find(pages_.begin(), pages_.end(), activePage_);
    return found == pages_.end() ? -1 : static_cast<int>(found - pages_.begin());
}

void TPageControl::SetActivePageIndex(int index) {
    SetActivePage(index >= 0 && index < PageCount() ? pages_[static_cast<std::size_t>(index)]
                                                    : nullptr);
}

TRect TPageControl::ClientRect() const {
    return TRect{frameLeft, frameTop, std::max(Width() - frameLeft - frameRight, 0),
                 std::max(Height() - frameTop - frameBottom, 0)};
}

void TPageControl::AlignControls() {
    const TRect area = ClientRect();
    for (TTabSheet* page : pages_) {
        page->SetBounds(area.Left, area.Top, area.Width, area.Height);
    }
    TWinControl::AlignControls();
}

void TPageControl::InsertPage(TTabSheet* page) {
    pages_.push_back(page);
    page->SetVisible(page == activePage_);
    const TRect area = ClientRect();
    page->SetBounds(area.Left, area.Top, area.Width, area.Height);
}

void TPageControl::RemovePage(TTabSheet* page) {
    pages_.erase(std::remove(pages_.begin(), pages_.end(), page), pages_.end());
    if (activePage_ == page) {
        activePage_ = nullptr;
    }
}

// --- TTabSheet ------------------------------------------------------------------------------

const TClassInfo& TTabSheet::StaticClassInfo() {
    static const TClassInfo info(
        "TTabSheet", &TWinControl::StaticClassInfo(),
        TClassTable<TTabSheet>()
            .String("Caption", &TTabSheet::Caption, &TTabSheet::SetCaption)
            .Boolean("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible));
    return info;
}

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
    SetVisible(false);
}

TTabSheet::~TTabSheet() {
    if (pageControl_ != nullptr) {
        pageControl_->RemovePage(this);
    }
}

void TTabSheet::SetParent(TWinControl* parent) {
    if (pageControl_ != nullptr && parent != pageControl_) {
        pageControl_->RemovePage(this);
        pageControl_ = nullptr;
    }
    TWinControl::SetParent(parent);
    auto* control = dynamic_cast<TPageControl*>(parent);
    if (control != nullptr && control != pageControl_) {
        pageControl_ = control;
        control->InsertPage(this);
    }
}

void TTabSheet::CreatePeers() {
    if (Visible()) {
        TWinControl::CreatePeers();
    }
}

void TTabSheet::VisibleChanged() {
    if (Visible() && Parent() != nullptr && Parent()->Peer() != nullptr) {
        TWinControl::CreatePeers();
    }
    TWinControl::VisibleChanged();
}

int TTabSheet::PageIndex() const {
    if (pageControl_ == nullptr) {
        return -1;
    }
    const auto& pages = pageControl_->pages_;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

} // namespace kq
