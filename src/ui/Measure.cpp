#include "ui/Measure.h"

#include "ui/Application.h"
#include "ui/Control.h"

namespace ui {

Size MeasureText(const Font& font, unsigned codePage, std::string_view text) {
    return Application::Current().GetBackend().MeasureText(font, codePage, text, 0);
}

Size MeasureWrappedText(const Font& font, unsigned codePage, std::string_view text, int width) {
    return Application::Current().GetBackend().MeasureText(font, codePage, text, width > 0 ? width : 0);
}

Size MeasureText(const Control& control, std::string_view text) {
    return MeasureText(control.Font(), control.TextCodePage(), text);
}

Size MeasureWrappedText(const Control& control, std::string_view text, int width) {
    return MeasureWrappedText(control.Font(), control.TextCodePage(), text, width);
}

}  // namespace ui
