// TPageControl and TTabSheet: pages laid on top of each other, one shown at a time.
//
// Every page lies in the page control's display area: its client area less a 4-pixel frame on the
// left, top and right and 6 pixels at the bottom. The control draws no tabs (a page's TabVisible
// is kept, not drawn): the window's own buttons move between pages.
#pragma once

#include "forms/control.h"

#include <vector>

namespace kq {

class TTabSheet;

class TPageControl : public TWinControl {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    explicit TPageControl(TComponent* owner);
    ~TPageControl() override;

    int PageCount() const { return static_cast<int>(pages_.size()); }
    // EListError for a bad index.
    TTabSheet* Pages(int index) const;

    // The page shown; nullptr before one is chosen. Choosing a page of another control raises
    // EInvalidOperation. When the focus was on the page that goes, it moves to the first control
    // of the new page that Tab stops at.
    TTabSheet* ActivePage() const { return activePage_; }
    void SetActivePage(TTabSheet* page);
    // -1 when no page is shown; an index outside the pages shows none.
    int ActivePageIndex() const;
    void SetActivePageIndex(int index);

    int TabHeight() const { return tabHeight_; }
    void SetTabHeight(int height) { tabHeight_ = height; }
    int TabWidth() const { return tabWidth_; }
    void SetTabWidth(int width) { tabWidth_ = width; }

    TRect ClientRect() const override;
    // Lays every page over the display area.
    void AlignControls() override;

private:
    friend class TTabSheet;

    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);

    std::vector<TTabSheet*> pages_;
    TTabSheet* activePage_ = nullptr;
    int tabHeight_ = 0;
    int tabWidth_ = 0;
};

class TTabSheet : public TWinControl {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    explicit TTabSheet(TComponent* owner);
    ~TTabSheet() override;

    AnsiString Caption() const { return Text(); }
    void SetCaption(const AnsiString& caption) { SetText(caption); }

    // The page belongs to the page control that is its parent.
    TPageControl* PageControl() const { return pageControl_; }
    void SetParent(TWinControl* parent) override;
    // The page's position among its control's pages, -1 without one.
    int PageIndex() const;
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool visible) { tabVisible_ = visible; }

    // A page not shown has no window yet: its own and those of what it holds are made when it is
    // first shown, before it shows, so that a window starts with the windows of the page it
    // shows. Until then the page and its controls have no peer: their state waits in them.
    void CreatePeers() override;

protected:
    void VisibleChanged() override;

private:
    friend class TPageControl;

    TPageControl* pageControl_ = nullptr;
    bool tabVisible_ = true;
};

} // namespace kq
