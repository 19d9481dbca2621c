// The message dialog on Windows: a modal dialog made from a template in memory, laid out in
// WM_INITDIALOG from the size of its message. The system's dialog manager gives it the keyboard:
// Enter presses the default button, Escape and the close box send IDCANCEL, which answers with
// the dialog's cancel button.
#include "forms/dialogs.h"
#include "forms_platform.h"
#include "gdi.h"
#include "platform/win32_api.h"
#include "platform/win32_handles.h"

#include <algorithm>
#include <vector>

namespace kq {

namespace {

constexpr TDialogButton buttonOrder[] = {TDialogButton::Yes, TDialogButton::No, TDialogButton::OK,
                                         TDialogButton::Cancel};

// Button ids are the answers themselves (IDYES, IDNO, IDOK, IDCANCEL).
struct DialogRequest {
    const AnsiString* message;
    TDialogKind kind;
    TDialogButtons buttons;
    HFONT font = nullptr;
};

const char* IconOf(TDialogKind kind) {
    switch (kind) {
    case TDialogKind::Warning:
        return IDI_WARNING;
    case TDialogKind::Error:
        return IDI_ERROR;
    case TDialogKind::Information:
        return IDI_INFORMATION;
    case TDialogKind::Confirmation:
        break;
    }
    return IDI_QUESTION;
}

HWND AddChild(HWND dialog, const char* cls, const char* text, DWORD style, int id, HFONT font) {
    HWND child = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, dialog,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

// The dialog's measures in pixels at the screen's scale.
struct Metrics {
    int margin = Scale(12);
    int gap = Scale(8);
    int icon = GetSystemMetrics(SM_CXICON);
    int buttonWidth = Scale(75);
    int buttonHeight = Scale(25);
};

RECT WorkArea() {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

struct Extent {
    int width;
    int height;
};

// The message wrapped at half the work area's width, as the dialog's font draws it.
Extent MessageSize(HWND dialog, const DialogRequest& request, const RECT& work) {
    RECT textRect{0, 0, (work.right - work.left) / 2, 0};
    const win32::WindowDc dc(dialog);
    const win32::SelectedObject selected(dc.Get(), request.font);
    DrawTextA(dc.Get(), request.message->c_str(), static_cast<int>(request.message->size()),
              &textRect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    return Extent{static_cast<int>(textRect.right), static_cast<int>(textRect.bottom)};
}

std::vector<TDialogButton> ShownButtons(TDialogButtons buttons) {
    std::vector<TDialogButton> shown;
    for (TDialogButton button : buttonOrder) {
        if (buttons.Contains(button)) {
            shown.push_back(button);
        }
    }
    return shown;
}

int ButtonRowWidth(const Metrics& m, int count) {
    return count * m.buttonWidth + (count - 1) * m.gap;
}

// The icon at the margin and the message beside it, centred on the icon when it is shorter.
void AddIconAndMessage(HWND dialog, const DialogRequest& request, const Metrics& m,
                       Extent message) {
    HWND iconWindow = AddChild(dialog, "STATIC", nullptr, SS_ICON, -1, request.font);
    SendMessageA(iconWindow, STM_SETICON,
                 reinterpret_cast<WPARAM>(LoadIconA(nullptr, IconOf(request.kind))), 0);
    HWND text = AddChild(dialog, "STATIC", request.message->c_str(), SS_LEFT | SS_NOPREFIX, -1,
                         request.font);
    MoveWindow(iconWindow, m.margin, m.margin, m.icon, m.icon, FALSE);
    MoveWindow(text, m.margin + m.icon + m.margin,
               m.margin + std::max(0, (m.icon - message.height) / 2), message.width, message.height,
               FALSE);
}

void AddButtonRow(HWND dialog, const DialogRequest& request, const Metrics& m,
                  const std::vector<TDialogButton>& shown, int left, int top) {
    const TDialogButton defaultButton = DialogDefaultButton(request.buttons);
    int x = left;
    for (TDialogButton button : shown) {
        const bool isDefault = button == defaultButton;
        HWND b = AddChild(dialog, "BUTTON", DialogButtonText(button),
                          WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                          DialogButtonResult(button), request.font);
        MoveWindow(b, x, top, m.buttonWidth, m.buttonHeight, FALSE);
        x += m.buttonWidth + m.gap;
    }
}

// The frame around a client area of that size, in the middle of the work area.
void CentreInWorkArea(HWND dialog, int clientWidth, int clientHeight, const RECT& work) {
    const auto style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongA(dialog, GWL_EXSTYLE));
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    MoveWindow(dialog, work.left + (work.right - work.left - width) / 2,
               work.top + (work.bottom - work.top - height) / 2, width, height, FALSE);
}

// Icon at the left, the message beside it, the buttons centred in a row below; the dialog in
// the middle of the screen's work area, its default button focused.
void Layout(HWND dialog, DialogRequest& request) {
    const Metrics m;
    const RECT work = WorkArea();
    const Extent message = MessageSize(dialog, request, work);
    const std::vector<TDialogButton> shown = ShownButtons(request.buttons);
    const int rowWidth = ButtonRowWidth(m, static_cast<int>(shown.size()));
    const int textLeft = m.margin + m.icon + m.margin;
    const int clientWidth = std::max(textLeft + message.width + m.margin, rowWidth + 2 * m.margin);
    const int buttonsTop = m.margin + std::max(m.icon, message.height) + m.margin + m.gap;
    const int clientHeight = buttonsTop + m.buttonHeight + m.margin;

    AddIconAndMessage(dialog, request, m, message);
    AddButtonRow(dialog, request, m, shown, (clientWidth - rowWidth) / 2, buttonsTop);
    CentreInWorkArea(dialog, clientWidth, clientHeight, work);
    SetWindowTextA(dialog, DialogCaption(request.kind));
    const int defaultId = DialogButtonResult(DialogDefaultButton(request.buttons));
    SendMessageA(dialog, DM_SETDEFID, static_cast<WPARAM>(defaultId), 0);
    SetFocus(GetDlgItem(dialog, defaultId));
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    auto* request = reinterpret_cast<DialogRequest*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lp);
        Layout(dialog, *reinterpret_cast<DialogRequest*>(lp));
        return FALSE; // the focus is set
    case WM_COMMAND: {
        const int id = LOWORD(wp);
        if (request == nullptr) {
            return FALSE;
        }
        if (id == IDCANCEL) {
            EndDialog(dialog, DialogButtonResult(DialogCancelButton(request->buttons)));
            return TRUE;
        }
        for (TDialogButton button : buttonOrder) {
            if (request->buttons.Contains(button) && id == DialogButtonResult(button)) {
                EndDialog(dialog, id);
                return TRUE;
            }
        }
        return FALSE;
    }
    }
    return FALSE;
}

// A dialog template with no items (they are made in WM_INITDIALOG); the caption and size follow.
std::vector<WORD> EmptyTemplate() {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD) + 3, 0);
    auto* t = reinterpret_cast<DLGTEMPLATE*>(words.data());
    t->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    t->cdit = 0;
    // Menu, class and title follow the header, each an empty string here.
    return words;
}

// The font of the system's message boxes, or none when the system does not tell it.
win32::OwnedFont MessageFont() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        return win32::OwnedFont();
    }
    return win32::OwnedFont(CreateFontIndirectA(&metrics.lfMessageFont));
}

} // namespace

int ShowNativeMessageDialog(const AnsiString& message, TDialogKind kind, TDialogButtons buttons) {
    const win32::OwnedFont messageFont = MessageFont();
    const HFONT font =
        messageFont ? messageFont.Get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    DialogRequest request{&message, kind, buttons, font};
    std::vector<WORD> dialogTemplate = EmptyTemplate();
    const INT_PTR answer = DialogBoxIndirectParamA(
        GetModuleHandleA(nullptr), reinterpret_cast<DLGTEMPLATE*>(dialogTemplate.data()),
        GetActiveWindow(), &DialogProc, reinterpret_cast<LPARAM>(&request));
    return answer > 0 ? static_cast<int>(answer) : DialogButtonResult(DialogCancelButton(buttons));
}

} // namespace kq
