#include "setup/core/preview_template.h"

#include <string_view>

namespace setup {
namespace {

// Window and control styles, as the dialog manager reads them.
constexpr std::uint32_t kDialogStyle = 0x90C808C4;         // popup, visible, caption, system menu,
                                                           // centred, modal frame, font, 3-D look
constexpr std::uint32_t kDefaultButtonStyle = 0x50000001;  // child, visible, default button
constexpr std::uint32_t kBlackRectangleStyle = 0x50000004;
constexpr std::uint32_t kCentredTextStyle = 0x50000001;
constexpr std::uint16_t kButtonClass = 0x0080;
constexpr std::uint16_t kStaticClass = 0x0082;

class TemplateWriter {
public:
    explicit TemplateWriter(std::array<std::uint8_t, kPreviewTemplateSize>& bytes)
        : bytes_(bytes) {}

    void Word(std::uint16_t value) {
        bytes_[at_++] = static_cast<std::uint8_t>(value);
        bytes_[at_++] = static_cast<std::uint8_t>(value >> 8);
    }
    void Dword(std::uint32_t value) {
        Word(static_cast<std::uint16_t>(value));
        Word(static_cast<std::uint16_t>(value >> 16));
    }
    // An ASCII text in UTF-16 with its terminating zero.
    void Text(std::string_view text) {
        for (char c : text) Word(static_cast<unsigned char>(c));
        Word(0);
    }
    void AlignTo4() {
        while (at_ % 4 != 0) bytes_[at_++] = 0;
    }
    void Item(std::uint32_t style, int x, int y, int width, int height, int id,
              std::uint16_t windowClass) {
        AlignTo4();
        Dword(style);
        Dword(0);  // extended style
        for (int value : {x, y, width, height, id}) Word(static_cast<std::uint16_t>(value));
        Word(0xFFFF);  // a predefined class by number
        Word(windowClass);
        Text("");
        Word(0);  // no creation data
    }

private:
    std::array<std::uint8_t, kPreviewTemplateSize>& bytes_;
    std::size_t at_ = 0;
};

}  // namespace

std::array<std::uint8_t, kPreviewTemplateSize> PreviewDialogTemplate() {
    std::array<std::uint8_t, kPreviewTemplateSize> bytes{};
    TemplateWriter out(bytes);
    out.Dword(kDialogStyle);
    out.Dword(0);  // extended style
    out.Word(3);   // items
    for (int value : {0, 0, 278, 196}) out.Word(static_cast<std::uint16_t>(value));
    out.Word(0);  // no menu
    out.Word(0);  // the standard dialog class
    out.Text("Preview");
    out.Word(8);
    out.Text("MS Sans Serif");
    out.Item(kDefaultButtonStyle, 113, 175, 50, 14, kPreviewOkId, kButtonClass);
    out.Item(kBlackRectangleStyle, 7, 7, 264, 152, kPreviewRectangleId, kStaticClass);
    out.Item(kCentredTextStyle, 7, 162, 264, 8, kPreviewStatusId, kStaticClass);
    out.AlignTo4();
    return bytes;
}

}  // namespace setup
