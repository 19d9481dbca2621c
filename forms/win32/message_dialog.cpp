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

// Icon at the left, the message beside it, the buttons centred in a row below; the dialog in
// the middle of the screen's work area.
void Layout(HWND dialog, DialogRequest& request) {
    const int margin = Scale(12);
    const int gap = Scale(8);
    const int icon = GetSystemMetrics(SM_CXICON);
    const int buttonWidth = Scale(75);
    const int buttonHeight = Scale(25);
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);

    HWND iconWindow = AddChild(dialog, "STATIC", nullptr, SS_ICON, -1, request.font);
    SendMessageA(iconWindow, STM_SETICON,
                 reinterpret_cast<WPARAM>(LoadIconA(nullptr, IconOf(request.kind))), 0);
    HWND text = AddChild(dialog, "STATIC", request.message->c_str(), SS_LEFT | SS_NOPREFIX, -1,
                         request.font);

    RECT textRect{0, 0, (work.right - work.left) / 2, 0};
    {
        const win32::WindowDc dc(dialog);
        const win32::SelectedObject selected(dc.Get(), request.font);
        DrawTextA(dc.Get(), request.message->c_str(), static_cast<int>(request.message->size()),
                  &textRect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    }

    std::vector<TDialogButton> shown;
    for (TDialogButton button : buttonOrder) {
        if (request.buttons.Contains(button)) {
            shown.push_back(button);
        }
    }
    const int rowWidth =
        static_cast<int>(shown.size()) * buttonWidth + (static_cast<int>(shown.size()) - 1) * gap;
    const int textLeft = margin + icon + margin;
    const int textWidth = static_cast<int>(textRect.right);
    const int textHeight = static_cast<int>(textRect.bottom);
    const int clientWidth = std::max(textLeft + textWidth + margin, rowWidth + 2 * margin);
    const int upper = std::max(icon, textHeight);
    const int buttonsTop = margin + upper + margin + gap;
    const int clientHeight = buttonsTop + buttonHeight + margin;

    MoveWindow(iconWindow, margin, margin, icon, icon, FALSE);
    MoveWindow(text, textLeft, margin + std::max(0, (icon - textHeight) / 2), textWidth, textHeight,
               FALSE);
    const TDialogButton defaultButton = DialogDefaultButton(request.buttons);
    int x = (clientWidth - rowWidth) / 2;
    for (TDialogButton button : shown) {
        const bool isDefault = button == defaultButton;
        HWND b = AddChild(dialog, "BUTTON", DialogButtonText(button),
                          WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                          DialogButtonResult(button), request.font);
        MoveWindow(b, x, buttonsTop, buttonWidth, buttonHeight, FALSE);
        x += buttonWidth + gap;
    }

    const auto style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongA(dialog, GWL_EXSTYLE));
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    MoveWindow(dialog, work.left + (work.right - work.left - width) / 2,
               work.top + (work.bottom - work.top - height) / 2, width, height, FALSE);
    SetWindowTextA(dialog, DialogCaption(request.kind));
    SendMessageA(dialog, DM_SETDEFID, static_cast<WPARAM>(DialogButtonResult(defaultButton)), 0);
    SetFocus(GetDlgItem(dialog, DialogButtonResult(defaultButton)));
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
