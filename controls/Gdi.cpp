#include "controls/Gdi.h"

#include "platform/Text.h"

#include <string>

namespace korrimat::controls {

int TextWidth(HFONT font, std::string_view text)
{
    WindowDc screen(nullptr);
    if (!screen.Dc())
        return 0;
    SelectedObject selected(screen.Dc(), font);
    SIZE size{};
    const std::wstring wide = WideText(text);
    ::GetTextExtentPoint32W(screen.Dc(), wide.data(), static_cast<int>(wide.size()), &size);
    return size.cx;
}

TEXTMETRICA FontMetrics(HFONT font)
{
    TEXTMETRICA metrics{};
    WindowDc screen(nullptr);
    if (!screen.Dc())
        return metrics;
    SelectedObject selected(screen.Dc(), font);
    ::GetTextMetricsA(screen.Dc(), &metrics);
    return metrics;
}

UniqueFont MakeFont(std::string_view face, int height, int weight)
{
    return UniqueFont(::CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                    std::string(face).c_str()));
}

bool HighContrastOn()
{
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof(contrast);
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) && (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

} // namespace korrimat::controls
