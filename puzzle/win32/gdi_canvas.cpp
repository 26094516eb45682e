#include "puzzle/win32/gdi_canvas.h"

#include <algorithm>
#include <string>

#include "puzzle/win32/gdi_picture.h"

namespace puzzle {

namespace {

HFONT NewHelpFont() {
    LOGFONTA font{};
    font.lfHeight = 18;
    font.lfWeight = FW_BOLD;
    font.lfItalic = TRUE;
    font.lfCharSet = ANSI_CHARSET;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    return ::CreateFontIndirectA(&font);
}

RECT ToRect(const WindowRect& area) { return {area.left, area.top, area.right, area.bottom}; }

// A rectangle of the window in the off-screen copy that starts at `origin`.
RECT InCopy(const WindowRect& area, const WindowRect& origin) {
    return {area.left - origin.left, area.top - origin.top, area.right - origin.left,
            area.bottom - origin.top};
}

COLORREF ColourOf(Colour colour) {
    switch (colour) {
    case Colour::Black: return RGB(0, 0, 0);
    case Colour::White: return RGB(255, 255, 255);
    case Colour::LightGrey: return RGB(192, 192, 192);  // the light grey stock brush
    case Colour::Highlight: return ::GetSysColor(COLOR_HIGHLIGHT);
    case Colour::HelpBox: return ::GetSysColor(COLOR_ACTIVEBORDER);
    case Colour::HelpText: return ::GetSysColor(COLOR_CAPTIONTEXT);
    }
    return RGB(0, 0, 0);
}

HBRUSH BrushOf(Colour colour) {
    switch (colour) {
    case Colour::Black: return static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    case Colour::White: return static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    case Colour::LightGrey: return static_cast<HBRUSH>(::GetStockObject(LTGRAY_BRUSH));
    case Colour::Highlight: return ::GetSysColorBrush(COLOR_HIGHLIGHT);
    case Colour::HelpBox: return ::GetSysColorBrush(COLOR_ACTIVEBORDER);
    case Colour::HelpText: return ::GetSysColorBrush(COLOR_CAPTIONTEXT);
    }
    return static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
}

HGDIOBJ PenOf(Colour colour) {
    // The outlines the painter asks for are black or white: stock pens.
    return ::GetStockObject(colour == Colour::White ? WHITE_PEN : BLACK_PEN);
}

}  // namespace

GdiCanvas::GdiCanvas(HWND window) : window_(window), helpFont_(NewHelpFont()) {}

GdiCanvas::Buffer GdiCanvas::Prepare(const WindowRect& screenArea) {
    const WindowRect area{screenArea.left, screenArea.top,
                          screenArea.left + std::max(screenArea.Width(), 1),
                          screenArea.top + std::max(screenArea.Height(), 1)};
    if (bufferDc_ && buffer_ && area == bufferArea_) return Buffer::Kept;
    const Size size{area.Width(), area.Height()};

    bufferSelection_.reset();
    buffer_.Reset();
    bufferDc_.Reset();
    win32::WindowDc screen(window_);
    if (!screen) return Buffer::Missing;
    bufferDc_.Reset(::CreateCompatibleDC(screen.Get()));
    buffer_.Reset(::CreateCompatibleBitmap(screen.Get(), size.width, size.height));
    if (!bufferDc_ || !buffer_) return Buffer::Missing;
    bufferSelection_ = std::make_unique<win32::Selection>(bufferDc_.Get(), buffer_.Get());
    bufferArea_ = area;
    ::PatBlt(bufferDc_.Get(), 0, 0, size.width, size.height, BLACKNESS);
    return Buffer::New;
}

void GdiCanvas::Present(HDC dc, const RECT& area) const {
    if (!bufferDc_) return;
    const RECT copy = ToRect(bufferArea_);
    RECT inside{};
    if (::IntersectRect(&inside, &area, &copy))
        ::BitBlt(dc, inside.left, inside.top, inside.right - inside.left,
                 inside.bottom - inside.top, bufferDc_.Get(), inside.left - copy.left,
                 inside.top - copy.top, SRCCOPY);
    if (::EqualRect(&inside, &area)) return;
    // The other monitors of the full-screen window.
    const int saved = ::SaveDC(dc);
    ::ExcludeClipRect(dc, copy.left, copy.top, copy.right, copy.bottom);
    ::FillRect(dc, &area, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    ::RestoreDC(dc, saved);
}

void GdiCanvas::CopyTiles(const Picture& picture, std::span<const TileCopy> copies) {
    const auto* gdi = dynamic_cast<const GdiPicture*>(&picture);
    if (!gdi || !bufferDc_) return;
    win32::UniqueMemoryDc source(::CreateCompatibleDC(bufferDc_.Get()));
    if (!source) return;
    win32::Selection bitmap(source.Get(), gdi->Handle());
    const HDC dc = bufferDc_.Get();
    const int oldMode = ::SetStretchBltMode(dc, COLORONCOLOR);
    for (const TileCopy& copy : copies) {
        const RECT to = InCopy(copy.target, bufferArea_);
        ::StretchBlt(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, source.Get(),
                     copy.square.x, copy.square.y, copy.square.width, copy.square.height, SRCCOPY);
    }
    ::SetStretchBltMode(dc, oldMode);
}

void GdiCanvas::Fill(const WindowRect& area, Colour colour) {
    const RECT rect = InCopy(area, bufferArea_);
    ::FillRect(bufferDc_.Get(), &rect, BrushOf(colour));
}

void GdiCanvas::Outline(const WindowRect& area, Colour colour) {
    const RECT rect = InCopy(area, bufferArea_);
    const int right = rect.right - 1, bottom = rect.bottom - 1;
    const POINT outline[] = {{rect.left, rect.top},
                             {right, rect.top},
                             {right, bottom},
                             {rect.left, bottom},
                             {rect.left, rect.top}};
    win32::Selection pen(bufferDc_.Get(), PenOf(colour));
    ::Polyline(bufferDc_.Get(), outline, 5);
}

void GdiCanvas::Text(const WindowRect& area, std::string_view text, Colour ink, Colour paper) {
    const HDC dc = bufferDc_.Get();
    ::SetTextColor(dc, ColourOf(ink));
    ::SetBkColor(dc, ColourOf(paper));
    win32::Selection font(dc, helpFont_.Get());
    RECT rect = InCopy(area, bufferArea_);
    const std::string copy(text);
    ::DrawTextA(dc, copy.c_str(), -1, &rect, DT_WORDBREAK | DT_VCENTER | DT_CENTER);
}

Size GdiCanvas::MeasureText(std::string_view text, int wrapWidth) {
    win32::WindowDc screen;
    if (!screen) return {};
    win32::Selection font(screen.Get(), helpFont_.Get());
    RECT measured{0, 0, wrapWidth, 0};
    const std::string copy(text);
    ::DrawTextA(screen.Get(), copy.c_str(), -1, &measured,
                DT_CALCRECT | (wrapWidth > 0 ? DT_WORDBREAK : 0));
    return {static_cast<int>(measured.right - measured.left),
            static_cast<int>(measured.bottom - measured.top)};
}

void GdiCanvas::Show(const WindowRect& area) {
    win32::WindowDc dc(window_);
    if (dc) Present(dc.Get(), ToRect(area));
    ::GdiFlush();
}

void GdiCanvas::StartFlash() { flashStart_ = ::GetTickCount(); }

void GdiCanvas::WaitForFlash(std::uint32_t elapsedMs) {
    while (::GetTickCount() - flashStart_ < elapsedMs) ::Sleep(0);
}

}  // namespace puzzle
